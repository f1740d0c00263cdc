#include "palette/DragBlock.h"

#include <cstring>

namespace qurix {

namespace {

bool FitsField(const std::string& text) {
    return !text.empty() && text.size() < DRAG_FIELD_SIZE && text.find('\0') == std::string::npos;
}

// The text up to the field's first NUL; false when the field has none.
bool ReadField(const char* field, std::string& text, bool& zeroPadded) {
    const void* nul = std::memchr(field, 0, DRAG_FIELD_SIZE);
    if (nul == nullptr) return false;
    const std::size_t length = static_cast<const char*>(nul) - field;
    text.assign(field, length);
    for (std::size_t i = length; i < DRAG_FIELD_SIZE; ++i) {
        if (field[i] != 0) zeroPadded = false;
    }
    return true;
}

}  // namespace

bool MakeDragBlock(const std::string& libraryPath, const std::string& partName,
                   std::string& block) {
    block.clear();
    if (!FitsField(libraryPath) || !FitsField(partName)) return false;
    block.assign(DRAG_BLOCK_SIZE, '\0');
    block.replace(0, libraryPath.size(), libraryPath);
    block.replace(DRAG_FIELD_SIZE, partName.size(), partName);
    return true;
}

bool DecodeDragBlock(const std::string& block, std::string& libraryPath, std::string& partName,
                     bool* zeroPadded) {
    libraryPath.clear();
    partName.clear();
    if (block.size() < DRAG_BLOCK_SIZE) return false;
    bool padded = true;
    std::string path;
    std::string name;
    if (!ReadField(block.data(), path, padded) ||
        !ReadField(block.data() + DRAG_FIELD_SIZE, name, padded)) {
        return false;
    }
    libraryPath = std::move(path);
    partName = std::move(name);
    if (zeroPadded != nullptr) *zeroPadded = padded;
    return true;
}

DragRefusal MakePartDragBlock(const std::string& libraryPath, const std::string& partName,
                              std::string& block, const CWinePaths* editorPaths) {
    block.clear();
    if (libraryPath.empty()) return DragRefusal::NoLibrary;
    std::string path = libraryPath;
    if (editorPaths) {
        switch (editorPaths->ToWindows(libraryPath, path)) {
            case CWinePaths::ToWindowsResult::Done:
                break;
            case CWinePaths::ToWindowsResult::NotInCodePage:
                return DragRefusal::NotInCodePage;
            case CWinePaths::ToWindowsResult::TooLong:
                return DragRefusal::LongPath;
        }
    }
    if (MakeDragBlock(path, partName, block)) return DragRefusal::None;
    if (path.size() >= DRAG_FIELD_SIZE) return DragRefusal::LongPath;
    if (partName.size() >= DRAG_FIELD_SIZE) return DragRefusal::LongName;
    return DragRefusal::Other;
}

}  // namespace qurix
