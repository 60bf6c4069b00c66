// The book reader's and loader's texts come from the interface texts: a text
// is named by its English wording, found in the English set (its slots, then
// the extra texts beside them), and read in the current language (the
// wording itself when neither holds it).
#pragma once

#include <string>
#include <string_view>

std::u16string InterfaceText(std::u16string_view english);
// The same with its "%s" replaced by `argument`.
std::u16string InterfaceText(std::u16string_view english, std::u16string_view argument);
