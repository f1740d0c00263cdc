#pragma once
#include <QPointer>
#include <QString>
#include <QWidget>
#include <unordered_map>

#include "palette/search/PartSearch.h"

namespace qurix {

class CLibEntry;
class CPartsView;
class CQurixDoc;
class CSearchBar;

// The right-hand pane: the search field above the parts list. While the field holds
// text the list shows the matching parts of every library, best first, and the status
// bar their number; Esc empties the field and the list shows the current library again.
class CPartsPane : public QWidget {
    Q_OBJECT
public:
    CPartsPane(CQurixDoc& doc, QWidget* parent = nullptr);
    ~CPartsPane() override;

    // Null once the window has deleted the list (it goes before the pane).
    CPartsView* PartsView() const { return view_; }
    CSearchBar* SearchBar() const { return bar_; }

    // Lists the parts matching text, or the current library when text has no terms.
    void Search(const QString& text);
    bool IsSearching() const;
    // The number of parts the last search listed.
    int ResultCount() const { return resultCount_; }
    // The search index is being made: the results come later.
    bool Preparing() const { return preparing_; }
    // "12 件" while searching, else empty.
    QString CountText() const;
    // Puts page (taking it) where the search field and the parts list are.
    void ShowPage(QWidget* page);

signals:
    // The search began, ended or found another number of parts.
    void countChanged();

signals:
    // The search was emptied and the list shows the current library again.
    void searchLeft();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ReturnToLibrary();
    void ClearSearch();
    void EnterResults();
    void ShowCount();
    // The list's text of a part, decoded once per load.
    const QString& NameText(const CLibEntry* entry);

    CQurixDoc& doc_;
    CSearchBar* bar_;
    QPointer<CPartsView> view_;
    // The count last put in the status bar: only that is taken away when the search ends,
    // not a message someone else showed since.
    QString shownCount_;
    CPartSearch search_;
    std::unordered_map<const CLibEntry*, QString> names_;
    int resultCount_ = 0;
    bool preparing_ = false;  // the index is being made
};

}  // namespace qurix
