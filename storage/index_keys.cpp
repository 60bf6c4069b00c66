// Index keys: encoding, the well-formedness check of stored keys, decoding
// and the segment order. Formats and rules: index_keys.h.
#include "storage/index_keys.h"

#include "common/collation/collator.h"
#include "common/collation/prepared_text.h"
#include "common/collation/xcollator1.h"
#include "storage/byte_order.h"

#include <algorithm>
#include <cstring>

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;

namespace {

int32_t CollatorMode(int32_t sort) {
    switch (sort) {
    case SortWK: return 2;
    case SortKK: return 6;
    case SortTR: return 10;
    case SortTL: return 11;
    default: return 0;
    }
}

int32_t Sign(int64_t v) { return v < 0 ? -1 : (v > 0 ? 1 : 0); }

// Stored text may sit at an odd address; the collator reads char16_t.
const char16_t* AlignedText(const uint8_t* p, uint32_t bytes, std::vector<char16_t>& scratch) {
    if ((reinterpret_cast<uintptr_t>(p) & 1) == 0) return reinterpret_cast<const char16_t*>(p);
    scratch.resize(bytes / 2 + 1);
    std::memcpy(scratch.data(), p, bytes & ~1u);
    return scratch.data();
}

// The run's id of a shape: its place in a table of the shapes seen so far,
// plus 1. Indexes have few distinct shapes and the engine runs on one thread.
uint32_t ShapeIdOf(const std::string& shape) {
    static std::vector<std::string>* const shapes = new std::vector<std::string>;  // kept for the whole run
    auto found = std::find(shapes->begin(), shapes->end(), shape);
    if (found == shapes->end()) found = shapes->insert(shapes->end(), shape);
    return static_cast<uint32_t>(found - shapes->begin()) + 1;
}

}  // namespace

ICollator* IndexCollator(int32_t kind) {
    // Both collators are static objects of the whole run; one reference each
    // is held here so every index shares them. The UCA table may have been
    // freed since (the exit sequence, a test): without it there is no collator.
    static ICollator* dictionary = nullptr;
    static ICollator* uca = nullptr;
    ICollator*& slot = kind == 0 ? dictionary : uca;
    if (kind != 0 && slot != nullptr && !UcaCollator().LoadTable()) return nullptr;
    if (slot == nullptr) {
        ICollator* c = nullptr;
        HRESULT hr = kind == 0 ? GetDictionaryCollator(&c) : GetUcaCollator(&c);
        if (hr == S_OK) slot = c;
    }
    return slot;
}

uint64_t IndexKeyFormat::Comparisons() { return comparisons_; }

IndexKeyFormat::IndexKeyFormat() = default;
IndexKeyFormat::~IndexKeyFormat() = default;
IndexKeyFormat::IndexKeyFormat(IndexKeyFormat&&) noexcept = default;
IndexKeyFormat& IndexKeyFormat::operator=(IndexKeyFormat&&) noexcept = default;

DmsStatus IndexKeyFormat::Init(const FileDescription& description, int32_t keyId, int32_t collatorKind) {
    prepared_.texts_.clear();   // made for the collator of the format before
    segments_.clear();
    shape_.clear();
    shapeId_ = 0;
    collator_ = nullptr;
    prefixed_ = false;
    prepared_.prefix_ = {};
    if (description.FindIndex(keyId) < 0) return DmsStatus::WrongKeyId;
    for (const SegmentDefinition& d : description.SegmentsOf(keyId)) {
        Segment s;
        s.type = d.type;
        s.variable = IsVariableLength(d.type);
        s.width = (s.variable || d.type == FieldGuid || d.type == FieldDate) ? 0 : static_cast<uint32_t>(d.width);
        if (d.type == FieldUString && d.sort != SortNoSort) {
            s.collated = true;
            s.mode = CollatorMode(d.sort);
            s.flags = (d.sort == -1 && collatorKind == 0) ? 0u : 1u;
        }
        segments_.push_back(s);
        shape_ += s.variable ? 'v' : static_cast<char>('0' + s.width);
    }
    shapeId_ = ShapeIdOf(shape_);
    bool needsCollator = std::any_of(segments_.begin(), segments_.end(), [](const Segment& s) { return s.collated; });
    if (needsCollator) {
        collator_ = IndexCollator(collatorKind);
        if (collator_ == nullptr) return DmsStatus::CollatorNotFound;
    }
    prefixed_ = !segments_.empty() && segments_[0].collated && collator_ == static_cast<ICollator*>(&UcaCollator());
    return DmsStatus::Success;
}

namespace {

// What Encode refuses in one value of a segment, else Success.
DmsStatus ValueStatus(const IndexKeyFormat::Segment& s, const KeySegmentValue& v) {
    if (s.variable) {
        if (v.length < 0 || static_cast<uint32_t>(v.length) > IndexKeyFormat::kMaxVariableBytes)
            return DmsStatus::InvalidKeyValues;
        if (v.data == nullptr && v.length > 0) return DmsStatus::InvalidParameter;
    } else if (s.width > 0 && v.data == nullptr) {
        return DmsStatus::InvalidParameter;
    }
    return DmsStatus::Success;
}

// One key walked segment by segment, as key bytes or as the caller's values.
class EncodedSide {
public:
    explicit EncodedSide(const uint8_t* p) : p_(p) {}
    const uint8_t* Variable(size_t, uint32_t& bytes) {
        bytes = LoadU16(p_) - IndexKeyFormat::kLengthBias;
        const uint8_t* value = p_ + IndexKeyFormat::kLengthPrefixBytes;
        p_ = value + bytes;
        return value;
    }
    const uint8_t* Fixed(size_t, uint32_t width) {
        const uint8_t* value = p_;
        p_ += width;
        return value;
    }

private:
    const uint8_t* p_;
};

class ValueSide {
public:
    explicit ValueSide(const KeySegmentValue* values) : values_(values) {}
    const uint8_t* Variable(size_t k, uint32_t& bytes) const {
        bytes = static_cast<uint32_t>(values_[k].length);
        return static_cast<const uint8_t*>(values_[k].data);
    }
    const uint8_t* Fixed(size_t k, uint32_t) const { return static_cast<const uint8_t*>(values_[k].data); }

private:
    const KeySegmentValue* values_;
};

}  // namespace

DmsStatus IndexKeyFormat::Encode(const KeySegmentValue* values, std::vector<uint8_t>& key) const {
    key.clear();
    if (values == nullptr && !segments_.empty()) return DmsStatus::InvalidParameter;
    size_t bytes = 0;
    for (size_t i = 0; i < segments_.size(); ++i) {
        if (const DmsStatus st = ValueStatus(segments_[i], values[i]); Failed(st)) return st;
        bytes += segments_[i].variable ? kLengthPrefixBytes + static_cast<size_t>(values[i].length) : segments_[i].width;
    }
    key.resize(bytes);
    uint8_t* out = key.data();
    for (size_t i = 0; i < segments_.size(); ++i) {
        const Segment& s = segments_[i];
        const KeySegmentValue& v = values[i];
        if (s.variable) {
            StoreU16(out, static_cast<uint16_t>(v.length + kLengthBias));
            out += kLengthPrefixBytes;
            if (v.length > 0) std::memcpy(out, v.data, static_cast<size_t>(v.length));
            out += v.length;
        } else if (s.width > 0) {
            std::memcpy(out, v.data, s.width);
            out += s.width;
        }
    }
    return DmsStatus::Success;
}

int32_t IndexKeyFormat::CompareText(const uint8_t* a, uint32_t aBytes, const uint8_t* b, uint32_t bBytes,
                                    size_t segment) const {
    const Segment& s = segments_[segment];
    int32_t r = collator_->Compare(AlignedText(a, aBytes, alignedA_), aBytes / 2, AlignedText(b, bBytes, alignedB_),
                                   bBytes / 2, s.mode, s.flags);
    if (r != 0) return r < 0 ? -1 : 1;
    return Sign(int64_t{aBytes} - int64_t{bBytes});
}

template <typename SideA, typename SideB, typename TextOrder>
int32_t IndexKeyFormat::CompareSegments(SideA a, SideB b, TextOrder&& compareText) const {
    ++comparisons_;
    for (size_t k = 0; k < segments_.size(); ++k) {
        const Segment& s = segments_[k];
        int32_t r = 0;
        if (s.variable) {
            uint32_t la = 0, lb = 0;
            const uint8_t* va = a.Variable(k, la);
            const uint8_t* vb = b.Variable(k, lb);
            if (s.type == FieldUString) {
                r = s.collated ? compareText(k, va, la, vb, lb) : Sign(int64_t{la} - int64_t{lb});
            } else {
                uint32_t n = std::min(la, lb);
                uint32_t i = 0;
                while (i < n && va[i] == vb[i] && va[i] != 0) ++i;
                if (i < n && va[i] != vb[i]) {
                    r = va[i] < vb[i] ? -1 : 1;
                } else {
                    r = Sign(int64_t{la} - int64_t{lb});
                }
            }
        } else {
            const uint8_t* pa = a.Fixed(k, s.width);
            const uint8_t* pb = b.Fixed(k, s.width);
            switch (s.width) {
            case 4:
                r = Sign(static_cast<int32_t>(LoadU32(pa) - LoadU32(pb)));
                break;
            case 2: r = Sign(int32_t{LoadU16(pa)} - int32_t{LoadU16(pb)}); break;
            case 1: r = Sign(int32_t{*pa} - int32_t{*pb}); break;
            default: break;
            }
        }
        if (r != 0) return r;
    }
    return 0;
}

int32_t IndexKeyFormat::Compare(std::span<const uint8_t> a, std::span<const uint8_t> b) const {
    return CompareSegments(EncodedSide(a.data()), EncodedSide(b.data()),
                           [this](size_t k, const uint8_t* va, uint32_t la, const uint8_t* vb, uint32_t lb) {
                               return CompareText(va, la, vb, lb, k);
                           });
}

DmsStatus IndexKeyFormat::CompareValues(const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result) const {
    if ((a == nullptr || b == nullptr) && !segments_.empty()) return DmsStatus::InvalidParameter;
    for (size_t i = 0; i < segments_.size(); ++i) {
        if (const DmsStatus st = ValueStatus(segments_[i], a[i]); Failed(st)) return st;
        if (const DmsStatus st = ValueStatus(segments_[i], b[i]); Failed(st)) return st;
    }
    *result = CompareSegments(ValueSide(a), ValueSide(b),
                              [this](size_t k, const uint8_t* va, uint32_t la, const uint8_t* vb, uint32_t lb) {
                                  return CompareText(va, la, vb, lb, k);
                              });
    return DmsStatus::Success;
}

const IndexKeyFormat::PreparedKey& IndexKeyFormat::Prepare(std::span<const uint8_t> key) const {
    PreparedKey& out = prepared_;
    out.bytes_.assign(key.begin(), key.end());
    if (out.texts_.size() < segments_.size()) out.texts_.resize(segments_.size());
    const uint8_t* p = out.bytes_.data();
    for (size_t k = 0; k < segments_.size(); ++k) {
        const Segment& s = segments_[k];
        if (!s.variable) {
            p += s.width;
            continue;
        }
        uint32_t bytes = LoadU16(p) - kLengthBias;
        if (s.collated) {
            if (!out.texts_[k]) out.texts_[k] = NewPreparedText(*collator_);
            out.texts_[k]->Prepare(AlignedText(p + kLengthPrefixBytes, bytes, alignedB_), bytes / 2, s.mode, s.flags);
        }
        p += kLengthPrefixBytes + bytes;
    }
    out.prefix_ = PrefixOf(out.bytes_);
    return out;
}

KeyPrefix IndexKeyFormat::PrefixOf(std::span<const uint8_t> key) const {
    KeyPrefix prefix;
    if (!prefixed_) return prefix;
    const uint32_t bytes = LoadU16(key.data()) - kLengthBias;
    uint16_t primaries[KeyPrefix::kPrimaries] = {};
    bool ended = false;
    const size_t count = UcaCollator().LeadingPrimaries(
        AlignedText(key.data() + kLengthPrefixBytes, bytes, alignedA_), bytes / 2, primaries, &ended);
    for (uint32_t k = 0; k < 4; ++k) prefix.lead = prefix.lead << 16 | primaries[k];
    for (uint32_t k = 4; k < KeyPrefix::kPrimaries; ++k) prefix.rest = prefix.rest << 16 | primaries[k];
    prefix.rest = prefix.rest << 16 | (ended ? KeyPrefix::kPrimaries : static_cast<uint32_t>(count));
    return prefix;
}

int32_t IndexKeyFormat::Compare(std::span<const uint8_t> a, const PreparedKey& b) const {
    return CompareSegments(EncodedSide(a.data()), EncodedSide(b.bytes_.data()),
                           [&](size_t k, const uint8_t* va, uint32_t la, const uint8_t*, uint32_t lb) {
                               int32_t r = b.texts_[k]->Compare(AlignedText(va, la, alignedA_), la / 2);
                               if (r != 0) return r < 0 ? -1 : 1;
                               return Sign(int64_t{la} - int64_t{lb});
                           });
}

void IndexKeyFormat::Decode(std::span<const uint8_t> key, KeySegmentValue* out) const {
    if (out == nullptr) return;
    const uint8_t* p = key.data();
    for (size_t i = 0; i < segments_.size(); ++i) {
        const Segment& s = segments_[i];
        KeySegmentValue& v = out[i];
        if (s.variable) {
            uint32_t stored = LoadU16(p) - kLengthBias;
            if (v.data == nullptr) {
                v.length = static_cast<int32_t>(stored);  // nowhere to copy: report the size
            } else {
                uint32_t n = std::min<uint32_t>(stored, static_cast<uint32_t>(std::max(v.length, 0)));
                std::memcpy(v.data, p + kLengthPrefixBytes, n);
                v.length = static_cast<int32_t>(n);
            }
            p += kLengthPrefixBytes + stored;
        } else {
            if (v.data != nullptr && s.width > 0) std::memcpy(v.data, p, s.width);
            v.length = static_cast<int32_t>(s.width);
            p += s.width;
        }
    }
}
