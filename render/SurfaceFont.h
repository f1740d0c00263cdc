#pragma once
#include "render/LogFont.h"

namespace qurix {

// A font made by a surface from a logical-font description. Fonts are the costly object,
// so callers that draw many texts keep one (see CTextRenderer). Any surface accepts any
// font: a surface of another kind rebuilds what it needs from the description.
class CSurfaceFont {
public:
    explicit CSurfaceFont(const LogFont& description) : description_(description) {}
    CSurfaceFont(const CSurfaceFont&) = delete;
    CSurfaceFont& operator=(const CSurfaceFont&) = delete;
    virtual ~CSurfaceFont() = default;

    const LogFont& Description() const { return description_; }

private:
    LogFont description_;
};

}  // namespace qurix
