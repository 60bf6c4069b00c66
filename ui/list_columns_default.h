// The column layouts and header titles the list views start with until the
// layouts read from the settings file are joined: one built-in layout per
// model kind, a model kind without its own taking the translated-words one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dictionary/list_view_model.h"

std::vector<PageColumn> DefaultListColumns(int32_t modelKind);
// The header title of a column kind in list kind `listKind` (language 0
// Russian, 1 English, 2 Japanese); empty for the drawn columns.
std::u16string ListColumnTitle(int32_t columnKind, int32_t listKind, int32_t language);
