// Tooltip texts of toolbar buttons, from the command-title table.
#include "common/ui_text/toolbar_tooltip.h"

#include "common/base/bounded_format.h"
#include "common/ui_text/ui_text.h"

std::u16string_view FileTitleOf(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/:");
    if (slash != std::u16string_view::npos) path.remove_prefix(slash + 1);
    size_t dot = path.rfind(u'.');
    if (dot != std::u16string_view::npos && dot > 0) path = path.substr(0, dot);
    return path;
}

bool TitleNamesWorkingDictionary(uint32_t commandId) {
    return commandId == 40067 || commandId == 40083 || commandId == 40500 || commandId == 40400;
}

char16_t* FormatToolbarTooltip(uint32_t commandId, std::u16string_view workingDictionaryPath,
                               std::span<char16_t> out) {
    const char16_t* title = FindMenuCommandTitle(commandId);
    if (!title || out.empty()) return nullptr;
    if (out.size() > kToolbarTooltipUnits) out = out.first(kToolbarTooltipUnits);
    if (TitleNamesWorkingDictionary(commandId)) {
        FormatBounded(out, title, {FileTitleOf(workingDictionaryPath)});
    } else {
        // A title is copied as it stands: a '%' in it is not a conversion.
        FormatBounded(out, u"%s", {title});
    }
    return out.data();
}
