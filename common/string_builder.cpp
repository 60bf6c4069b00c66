#include "common/string_builder.h"
CStringBuilder::~CStringBuilder() {}
std::u16string_view CStringBuilder::View() const { return {}; }
