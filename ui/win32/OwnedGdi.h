#pragma once
#include "ui/win32/WinApi.h"

#include <memory>
#include <type_traits>

namespace qurix::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

// Owns a GDI object (a font, a bitmap): deleted when replaced and at the end.
template <class Handle>
using OwnedGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

}  // namespace qurix::win32
