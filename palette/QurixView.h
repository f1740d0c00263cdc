#pragma once

namespace qurix {

class CQurixDoc;

// What the document needs of each of its panes. A view registers itself with the
// document when it is made and leaves when it is destroyed; the document must outlive
// its views. The document calls the views in the order they registered.
class CQurixView {
public:
    explicit CQurixView(CQurixDoc& doc);
    virtual ~CQurixView();
    CQurixView(const CQurixView&) = delete;
    CQurixView& operator=(const CQurixView&) = delete;

    CQurixDoc& GetDocument() const { return doc_; }

    // Once, after the document's first load; by default the same as an update.
    virtual void OnInitialUpdate() { OnUpdate(nullptr); }
    // Something in the document changed; sender is the view that changed it (never
    // this one), or null.
    virtual void OnUpdate(CQurixView* sender) = 0;
    // A reload or the document's close is about to release the libraries: forget every
    // reference into them. Lists empty themselves; other views need do nothing.
    virtual void DeleteAllItems() {}

private:
    CQurixDoc& doc_;
};

}  // namespace qurix
