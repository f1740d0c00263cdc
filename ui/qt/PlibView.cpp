#include "ui/qt/PlibView.h"
#include "palette/Texts.h"

#include <QAbstractListModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <vector>

#include "core/library/LibrarySet.h"
#include "core/library/PartLibrary.h"
#include "palette/QurixDoc.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

namespace {

constexpr int COLUMN_WIDTH = 160;

}  // namespace

// The rows: library references; the texts are made when the view asks for them.
class CLibraryListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid()
                   ? 0
                   : PART_LIST_ROWS + static_cast<int>(rows_.size() + problems_.size());
    }

    LibraryRow Row(int row) const {
        return LibraryRowAt(row, static_cast<int32_t>(rows_.size()),
                            static_cast<int32_t>(problems_.size()));
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (const LibraryRowKind kind = Row(index.row()).kind;
            kind == LibraryRowKind::RecentParts || kind == LibraryRowKind::Favourites) {
            const bool recent = kind == LibraryRowKind::RecentParts;
            if (role == Qt::DisplayRole) {
                return UiText(recent ? texts::RECENT_PARTS : texts::FAVOURITE_PARTS);
            }
            if (role == Qt::DecorationRole) return recent ? recentIcon_ : favouriteIcon_;
            return QVariant();
        }
        if (const LoadProblem* problem = Problem(index.row())) {
            if (role == Qt::DisplayRole) return DisplayText(LibraryDisplayName(problem->path));
            if (role == Qt::ToolTipRole) return DisplayText(ProblemText(*problem));
            if (role == Qt::DecorationRole) return warningIcon_;
            // Greyed, yet selectable: the place stays on it until it loads again.
            if (role == Qt::ForegroundRole) return greyed_;
            return QVariant();
        }
        const CPartLibrary* lib = Library(index.row());
        if (!index.isValid() || !lib) return QVariant();
        const std::string warning = doc_ != nullptr ? doc_->WarningFor(lib) : std::string();
        if (role == Qt::DisplayRole) return DisplayText(LibraryDisplayName(lib->Path()));
        if (role == Qt::ToolTipRole) {
            return DisplayText(lib->Path()) +
                   (warning.empty() ? QString() : QLatin1Char('\n') + UiText(warning.c_str()));
        }
        // Loaded, but less than the file or the INI holds.
        if (role == Qt::DecorationRole && !warning.empty()) return warningIcon_;
        return QVariant();
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (section != 0 || orientation != Qt::Horizontal) return QVariant();
        if (role == Qt::DisplayRole) return UiText(texts::LIBRARY_HEADER);
        if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
        return QVariant();
    }

    const CPartLibrary* Library(int row) const {
        const LibraryRow at = Row(row);
        return at.kind == LibraryRowKind::Library ? rows_[static_cast<size_t>(at.index)] : nullptr;
    }

    void Append(const CPartLibrary* lib) {
        const int row = LibraryListRow(static_cast<int32_t>(rows_.size()));
        beginInsertRows(QModelIndex(), row, row);
        rows_.push_back(lib);
        endInsertRows();
    }

    const LoadProblem* Problem(int row) const {
        const LibraryRow at = Row(row);
        return at.kind == LibraryRowKind::Problem ? &problems_[static_cast<size_t>(at.index)]
                                                  : nullptr;
    }

    void AppendProblems(const std::vector<LoadProblem>& problems) {
        if (problems.empty()) return;
        const int row = rowCount(QModelIndex());
        beginInsertRows(QModelIndex(), row, row + static_cast<int>(problems.size()) - 1);
        problems_.insert(problems_.end(), problems.begin(), problems.end());
        endInsertRows();
    }

    void SetWarningIcon(const QIcon& icon) { warningIcon_ = icon; }
    void SetGreyed(const QBrush& brush) { greyed_ = brush; }
    void SetDocument(const CQurixDoc* doc) { doc_ = doc; }
    void SetPartListIcons(const QIcon& recent, const QIcon& favourite) {
        recentIcon_ = recent;
        favouriteIcon_ = favourite;
    }

    void Clear() {
        // The two part-list rows stay: only the libraries go.
        beginResetModel();
        rows_.clear();
        problems_.clear();
        endResetModel();
    }

private:
    std::vector<const CPartLibrary*> rows_;
    // Copies: they stay valid while the document reloads.
    std::vector<LoadProblem> problems_;
    QIcon warningIcon_;
    QBrush greyed_;
    const CQurixDoc* doc_ = nullptr;  // only referred to
    QIcon recentIcon_;
    QIcon favouriteIcon_;
};

CPlibView::CPlibView(CQurixDoc& doc, QWidget* parent)
    : QTreeView(parent),
      CQurixView(doc),
      model_(new CLibraryListModel(this)),
      profile_(doc.Profile()) {
    model_->SetWarningIcon(style()->standardIcon(QStyle::SP_MessageBoxWarning));
    model_->SetGreyed(palette().brush(QPalette::Disabled, QPalette::Text));
    model_->SetDocument(&doc);
    model_->SetPartListIcons(QIcon::fromTheme(QStringLiteral("document-open-recent"),
                                              style()->standardIcon(QStyle::SP_BrowserReload)),
                             QIcon::fromTheme(QStringLiteral("emblem-favorite"),
                                              style()->standardIcon(QStyle::SP_DialogYesButton)));
    setModel(model_);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setDefaultAlignment(Qt::AlignCenter);
    // The one column always fills the pane.
    header()->setStretchLastSection(true);
    header()->resizeSection(0, COLUMN_WIDTH);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CPlibView::OnSelectionChanged);
}

void CPlibView::SaveSettings() {
    WriteLastLibrary(profile_, lastIndex_);
}

int CPlibView::RowCount() const {
    return model_->rowCount(QModelIndex()) - PART_LIST_ROWS;
}

const CPartLibrary* CPlibView::RowLibrary(int row) const {
    return row < 0 ? nullptr : model_->Library(LibraryListRow(row));
}

const LoadProblem* CPlibView::RowProblem(int row) const {
    return row < 0 ? nullptr : model_->Problem(LibraryListRow(row));
}

QModelIndex CPlibView::LibraryIndex(int row) const {
    return row < 0 ? QModelIndex() : model_->index(LibraryListRow(row), 0);
}

int CPlibView::SelectedRow() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() || rows.first().row() < PART_LIST_ROWS
               ? -1
               : rows.first().row() - PART_LIST_ROWS;
}

LibraryRowKind CPlibView::SelectedPartList() const {
    const QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty()) return LibraryRowKind::None;
    const LibraryRowKind kind = model_->Row(rows.first().row()).kind;
    return kind == LibraryRowKind::RecentParts || kind == LibraryRowKind::Favourites
               ? kind
               : LibraryRowKind::None;
}

void CPlibView::SelectPartList(LibraryRowKind kind) {
    const int row = kind == LibraryRowKind::RecentParts ? 0 : 1;
    selectionModel()->setCurrentIndex(
        model_->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void CPlibView::OnInitialUpdate() {
    lastIndex_ = ReadLastLibrary(profile_);
    CQurixView::OnInitialUpdate();
}

void CPlibView::OnUpdate(CQurixView* /*sender*/) {
    CQurixDoc& doc = GetDocument();
    if (!doc.TakePending(this)) {
        SelectCurrentLibrary();
        return;
    }
    std::vector<std::string> paths;
    for (int i = 0; i < CLibrarySet::MAX_LIBRARIES; ++i) {
        const CPartLibrary* lib = doc.Libraries().GetLibrary(i);
        if (!lib) break;
        model_->Append(lib);
        paths.push_back(lib->Path());
    }
    model_->AppendProblems(doc.Problems());
    for (const LoadProblem& p : doc.Problems()) paths.push_back(p.path);
    // A reload that kept the place has made its library current already.
    if (!doc.CurrentPath().empty()) {
        SelectCurrentLibrary();
        return;
    }
    lastIndex_ = RestoredLibraryRow(paths, lastIndex_, std::string());
    if (!paths.empty()) {
        const QModelIndex index = model_->index(LibraryListRow(lastIndex_), 0);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
}

void CPlibView::SelectCurrentLibrary() {
    const CQurixDoc& doc = GetDocument();
    const CPartLibrary* current = doc.CurrentLibrary();
    const LoadProblem* problem = doc.CurrentProblem();
    // A part list chosen stays chosen while its parts are picked.
    if ((current == nullptr && problem == nullptr) || SelectedPartList() != LibraryRowKind::None) {
        return;
    }
    for (int row = 0; row < RowCount(); ++row) {
        const LoadProblem* rowProblem = RowProblem(row);
        const bool match = current != nullptr
                               ? RowLibrary(row) == current
                               : rowProblem != nullptr && rowProblem->path == problem->path;
        if (!match) continue;
        if (row == SelectedRow()) return;
        const QModelIndex index = model_->index(LibraryListRow(row), 0);
        following_ = true;
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        following_ = false;
        lastIndex_ = row;
        scrollTo(index);
        return;
    }
}

void CPlibView::DeleteAllItems() {
    clearing_ = true;
    selectionModel()->clear();
    model_->Clear();
    clearing_ = false;
}

void CPlibView::OnSelectionChanged(const QItemSelection& selected,
                                   const QItemSelection& deselected) {
    if (clearing_ || following_) return;
    CQurixDoc& doc = GetDocument();
    for (const QModelIndex& index : selected.indexes()) {
        const LibraryRowKind kind = model_->Row(index.row()).kind;
        if (kind != LibraryRowKind::RecentParts && kind != LibraryRowKind::Favourites) continue;
        // No library number: "plib_last" keeps the library chosen before.
        emit partListChosen(kind);
        return;
    }
    // The old row lets go first, then the new one takes over, as in a list that
    // reports each row's change on its own.
    if (!deselected.isEmpty()) {
        doc.SetCurrentLibrary(nullptr);
        lastIndex_ = 0;
    }
    for (const QModelIndex& index : selected.indexes()) {
        if (index.column() != 0) continue;
        const CPartLibrary* lib = model_->Library(index.row());
        const LoadProblem* problem = model_->Problem(index.row());
        if (lib != nullptr) {
            doc.SetCurrentLibrary(lib);
        } else if (problem != nullptr) {
            // The document's own copy: the model's outlives a reload, the document's not.
            const auto i = static_cast<size_t>(model_->Row(index.row()).index);
            if (i < doc.Problems().size()) doc.SetCurrentProblem(&doc.Problems()[i]);
        } else {
            continue;
        }
        lastIndex_ = index.row() - PART_LIST_ROWS;
        emit libraryChosen();
        doc.UpdateAllViews(this);
        break;
    }
}

void CPlibView::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    // A click below the last row lets go of the selection, as list views do.
    if (!index.isValid()) selectionModel()->clearSelection();
    QTreeView::mousePressEvent(event);
}

}  // namespace qurix
