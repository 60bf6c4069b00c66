// Loading, checking and look-ups of the four two-stage character tables.
#include "common/unicode/char_tables.h"

#include <vector>

namespace {

constexpr uint32_t kMagic = 0x636F6C74;  // "tloc"
constexpr uint32_t kStage1Entries = 0x2000;
constexpr uint32_t kHeaderBytes = 48;
// Deeper nesting than any real decomposition (3) means a damaged table.
constexpr int kDeepestDecomposition = 16;

struct Area {
    uint32_t count;
    uint32_t offset;
};

uint32_t WordAt(const InflatedData& data, size_t byteOffset) {
    return data.words[byteOffset / 4];
}

// An area of `count` items of `itemBytes` at `offset`, inside the blob and aligned.
bool AreaFits(const InflatedData& data, Area area, uint64_t itemBytes) {
    return area.offset % 4 == 0 && area.offset <= data.size &&
           uint64_t{area.count} * itemBytes <= data.size - area.offset;
}

// Follows the decomposition records reachable from stage-2 entry `index`,
// failing on a cycle or a nesting deeper than kDeepestDecomposition.
class DecompositionDepthCheck {
public:
    explicit DecompositionDepthCheck(const CharTableBlob& table)
        : table_(table), state_(table.stage2.size(), kUnseen) {}

    bool Check(uint32_t entryIndex, int depth) {
        if (state_[entryIndex] == kDone) return true;
        if (state_[entryIndex] == kOpen || depth > kDeepestDecomposition) return false;
        state_[entryIndex] = kOpen;
        for (uint32_t at = table_.stage2[entryIndex]; table_.pool[at] != 0; ++at) {
            uint32_t codePoint = table_.pool[at];
            if (codePoint >= 0x200000) continue;
            int32_t first = table_.stage1[codePoint >> 8];
            if (first < 0) continue;
            uint32_t next = static_cast<uint32_t>(first) + (codePoint & 0xFF);
            if (table_.stage2[next] != 0 && !Check(next, depth + 1)) return false;
        }
        state_[entryIndex] = kDone;
        return true;
    }

private:
    enum : uint8_t { kUnseen, kOpen, kDone };
    const CharTableBlob& table_;
    std::vector<uint8_t> state_;
};

bool EntriesValid(const CharTableBlob& table, CharTableKind kind) {
    switch (kind) {
    case CharTableKind::Category:
        for (uint32_t v : table.stage2)
            if ((v & 0xFFFF) > kCategoryCo) return false;
        return true;
    case CharTableKind::CaseMapping:
        for (uint32_t v : table.stage2)
            if (v > 0x10FFFF) return false;
        return true;
    case CharTableKind::Decomposition: {
        // Every record non-empty and ended by 0 inside the pool; index 0 is reserved.
        const std::span<const uint32_t> pool = table.pool;
        std::vector<uint8_t> recordEnds(pool.size(), 0);
        bool ended = false;
        for (size_t i = pool.size(); i-- > 0;) {
            if (pool[i] == 0) ended = true;
            recordEnds[i] = ended;
        }
        for (uint32_t v : table.stage2)
            if (v != 0 && (v >= pool.size() || pool[v] == 0 || !recordEnds[v])) return false;
        DecompositionDepthCheck depth(table);
        for (uint32_t i = 0; i < table.stage2.size(); ++i)
            if (table.stage2[i] != 0 && !depth.Check(i, 0)) return false;
        return true;
    }
    }
    return false;
}

// Voiced kana and Й/й stay whole in search keys: their entries are cleared.
void KeepComposedLetters(CharTableBlob& table) {
    auto clear = [&](uint32_t codePoint) {
        int32_t first = table.stage1[codePoint >> 8];
        if (first >= 0) table.stage2[static_cast<uint32_t>(first) + (codePoint & 0xFF)] = 0;
    };
    for (uint32_t cp = 0x304C; cp < 0x30FF; ++cp) {
        uint32_t record = table.Entry(cp);
        if (record == 0 || table.pool[record] == 0) continue;
        uint32_t second = table.pool[record + 1];
        if (second == 0x3099 || second == 0x309A) clear(cp);
    }
    clear(0x0419);
    clear(0x0439);
}

std::unique_ptr<CharTableBlob> g_category;
std::unique_ptr<CharTableBlob> g_lowerCase;
std::unique_ptr<CharTableBlob> g_upperCase;
std::unique_ptr<CharTableBlob> g_decomposition;

const CharTableBlob* Loaded(std::unique_ptr<CharTableBlob>& slot, const char* name,
                            CharTableKind kind) {
    if (!slot) LoadCharTableBlob(slot, name, kind);
    return slot.get();
}

char16_t MapCase(const CharTableBlob* table, char16_t unit) {
    if (!table) return 0xFFFF;
    uint32_t mapped = table->Entry(unit);
    return mapped == 0 || mapped > 0xFFFF ? unit : static_cast<char16_t>(mapped);
}

}  // namespace

bool ParseCharTableBlob(InflatedData data, CharTableKind kind, CharTableBlob& table) {
    table = CharTableBlob{};
    if (data.size < kHeaderBytes || WordAt(data, 0) != kMagic || WordAt(data, 4) != 1 ||
        WordAt(data, 8) != 1)
        return false;
    Area stage1{WordAt(data, 16), WordAt(data, 20)};
    Area stage2{WordAt(data, 28), WordAt(data, 32)};
    Area pool{WordAt(data, 40), WordAt(data, 44)};
    if (stage1.count != kStage1Entries || !AreaFits(data, stage1, 4) ||
        !AreaFits(data, stage2, 1024))
        return false;
    if (pool.count != 0 && !AreaFits(data, pool, 4)) return false;
    if ((kind == CharTableKind::Decomposition) != (pool.count != 0)) return false;

    uint32_t* words = data.words.get();
    table.stage1 = {reinterpret_cast<const int32_t*>(words + stage1.offset / 4), stage1.count};
    table.stage2 = {words + stage2.offset / 4, size_t{stage2.count} * 256};
    if (pool.count != 0) table.pool = {words + pool.offset / 4, pool.count};
    for (int32_t first : table.stage1)
        if (first < -1 || (first >= 0 && uint64_t(first) + 255 >= table.stage2.size())) {
            table = CharTableBlob{};
            return false;
        }
    if (!EntriesValid(table, kind)) {
        table = CharTableBlob{};
        return false;
    }
    table.data = std::move(data);  // moving the owner keeps the words where they are
    return true;
}

int32_t LoadCharTableBlob(std::unique_ptr<CharTableBlob>& slot, std::string_view name,
                          CharTableKind kind) {
    slot.reset();
    InflatedData data;
    if (!InflateDataResource(name, data)) return 0;
    auto table = std::make_unique<CharTableBlob>();
    if (!ParseCharTableBlob(std::move(data), kind, *table)) return 0;
    if (kind == CharTableKind::Decomposition) KeepComposedLetters(*table);
    slot = std::move(table);
    return 1;
}

const CharTableBlob* CategoryTable() {
    return Loaded(g_category, "CHAR_GENERAL_CATEGORY", CharTableKind::Category);
}
const CharTableBlob* LowerCaseTable() {
    return Loaded(g_lowerCase, "CHAR_LOWER_CASE", CharTableKind::CaseMapping);
}
const CharTableBlob* UpperCaseTable() {
    return Loaded(g_upperCase, "CHAR_UPPER_CASE", CharTableKind::CaseMapping);
}
const CharTableBlob* DecompositionTable() {
    return Loaded(g_decomposition, "CHAR_DECOMPOSITION", CharTableKind::Decomposition);
}

void ReleaseCharTables() {
    g_category.reset();
    g_lowerCase.reset();
    g_upperCase.reset();
    g_decomposition.reset();
}

int32_t GetCharCategory(char16_t unit) {
    if ((unit >= 0x2630 && unit <= 0x2637) || (unit >= 0x4DC0 && unit <= 0x4DFF)) return 0;
    const CharTableBlob* table = CategoryTable();
    if (!table) return -1;
    return static_cast<int32_t>(table->Entry(unit) & 0xFFFF);
}

char16_t ToLowerChar(char16_t unit) { return MapCase(LowerCaseTable(), unit); }
char16_t ToUpperChar(char16_t unit) { return MapCase(UpperCaseTable(), unit); }
