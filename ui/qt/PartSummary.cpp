#include "ui/qt/PartSummary.h"
#include "palette/Texts.h"

#include <QStringList>
#include <set>
#include <string>

#include "core/library/LibEntry.h"
#include "core/library/PartLibrary.h"
#include "core/library/PinDef.h"
#include "ui/qt/TextDisplay.h"

namespace qurix {

QString BlocksAndPinsText(const CLibEntry& entry) {
    std::set<std::string> numbers;
    for (int32_t i = 0; i < entry.PinCount(); ++i) {
        const CPinDef* pin = entry.Pin(i);
        if (pin == nullptr) continue;
        for (int32_t k = 0; k < pin->BlockCount(); ++k) {
            const char* number = pin->Number(k);
            if (number != nullptr && *number != '\0') numbers.insert(number);
        }
    }
    return UiText(texts::BLOCKS_AND_PINS).arg(entry.BlockCount()).arg(numbers.size());
}

const CLibEntry* AliasTarget(const CPartLibrary& library, const CLibEntry& entry) {
    if (entry.ComponentDef() == nullptr) return nullptr;
    for (int32_t i = 0; i < library.EntryCount(); ++i) {
        const CLibEntry* other = library.Entry(i);
        if (other == &entry) return nullptr;
        if (other != nullptr && other->ComponentDef() == entry.ComponentDef()) return other;
    }
    return nullptr;
}

QString PartToolTip(const QString& text, const CLibEntry& entry, const CPartLibrary* library) {
    QStringList lines{text};
    if (library != nullptr) lines << UiText(texts::TIP_LIBRARY) + DisplayText(library->Path());
    lines << BlocksAndPinsText(entry);
    if (library != nullptr) {
        if (const CLibEntry* target = AliasTarget(*library, entry)) {
            lines << UiText(texts::TIP_ALIAS_OF) + DisplayText(target->Name());
        }
    }
    const QString note = DisplayText(entry.Note());
    const QString first = note.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!first.isEmpty()) lines << first;
    return lines.join(QLatin1Char('\n'));
}

}  // namespace qurix
