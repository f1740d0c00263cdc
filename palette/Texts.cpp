#include "palette/Texts.h"

namespace qurix {

std::string FormatText(const char* text, const std::string& arg) {
    std::string out = text;
    const size_t at = out.find("%1");
    if (at != std::string::npos) out.replace(at, 2, arg);
    return out;
}

std::string FormatText(const char* text, const std::string& arg1, const std::string& arg2) {
    std::string out = FormatText(text, arg1);
    const size_t at = out.find("%2");
    if (at != std::string::npos) out.replace(at, 2, arg2);
    return out;
}

std::string DragRefusalText(DragRefusal refusal) {
    const std::string limit = std::to_string(DRAG_FIELD_SIZE);
    switch (refusal) {
        case DragRefusal::None:
            return {};
        case DragRefusal::NoLibrary:
            return texts::DRAG_NO_LIBRARY;
        case DragRefusal::LongPath:
            return FormatText(texts::DRAG_LONG_PATH, limit);
        case DragRefusal::LongName:
            return FormatText(texts::DRAG_LONG_NAME, limit);
        case DragRefusal::NotInCodePage:
            return texts::DRAG_NOT_IN_CODE_PAGE;
        case DragRefusal::Other:
            break;
    }
    return texts::DRAG_REFUSED;
}

std::string SettingsProblemText(const CProfile& profile) {
    return SettingsProblemText(profile, profile.Path());
}

std::string SettingsProblemText(const CProfile& profile, const std::string& shownPath) {
    const char* text = texts::SETTINGS_NOT_WRITABLE;
    switch (profile.LastWriteProblem()) {
        case CProfile::WriteProblem::Busy:
            text = texts::SETTINGS_BUSY;
            break;
        case CProfile::WriteProblem::Encoding:
            text = texts::SETTINGS_ENCODING;
            break;
        case CProfile::WriteProblem::None:
        case CProfile::WriteProblem::Refused:
            break;
    }
    return FormatText(text, shownPath);
}

}  // namespace qurix
