// Property records of index 1: writing, removing and reading the header texts
// and raw data of a dictionary file, and the program's version text.
#include "dictionary/dictionary_properties.h"

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "dictionary/dictionary_schema.h"
#include "storage/byte_order.h"
#include "storage/dms.h"

namespace {

DmsStatus SelectPropertyIndex(CDMS& engine, uint32_t cursor) {
    DmsStatus st = engine.SelectRecordType(cursor, kPropertyRecordType);
    if (Failed(st)) return st;
    return engine.SelectIndex(cursor, kIndexProperties);
}

// Stores `bytes` as a block and enters it in index 1 under `id`.
DmsStatus PutBlock(CDMS& engine, uint32_t cursor, int32_t id, const uint8_t* bytes, uint32_t size) {
    DmsStatus st = SelectPropertyIndex(engine, cursor);
    if (Failed(st)) return st;
    uint32_t position = 0;
    st = engine.WriteData(cursor, bytes, size, &position);
    if (Failed(st)) return st;
    uint16_t key = static_cast<uint16_t>(id);
    KeySegmentValue segment{&key, sizeof key};
    return engine.InsertKey(cursor, &segment, RecordRef{position, 0});
}

// Finds the entry of `id` in index 1 and the size of its block.
DmsStatus FindBlock(CDMS& engine, uint32_t cursor, int32_t id, uint32_t* position, uint32_t* size) {
    DmsStatus st = engine.SelectIndex(cursor, kIndexProperties);
    if (Failed(st)) return st;
    uint16_t key = static_cast<uint16_t>(id);
    KeySegmentValue segment{&key, sizeof key};
    EntryPosition found;
    st = engine.Seek(cursor, &segment, nullptr, &found);
    if (Failed(st)) return st;
    *position = found.ref.first;
    *size = 0;
    return engine.ReadData(cursor, *position, nullptr, size);
}

}  // namespace

DmsStatus PutDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id, std::optional<std::u16string_view> text) {
    if (!text) return DmsStatus::Success;
    if (text->size() > (UINT32_MAX - kPropertyHeaderBytes) / 2) return DmsStatus::InvalidParameter;
    const uint32_t size = kPropertyHeaderBytes + static_cast<uint32_t>(text->size()) * 2;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size]);
    if (!block) return DmsStatus::NotEnoughMemory;
    storage::StoreU32(block.get(), static_cast<uint32_t>(id));
    storage::StoreU32(block.get() + 4, 0);
    storage::StoreU16(block.get() + 8, 0);
    for (size_t i = 0; i < text->size(); ++i) storage::StoreU16(block.get() + kPropertyHeaderBytes + 2 * i, (*text)[i]);
    return PutBlock(engine, cursor, id, block.get(), size);
}

DmsStatus PutDictionaryPropertyData(CDMS& engine, uint32_t cursor, int32_t id, const void* bytes, uint32_t size) {
    if (bytes == nullptr) return DmsStatus::Success;
    return PutBlock(engine, cursor, id, static_cast<const uint8_t*>(bytes), size);
}

DmsStatus DeleteDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id) {
    DmsStatus st = SelectPropertyIndex(engine, cursor);
    if (Failed(st)) return st;
    uint16_t key = static_cast<uint16_t>(id);
    KeySegmentValue segment{&key, sizeof key};
    EntryPosition found;
    st = engine.Seek(cursor, &segment, nullptr, &found);
    if (st == DmsStatus::RecordNotFound || st == DmsStatus::EndOfFile) return DmsStatus::Success;
    if (Failed(st)) return st;
    st = engine.DeleteCurrent(cursor);
    if (Failed(st)) return st;
    return engine.FreeData(cursor, found.ref.first);
}

DmsStatus GetDictionaryProperty(CDMS& engine, uint32_t cursor, int32_t id, std::optional<std::u16string>& text) {
    uint32_t position = 0;
    uint32_t size = 0;
    DmsStatus st = FindBlock(engine, cursor, id, &position, &size);
    if (Failed(st)) return st;
    if (size < kPropertyHeaderBytes) return DmsStatus::InvalidParameter;
    std::unique_ptr<uint8_t[]> block(new (std::nothrow) uint8_t[size]);
    if (!block) return DmsStatus::NotEnoughMemory;
    uint32_t read = size;
    st = engine.ReadData(cursor, position, block.get(), &read);
    if (Failed(st)) return st;
    if (read != size) return DmsStatus::InvalidParameter;
    const uint32_t units = (size - kPropertyHeaderBytes) / 2;
    std::u16string result(units, u'\0');
    for (uint32_t i = 0; i < units; ++i) result[i] = storage::LoadU16(block.get() + kPropertyHeaderBytes + 2 * i);
    text = std::move(result);
    return DmsStatus::Success;
}

DmsStatus GetDictionaryPropertyData(CDMS& engine, uint32_t cursor, int32_t id, void* buffer, uint32_t* size) {
    if (size == nullptr) return DmsStatus::InvalidParameter;
    uint32_t position = 0;
    uint32_t needed = 0;
    DmsStatus st = FindBlock(engine, cursor, id, &position, &needed);
    if (Failed(st)) return st;
    if (buffer == nullptr) {
        *size = needed;
        return DmsStatus::Success;
    }
    if (needed > *size) {
        *size = needed;
        return DmsStatus::InvalidParameter;
    }
    uint32_t read = needed;
    st = engine.ReadData(cursor, position, buffer, &read);
    if (Failed(st)) return st;
    *size = read;
    return DmsStatus::Success;
}

int32_t FormatVersionString(std::u16string& out, int32_t build, bool importMarker, bool personalMarker) {
    out = u"11.11.0.";
    const std::string number = std::to_string(build);
    out.append(number.begin(), number.end());
    if (importMarker || personalMarker) out += u' ';
    if (importMarker) out += u" I";
    if (personalMarker) out += u" P";
    return 1;
}
