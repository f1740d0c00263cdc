#pragma once
#include <string>

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
    // What its texts are drawn with, as far as that changes pixels: the family the system
    // resolved the face to and the version of the backend's text drawing. Drawings cached
    // with another answer are drawn again. Without a backend of its own: the face asked for.
    virtual std::string DrawnWith() const { return description_.FaceName(); }

private:
    LogFont description_;
};

}  // namespace qurix
