#include "render/qt/QtFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>
#include <algorithm>

#include "render/qt/TextDecode.h"

namespace qurix {

namespace {

int32_t ClampSize(int64_t size) {
    return static_cast<int32_t>(std::clamp<int64_t>(size, 1, CQtFont::MAX_PIXEL_SIZE));
}

// The pixel size whose cell (ascent + descent) comes nearest to cellHeight without
// exceeding it, as the platform's font mapper picks a cell height.
int32_t PixelSizeForCell(QFont font, int32_t cellHeight) {
    font.setPixelSize(cellHeight);
    const int measured = QFontMetrics(font).height();
    if (measured <= 0) return cellHeight;
    int32_t size =
        ClampSize((static_cast<int64_t>(cellHeight) * cellHeight + measured / 2) / measured);
    for (int i = 0; i < 8 && size > 1; ++i) {
        font.setPixelSize(size);
        if (QFontMetrics(font).height() <= cellHeight) break;
        --size;
    }
    return size;
}

// Characters the first family lacks come from the next family listed that has them, so
// naming the face the platform resolved and then a Japanese face sends Japanese there
// while every other character keeps its face, metrics and pixels. Without the small face
// nothing is named: the platform's fallback stays exactly as it was.
void ChooseJapaneseFallback(QFont& font) {
    if (!QFontDatabase::hasFamily(QString::fromLatin1(CQtFont::SMALL_JAPANESE_FACE))) return;
    const bool smallSize = font.pixelSize() <= CQtFont::SMALL_JAPANESE_MAX_PIXEL_SIZE;
    const QString japanese =
        QString::fromLatin1(smallSize ? CQtFont::SMALL_JAPANESE_FACE : CQtFont::JAPANESE_FACE);
    if (!smallSize && !QFontDatabase::hasFamily(japanese)) return;
    const QString resolved = QFontInfo(font).family();
    if (resolved.isEmpty() || resolved == japanese) return;
    font.setFamilies(QStringList{resolved, japanese});
}

}  // namespace

QFont CQtFont::MakeQFont(const LogFont& description) {
    QFont font;
    const std::string face = description.FaceName();
    if (!face.empty()) font.setFamilies(QStringList{DecodeText(face)});
    font.setStyleStrategy(QFont::NoAntialias);
    font.setKerning(false);

    int32_t weight = description.weight;
    if (weight <= 0) weight = LogFont::WEIGHT_NORMAL;
    font.setWeight(static_cast<QFont::Weight>(std::min<int32_t>(weight, 1000)));
    font.setItalic(description.italic != 0);
    font.setUnderline(description.underline != 0);
    font.setStrikeOut(description.strikeOut != 0);

    const int64_t h = description.height;
    if (h < 0) {
        font.setPixelSize(ClampSize(-h));
    } else if (h > 0) {
        font.setPixelSize(PixelSizeForCell(font, ClampSize(h)));
    } else {
        font.setPixelSize(DEFAULT_PIXEL_SIZE);
    }
    ChooseJapaneseFallback(font);
    return font;
}

CQtFont::CQtFont(const LogFont& description)
    : CSurfaceFont(description),
      font_(MakeQFont(description)),
      metrics_(font_),
      rotation_(-static_cast<qreal>(description.escapement % 3600) / 10.0) {}

std::string CQtFont::DrawnWith() const {
    // The requested face may resolve to another family ("Tahoma" to "DejaVu Sans"), and so
    // may the Japanese fallback named after it.
    const QFontInfo info(font_);
    QString drawnWith = info.family();
    for (const QString& family : font_.families()) {
        drawnWith += u'|' + QFontInfo(QFont(family)).family();
    }
    drawnWith += u'|' + QString::number(info.pixelSize()) + u'|' + QString::fromLatin1(qVersion()) +
                 u'|' + QString::number(TEXT_BACKEND_VERSION);
    return drawnWith.toStdString();
}

}  // namespace qurix
