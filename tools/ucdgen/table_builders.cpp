// Builds the uncompressed bytes of each built-in table from the parsed Unicode
// files; the layouts are described in table_builders.h.
#include "tools/ucdgen/table_builders.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

constexpr uint32_t kMagic = 0x636F6C74;  // "tloc"
constexpr uint32_t kStage1Entries = 0x2000;
constexpr uint32_t kCodeSpace = 0x110000;

void PutU32(std::vector<uint8_t>& out, size_t at, uint32_t value) {
    if (out.size() < at + 4) out.resize(at + 4);
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

void AppendU32(std::vector<uint8_t>& out, uint32_t value) { PutU32(out, out.size(), value); }

// Stage 1 and stage 2 of a two-stage table over `entries` (one per code
// point), appended at out.size(). Returns the number of stage-2 blocks.
uint32_t AppendStages(std::vector<uint8_t>& out, const std::vector<uint32_t>& entries) {
    std::vector<int32_t> stage1(kStage1Entries, -1);
    std::vector<uint32_t> stage2;
    for (uint32_t block = 0; block < kCodeSpace / 256; ++block) {
        auto first = entries.begin() + block * 256;
        if (std::all_of(first, first + 256, [](uint32_t v) { return v == 0; })) continue;
        stage1[block] = static_cast<int32_t>(stage2.size());
        stage2.insert(stage2.end(), first, first + 256);
    }
    for (int32_t v : stage1) AppendU32(out, static_cast<uint32_t>(v));
    for (uint32_t v : stage2) AppendU32(out, v);
    return static_cast<uint32_t>(stage2.size() / 256);
}

// The "tloc" magic and version words of a header of `headerBytes` bytes.
void StartTlocHeader(std::vector<uint8_t>& out, size_t headerBytes) {
    out.assign(headerBytes, 0);
    PutU32(out, 0, kMagic);
    PutU32(out, 4, 1);
    PutU32(out, 8, 1);
}

// A node of a contraction trie while it is built.
struct TrieNode {
    uint32_t codePoint = 0;                 // 0 for the head and terminal nodes
    uint32_t elementRef = 0xFFFFFFFF;       // count << 16 | index, -1 = none
    std::map<uint32_t, size_t> children;    // by code point, so a terminal (0) comes first
};

// Appends node `n` of `trie` and, depth first, its children to `words`
// (four words per node); returns the placed index of `n`.
uint32_t PlaceNode(const std::vector<TrieNode>& trie, size_t n, std::vector<uint32_t>& words) {
    uint32_t index = static_cast<uint32_t>(words.size() / 4);
    words.insert(words.end(), {trie[n].codePoint, trie[n].elementRef, 0xFFFFFFFF, 0xFFFFFFFF});
    uint32_t previous = 0xFFFFFFFF;
    for (const auto& [codePoint, child] : trie[n].children) {
        uint32_t placed = PlaceNode(trie, child, words);
        words[(previous == 0xFFFFFFFF ? index * 4 + 3 : previous * 4 + 2)] = placed;
        previous = placed;
    }
    return index;
}

BuiltTable BuildTwoStage(const char* name, const std::vector<uint32_t>& entries,
                         const std::vector<uint32_t>& pool) {
    BuiltTable table;
    table.name = name;
    std::vector<uint8_t>& out = table.bytes;
    StartTlocHeader(out, 48);
    table.blocks = AppendStages(out, entries);
    uint32_t poolOffset = static_cast<uint32_t>(out.size());
    for (uint32_t v : pool) AppendU32(out, v);
    table.poolWords = static_cast<uint32_t>(pool.size());
    // Descriptors {pointer (0 in the file), count, offset}.
    PutU32(out, 16, kStage1Entries);
    PutU32(out, 20, 48);
    PutU32(out, 28, table.blocks);
    PutU32(out, 32, 48 + kStage1Entries * 4);
    PutU32(out, 40, table.poolWords);
    PutU32(out, 44, poolOffset);
    return table;
}

const char* const kCategoryNames[] = {
    "Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Mn", "Mc", "Me", "Nd", "Nl", "No", "Pc", "Pd", "Ps",
    "Pe", "Pi", "Pf", "Po", "Sm", "Sc", "Sk", "So", "Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co"};

uint32_t CategoryNumber(const std::string& name) {
    for (uint32_t i = 0; i < std::size(kCategoryNames); ++i)
        if (name == kCategoryNames[i]) return i;
    return 0;
}

using ValueNames = std::vector<std::pair<const char*, uint32_t>>;

const ValueNames kWordBreakValues = {
    {"Other", 0}, {"Format", 1}, {"Katakana", 2}, {"ALetter", 3}, {"MidLetter", 4},
    {"Numeric", 6}, {"ExtendNumLet", 7}, {"Extend", 8}, {"CR", 9}, {"LF", 10},
    {"Newline", 11}, {"MidNum", 12}, {"MidNumLet", 12}};
const ValueNames kSentenceBreakValues = {
    {"Other", 0}, {"CR", 1}, {"LF", 2}, {"Extend", 3}, {"Sep", 4}, {"Format", 5}, {"Sp", 6},
    {"Lower", 7}, {"Upper", 8}, {"OLetter", 9}, {"Numeric", 10}, {"ATerm", 11}, {"STerm", 12},
    {"Close", 13}, {"SContinue", 14}};
const ValueNames kLineBreakValues = {
    {"OP", 0}, {"CL", 1}, {"CP", 2}, {"QU", 3}, {"GL", 4}, {"NS", 5}, {"EX", 6}, {"SY", 7},
    {"IS", 8}, {"PR", 9}, {"PO", 10}, {"NU", 11}, {"AL", 12}, {"ID", 13}, {"IN", 14},
    {"HY", 15}, {"BA", 16}, {"BB", 17}, {"B2", 18}, {"ZW", 19}, {"CM", 20}, {"WJ", 21},
    {"H2", 22}, {"H3", 23}, {"JL", 24}, {"JV", 25}, {"JT", 26}, {"SA", 27}, {"SP", 28},
    {"BK", 30}, {"CR", 31}, {"LF", 32}, {"NL", 33}, {"CB", 34}, {"SG", 35}, {"AI", 36},
    {"XX", 37}};
const ValueNames kBidiClassValues = {
    {"L", 1}, {"R", 2}, {"EN", 3}, {"ES", 4}, {"ET", 5}, {"AN", 6}, {"CS", 7},
    {"B", 8}, {"S", 9}, {"WS", 10}, {"ON", 11}, {"BN", 12}, {"NSM", 13}, {"AL", 14},
    {"LRO", 15}, {"RLO", 16}, {"LRE", 17}, {"RLE", 18}, {"PDF", 19}};

}  // namespace

BuiltTable BuildCategoryTable(const std::vector<UnicodeDataLine>& lines) {
    std::vector<uint32_t> entries(kCodeSpace, 0);
    for (const UnicodeDataLine& l : lines) entries[l.codePoint] = CategoryNumber(l.category);
    return BuildTwoStage("CHAR_GENERAL_CATEGORY", entries, {});
}

BuiltTable BuildLowerCaseTable(const std::vector<UnicodeDataLine>& lines) {
    std::vector<uint32_t> entries(kCodeSpace, 0);
    for (const UnicodeDataLine& l : lines) entries[l.codePoint] = l.lower;
    return BuildTwoStage("CHAR_LOWER_CASE", entries, {});
}

BuiltTable BuildUpperCaseTable(const std::vector<UnicodeDataLine>& lines) {
    std::vector<uint32_t> entries(kCodeSpace, 0);
    for (const UnicodeDataLine& l : lines) entries[l.codePoint] = l.upper;
    return BuildTwoStage("CHAR_UPPER_CASE", entries, {});
}

BuiltTable BuildDecompositionTable(const std::vector<UnicodeDataLine>& lines) {
    std::vector<uint32_t> entries(kCodeSpace, 0);
    std::vector<uint32_t> pool(1, 0);  // index 0 means "none"
    for (const UnicodeDataLine& l : lines) {
        if (l.decomposition.empty() || l.codePoint == 0x00A0) continue;
        entries[l.codePoint] = static_cast<uint32_t>(pool.size());
        pool.insert(pool.end(), l.decomposition.begin(), l.decomposition.end());
        pool.push_back(0);
    }
    return BuildTwoStage("CHAR_DECOMPOSITION", entries, pool);
}

BuiltTable BuildCollationTable(const std::vector<CollationEntry>& entries) {
    BuiltTable table;
    table.name = "DUCET_5_0_0_0_1";

    std::vector<uint32_t> elementWords;  // four per element
    std::vector<uint32_t> single(kCodeSpace, 0);
    uint32_t variableTop = 0;
    // Tries of the contractions, keyed by their first code point.
    std::map<uint32_t, std::vector<TrieNode>> tries;

    for (const CollationEntry& e : entries) {
        uint32_t ref = static_cast<uint32_t>(e.elements.size() << 16 | elementWords.size() / 4);
        for (const CollationElement& c : e.elements) {
            elementWords.insert(elementWords.end(), {c.primary, c.secondary, c.tertiary, c.fourth});
            if (c.variable) variableTop = std::max(variableTop, c.primary);
        }
        if (e.codePoints.size() == 1) {
            single[e.codePoints[0]] = ref;
            continue;
        }
        std::vector<TrieNode>& trie = tries[e.codePoints[0]];
        if (trie.empty()) trie.emplace_back();  // the head
        size_t at = 0;
        for (size_t i = 1; i < e.codePoints.size(); ++i) {
            uint32_t cp = e.codePoints[i];
            auto found = trie[at].children.find(cp);
            if (found == trie[at].children.end()) {
                trie.emplace_back();
                trie.back().codePoint = cp;
                found = trie[at].children.emplace(cp, trie.size() - 1).first;
            }
            at = found->second;
        }
        // The contraction's own elements hang from a terminal child.
        trie.emplace_back();
        trie.back().elementRef = ref;
        trie[at].children.emplace(0, trie.size() - 1);
    }

    // Lay the nodes out depth first, each starter's tree in turn.
    std::vector<uint32_t> nodeWords;
    std::vector<uint32_t> stage2Entries = single;
    for (auto& [starter, trie] : tries) {
        trie[0].elementRef = single[starter] ? single[starter] : 0xFFFFFFFF;
        uint32_t head = PlaceNode(trie, 0, nodeWords);
        stage2Entries[starter] = 0x80000000u | head;
    }

    std::vector<uint8_t>& out = table.bytes;
    StartTlocHeader(out, 0x70);
    PutU32(out, 48, variableTop);
    PutU32(out, 52, 3);
    table.blocks = AppendStages(out, stage2Entries);
    uint32_t elementOffset = static_cast<uint32_t>(out.size());
    for (uint32_t v : elementWords) AppendU32(out, v);
    uint32_t nodeOffset = static_cast<uint32_t>(out.size());
    for (uint32_t v : nodeWords) AppendU32(out, v);
    table.elements = static_cast<uint32_t>(elementWords.size() / 4);
    table.nodes = static_cast<uint32_t>(nodeWords.size() / 4);
    PutU32(out, 64, kStage1Entries);
    PutU32(out, 68, 0x70);
    PutU32(out, 76, table.blocks);
    PutU32(out, 80, 0x70 + kStage1Entries * 4);
    PutU32(out, 88, table.elements);
    PutU32(out, 92, elementOffset);
    PutU32(out, 100, table.nodes);
    PutU32(out, 104, nodeOffset);
    return table;
}

bool BuildRangeTable(RangeProperty property, const std::vector<PropertyRange>& ranges,
                     BuiltTable& table, std::string& error) {
    const ValueNames* names = nullptr;
    switch (property) {
    case RangeProperty::WordBreak: table.name = "WORD_BREAK_PROPERTIES"; names = &kWordBreakValues; break;
    case RangeProperty::SentenceBreak: table.name = "SENTENCE_BREAK_PROPERTIES"; names = &kSentenceBreakValues; break;
    case RangeProperty::LineBreak: table.name = "LINE_BREAK_PROPERTIES"; names = &kLineBreakValues; break;
    case RangeProperty::BidiClass: table.name = "DERIVED_BIDI_CLASS"; names = &kBidiClassValues; break;
    }
    table.bytes.clear();
    for (const PropertyRange& r : ranges) {
        auto found = std::find_if(names->begin(), names->end(),
                                  [&](const auto& n) { return r.value == n.first; });
        if (found == names->end()) {
            error = table.name + ": no number for the value " + r.value;
            return false;
        }
        if (found->second == 0) continue;  // the fill value of every table
        AppendU32(table.bytes, r.first);
        AppendU32(table.bytes, r.last);
        AppendU32(table.bytes, found->second);
    }
    table.records = static_cast<uint32_t>(table.bytes.size() / 12);
    return true;
}
