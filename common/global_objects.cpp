// Start-up and exit order of the whole-run objects.
#include "common/global_objects.h"

#include "common/ui_text/ui_text.h"
#include "common/collation/xcollator0.h"
#include "common/collation/xcollator1.h"

ProgramGlobals::ProgramGlobals(const GlobalObjectHooks& hooks) : hooks_(hooks) {
    if (hooks_.createEngine) hooks_.createEngine();
    DictionaryCollator();
    UcaCollator().FreeTable();
}

ProgramGlobals::~ProgramGlobals() {
    DictionaryCollator().Reset();
    if (hooks_.destroyPrintEngine) hooks_.destroyPrintEngine();
    if (hooks_.destroyEngine) hooks_.destroyEngine();
    // Last: an index compared through a collator without its table would see
    // every key as equal.
    UcaCollator().FreeTable();
}

const char16_t* StepNameText(int32_t slot) {
    if (slot < 0 || slot >= kUIStringCount || !UIStringTable[slot]) return u"";
    return UIStringTable[slot];
}
