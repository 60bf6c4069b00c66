// Classification of the first argument and the usable selected-articles path.
#include "ui/start_arguments.h"

namespace {
char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }
}  // namespace

bool EqualsIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

bool IsUninstallArgument(std::u16string_view argument) { return argument == u"/uninstall"; }

bool IsDictionariesArgument(std::u16string_view argument) {
    return EqualsIgnoringCase(argument, u"/dictionaries");
}

bool IsFileArgument(std::u16string_view argument) {
    return !argument.empty() && argument[0] != u'-' && argument[0] != u'/';
}

bool IsSavedListArgument(std::u16string_view argument) {
    return IsFileArgument(argument) && argument.size() >= 4 &&
           EqualsIgnoringCase(argument.substr(argument.size() - 4), u".oxm");
}

std::u16string UsableMemoPath(std::u16string_view stored, std::u16string_view fallback) {
    if (stored.empty() || stored.size() >= kMaxPathUnits) return std::u16string(fallback);
    return std::u16string(stored);
}
