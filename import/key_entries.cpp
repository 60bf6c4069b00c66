// Key entries: segments by index layout; removal by seek, compare and step.
#include "import/key_entries.h"

#include "storage/dms.h"

#include <array>

namespace {

// The two segments of a key of index 101, 102 or 106.
struct KeySegments {
    KeySegments(int32_t indexId, const DictionaryKey& key) {
        values[0] = {const_cast<char16_t*>(Text(key.first)), static_cast<int32_t>(key.first.size() * 2)};
        if (indexId == 106) {
            values[1] = {&word, 2};
        } else {
            values[1] = {const_cast<char16_t*>(Text(key.second)), static_cast<int32_t>(key.second.size() * 2)};
        }
    }
    static const char16_t* Text(const std::u16string& s) { return s.empty() ? kEmpty : s.data(); }
    static constexpr char16_t kEmpty[1] = {0};
    uint16_t word = 1;
    KeySegmentValue values[2];
};

}  // namespace

DmsStatus InsertDictionaryKey(CDMS& engine, uint32_t handle, int32_t indexId, const DictionaryKey& key, RecordRef ref) {
    KeySegments segments(indexId, key);
    return engine.InsertKey(handle, segments.values, ref);
}

DmsStatus RemoveDictionaryKey(CDMS& engine, uint32_t handle, int32_t indexId, const DictionaryKey& key,
                              uint32_t position) {
    KeySegments segments(indexId, key);
    std::array<std::array<uint8_t, 260>, 2> buffers;
    KeySegmentValue found[2];
    auto reset = [&] {
        for (int i = 0; i < 2; ++i) found[i] = {buffers[i].data(), static_cast<int32_t>(buffers[i].size())};
    };
    for (;;) {
        EntryPosition at;
        reset();
        DmsStatus s = engine.Seek(handle, segments.values, found, &at);
        if (s == DmsStatus::RecordNotFound || s == DmsStatus::EndOfFile) return DmsStatus::Success;
        if (Failed(s)) return s;
        bool deleted = false;
        while (!deleted) {
            int32_t order = 1;
            if (const DmsStatus c = engine.CompareKeys(handle, segments.values, found, &order); Failed(c)) return c;
            if (order != 0) return DmsStatus::Success;
            if (at.ref.first == position) {
                if (const DmsStatus d = engine.DeleteCurrent(handle); Failed(d)) return d;
                deleted = true;  // search again from the start of the key
                continue;
            }
            reset();
            s = engine.Next(handle, found, &at);
            if (s == DmsStatus::EndOfFile || s == DmsStatus::NoCurrentPosition) return DmsStatus::Success;
            if (Failed(s)) return s;
        }
    }
}
