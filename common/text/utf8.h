// UTF-8 <-> UTF-16 conversion for the program's edges (file paths on POSIX,
// web replies, text books). Ill-formed input becomes U+FFFD; never throws.
#pragma once

#include <string>
#include <string_view>

std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);
