// The room a compile needs: a multiple of the source's size by its format.
#include "import/compile_space.h"

#include "dictionary/format_detection.h"

namespace {

// Below this many free bytes the engine reports "No disk space".
constexpr uint64_t kEngineLowSpace = 128000;

// The new file's largest size over the source's, rounded up with room to
// spare: Debian's KANJIDIC peaks at 4.9 (its readings and meanings make many
// keys per byte), the EDICT family at up to 4.3 (ENAMDICT 4.0, EDICT 3.0);
// the others keep what the conversion dialog always reserved.
uint64_t PeakFactor(uint32_t flags) {
    if (flags & kFormatKanji) return 6;
    if (flags & kFormatEdictFamily) return 5;
    if (flags & kFormatOwnContainer) return 5;
    if (flags & kFormatPdic) return 4;
    return 3;
}

}  // namespace

uint64_t CompileSpaceNeeded(uint32_t formatFlags, uint64_t sourceBytes) {
    return sourceBytes * PeakFactor(formatFlags) + kEngineLowSpace;
}
