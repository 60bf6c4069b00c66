// The last line-break opportunity in a text: the pair-table method of UAX #14
// (the variant that moves a break before spaces in front of a combining mark)
// over the first 256 units, classified one unit at a time.
#include <algorithm>
#include <cstdint>

#include "common/segmentation/text_segmentation.h"

namespace {

enum LineClass : int8_t {
    OP = 0, CL, CP, QU, GL, NS, EX, SY, IS, PR, PO, NU, AL, ID, IN, HY, BA, BB, B2, ZW, CM, WJ,
    H2, H3, JL, JV, JT, SA = 27, SP = 28, BK = 30, CR = 31, LF = 32, NL = 33, CB = 34,
};
constexpr int kPairClasses = 27;   // OP..JT: the classes the pair table covers

// Actions between two units.
enum LineAction : int8_t {
    kDirect = 0, kIndirect = 1, kCombiningIndirect = 2, kCombiningProhibited = 3, kProhibited = 4,
    kExplicit = 5,
};

constexpr int8_t kPairTable[kPairClasses][kPairClasses] = {
    // Row: class before the opportunity; column: class after.
    //   OP CL CP QU GL NS EX SY IS PR PO NU AL ID IN HY BA BB B2 ZW CM WJ H2 H3 JL JV JT
    {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 3, 4, 4, 4, 4, 4, 4},  // OP
    {0, 4, 4, 1, 1, 4, 4, 4, 4, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // CL
    {0, 4, 4, 1, 1, 4, 4, 4, 4, 1, 1, 1, 1, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // CP
    {4, 4, 4, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 2, 4, 1, 1, 1, 1, 1},  // QU
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 2, 4, 1, 1, 1, 1, 1},  // GL
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // NS
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // EX
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // SY
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // IS
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 1, 1, 0, 1, 1, 0, 0, 4, 2, 4, 1, 1, 1, 1, 1},  // PR
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // PO
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // NU
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // AL
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // ID
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // IN
    {0, 4, 4, 1, 0, 1, 4, 4, 4, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // HY
    {0, 4, 4, 1, 0, 1, 4, 4, 4, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // BA
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 2, 4, 1, 1, 1, 1, 1},  // BB
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 0, 0, 0, 0, 1, 1, 0, 4, 4, 2, 4, 0, 0, 0, 0, 0},  // B2
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0},  // ZW
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 0, 1, 1, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 0},  // CM
    {1, 4, 4, 1, 1, 1, 4, 4, 4, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 2, 4, 1, 1, 1, 1, 1},  // WJ
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 1, 1},  // H2
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 1},  // H3
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 1, 1, 1, 1, 0},  // JL
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 1, 1},  // JV
    {0, 4, 4, 1, 1, 1, 4, 4, 4, 0, 1, 0, 0, 0, 1, 1, 1, 0, 0, 4, 2, 4, 0, 0, 0, 0, 1},  // JT
};

constexpr int32_t kClassifiedUnits = 256;

// Every class the pair table does not cover and the algorithm does not handle
// by name (AI, XX, SG for the halves of surrogate pairs, unused numbers) reads
// as AL; CB as B2.
int8_t ResolveLineClass(int8_t c) {
    switch (c) {
        case SA: case SP: case BK: case CR: case LF: case NL: return c;
        case CB: return B2;
        default: return (c >= 0 && c < kPairClasses) ? c : static_cast<int8_t>(AL);
    }
}

bool IsBreakAction(int8_t a) { return a == kDirect || a == kIndirect || a == kCombiningIndirect || a == kExplicit || a == 6; }

}  // namespace

int32_t TextSegmenter::FindLastLineBreak(const char16_t* text, int32_t length) const {
    if (!text || length < 2 || !tables_.line) return -1;
    const int32_t n = std::min(length, kClassifiedUnits);
    int8_t cls[kClassifiedUnits];
    int8_t action[kClassifiedUnits];
    for (int32_t i = 0; i < n; ++i) {
        cls[i] = ResolveLineClass((*tables_.line)[text[i]]);
        action[i] = kProhibited;   // pairs after a hard break are never reached
    }
    int8_t current = cls[0];
    if (current == LF || current == NL) current = BK;
    if (current == SP) current = WJ;
    int32_t i = 1;
    for (; i < n; ++i) {
        if (current == BK || (current == CR && cls[i] != LF)) break;
        const int8_t c = cls[i];
        if (c == SP) {
            action[i - 1] = kProhibited;
            continue;
        }
        if (c == BK || c == NL || c == LF) {
            action[i - 1] = kProhibited;
            current = BK;
            continue;
        }
        if (c == CR) {
            action[i - 1] = kProhibited;
            current = CR;
            continue;
        }
        if (current == SA || c == SA) {
            // No dictionary for these scripts: no break inside or around the run.
            action[i - 1] = kProhibited;
            while (i + 1 < n && cls[i + 1] == SA) {
                ++i;
                action[i - 1] = kProhibited;
            }
            if (i + 1 >= n) {
                ++i;
                break;
            }
            current = cls[i + 1] == SP ? static_cast<int8_t>(WJ) : cls[i + 1];
            continue;
        }
        if (current >= kPairClasses) current = AL;   // CR before LF is handled above
        const int8_t a = kPairTable[current][c];
        const bool afterSpace = cls[i - 1] == SP;
        switch (a) {
            case kIndirect:
                action[i - 1] = afterSpace ? kIndirect : kProhibited;
                current = c;
                break;
            case kCombiningProhibited:
                action[i - 1] = kCombiningProhibited;
                if (afterSpace) current = c;
                break;
            case kCombiningIndirect:
                action[i - 1] = kProhibited;
                if (afterSpace) {
                    // The space becomes the mark's base: the break moves before it.
                    if (i >= 2) action[i - 2] = cls[i - 2] == SP ? kIndirect : kDirect;
                    current = c;
                }
                break;
            default:
                action[i - 1] = a;
                current = c;
                break;
        }
    }
    action[i - 1] = kExplicit;
    for (int32_t k = n - 2; k >= 0; --k)
        if (IsBreakAction(action[k])) return k;
    return -1;
}
