// The system's own words for a Win32 error code, in the system's language,
// for messages that say why a file or transfer step failed.
#pragma once

#include <cstdint>
#include <string>

// The system's text for `code` without its line end; "Error N" when the
// system has none.
std::u16string SystemErrorText(uint32_t code);
