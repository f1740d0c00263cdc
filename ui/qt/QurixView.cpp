#include "ui/qt/QurixView.h"

#include "ui/qt/QurixDoc.h"

namespace qurix {

CQurixView::CQurixView(CQurixDoc& doc) : doc_(doc) {
    doc_.AddView(this);
}

CQurixView::~CQurixView() {
    doc_.RemoveView(this);
}

}  // namespace qurix
