#include "ui/qt/DragData.h"

#include <QByteArray>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QPixmap>
#include <QPoint>
#include <QWidget>

namespace qurix {

DragPlatform CurrentDragPlatform() {
    return QGuiApplication::platformName() == QLatin1String("xcb") ? DragPlatform::X11
                                                                   : DragPlatform::Other;
}

std::unique_ptr<QMimeData> MakeDragMimeData(const std::string& libraryPath,
                                            const std::string& partName, DragPlatform platform) {
    std::string block;
    if (!MakeDragBlock(libraryPath, partName, block)) return nullptr;
    const QByteArray bytes(block.data(), static_cast<qsizetype>(block.size()));
    auto data = std::make_unique<QMimeData>();
    data->setData(QString::fromLatin1(PARTS_INFO_FORMAT), bytes);
    data->setData(QString::fromLatin1(PARTS_INFO_WINDOWS_FORMAT), bytes);
    // An editor under Wine imports the three type slots of XdndEnter as one batch and drops
    // the whole batch when a slot is empty, so two targets arrive as no format at all. The
    // third target stays empty: Wine 8.0 crashes when three or more targets carry the block.
    if (platform == DragPlatform::X11) {
        data->setData(QString::fromLatin1(X11_SOURCE_TARGET), QByteArray());
    }
    return data;
}

bool TakeDragBlock(const QMimeData& data, std::string& block, std::string* formatUsed) {
    for (const char* format : {PARTS_INFO_FORMAT, PARTS_INFO_WINDOWS_FORMAT}) {
        const QString name = QString::fromLatin1(format);
        if (!data.hasFormat(name)) continue;
        const QByteArray bytes = data.data(name);
        block.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        if (formatUsed != nullptr) *formatUsed = format;
        return true;
    }
    block.clear();
    return false;
}

bool StartPartDrag(QWidget* source, const std::string& libraryPath, const std::string& partName,
                   const QPixmap& pixmap, const QPoint& hotSpot, bool* dropped) {
    if (dropped != nullptr) *dropped = false;
    if (source == nullptr) return false;
    std::unique_ptr<QMimeData> data =
        MakeDragMimeData(libraryPath, partName, CurrentDragPlatform());
    if (!data) return false;
    // Owned by source and deleted by Qt once the drag is over; on X11 Qt holds only a
    // weak pointer to it, so it must not live on the stack.
    auto* drag = new QDrag(source);
    drag->setMimeData(data.release());
    if (!pixmap.isNull()) {
        drag->setPixmap(pixmap);
        drag->setHotSpot(hotSpot);
    }
    const Qt::DropAction action = drag->exec(Qt::CopyAction, Qt::CopyAction);
    if (dropped != nullptr) *dropped = action == Qt::CopyAction;
    return true;
}

}  // namespace qurix
