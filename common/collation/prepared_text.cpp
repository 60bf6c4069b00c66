// Which prepared form a collator gets: the UCA collator has its own.
#include "common/collation/prepared_text.h"

#include "common/collation/xcollator1.h"

std::unique_ptr<PreparedText> NewPreparedText(ICollator& collator) {
    if (&collator == static_cast<ICollator*>(&UcaCollator())) return UcaCollator().NewPreparedText();
    return std::make_unique<ComparedPreparedText>(collator);
}
