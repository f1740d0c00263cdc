#include "palette/QurixView.h"

#include "palette/QurixDoc.h"

namespace qurix {

CQurixView::CQurixView(CQurixDoc& doc) : doc_(doc) {
    doc_.AddView(this);
}

CQurixView::~CQurixView() {
    doc_.RemoveView(this);
}

}  // namespace qurix
