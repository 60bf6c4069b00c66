// CCursor: positioning, key handling and record loading over one engine
// cursor; see cursor.h.
#include "dictionary/cursor.h"

#include <algorithm>
#include <cstring>

#include "common/collation/collator.h"
#include "dictionary/dictionary.h"
#include "dictionary/word_list.h"

namespace {

int32_t OrdinalOf(const EntryPosition& position) {
    return position.ordinal == kUnknownOrdinal ? -1 : static_cast<int32_t>(position.ordinal);
}

}  // namespace

CCursor::CCursor(RDFDictionary* owner, uint32_t index) : dictionary(owner), indexId(index) {
    std::memset(keyArea, 0, sizeof keyArea);
    std::memset(fieldArea, 0, sizeof fieldArea);
    ClearKeys();
    ResetFieldBuffers();
    if (dictionary == nullptr) {
        status = DmsStatus::WrongHandle;
        return;
    }
    status = Engine().OpenCursor(dictionary->fileId, &handle);
    if (Failed(status)) {
        handle = 0;
        return;
    }
    if (indexId == kCursorWithoutIndex) {
        ordinal = -1;
        return;
    }
    status = SelectIndex();
    if (Failed(status)) return;
    ResetFieldBuffers();
    DmsStatus last = Engine().Last(handle, fields, &position);
    if (!Failed(last)) count = OrdinalOf(position) + 1;
    ResetFieldBuffers();
    DmsStatus first = Engine().First(handle, fields, &position);
    dictionary->NoteReadRefusal(last);
    dictionary->NoteReadRefusal(first);
    if (!Failed(first) && !Failed(last)) {
        state = 0;
        ordinal = 0;
    } else {
        state = kCursorNoPosition;
        ordinal = OrdinalOf(position);
    }
    status = first;
}

CCursor::~CCursor() {
    if (handle != 0) Engine().CloseCursor(handle);
}

CDMS& CCursor::Engine() const { return dictionary->Engine(); }

DmsStatus CCursor::SelectIndex() {
    if (handle == 0) return DmsStatus::WrongHandle;
    return Engine().SelectIndex(handle, static_cast<int32_t>(indexId));
}

DmsStatus CCursor::Positioned(DmsStatus result, uint32_t failureBits) {
    status = result;
    ordinal = OrdinalOf(position);
    if (Failed(result)) state |= failureBits;
    dictionary->NoteReadRefusal(result);
    return result;
}

bool CCursor::BeginMove(uint32_t failureBits) {
    ResetFieldBuffers();
    state &= ~kCursorNoPosition;
    if (handle != 0) return true;
    state |= failureBits;
    status = DmsStatus::WrongHandle;
    return false;
}

DmsStatus CCursor::SeekGreaterOrEqual() {
    if (!BeginMove(kCursorAtEnd)) return status;
    return Positioned(Engine().SeekGreaterOrEqual(handle, key, fields, &position), kCursorAtEnd);
}

DmsStatus CCursor::SeekGreater() {
    if (!BeginMove(kCursorAtEnd)) return status;
    return Positioned(Engine().SeekGreater(handle, key, fields, &position), kCursorAtEnd);
}

DmsStatus CCursor::SeekLessOrEqual() {
    if (!BeginMove(kCursorAtBegin)) return status;
    return Positioned(Engine().SeekLessOrEqual(handle, key, fields, &position), kCursorAtBegin);
}

DmsStatus CCursor::MoveFirst() {
    if (!BeginMove(kCursorNoPosition)) return status;
    return Positioned(Engine().First(handle, fields, &position), kCursorNoPosition);
}

DmsStatus CCursor::MoveLast() {
    if (!BeginMove(kCursorNoPosition)) return status;
    return Positioned(Engine().Last(handle, fields, &position), kCursorNoPosition);
}

DmsStatus CCursor::Next() {
    if (!BeginMove(kCursorAtEnd)) return status;
    return Positioned(Engine().Next(handle, fields, &position), kCursorAtEnd);
}

DmsStatus CCursor::Prev() {
    if (!BeginMove(kCursorAtBegin)) return status;
    return Positioned(Engine().Prev(handle, fields, &position), kCursorAtBegin);
}

DmsStatus CCursor::MoveToOrdinal(int32_t target) {
    uint32_t bits = target < 1 ? kCursorNoPosition : kCursorAtEnd;
    if (!BeginMove(bits)) return status;
    if (target < 0) {
        state |= bits;
        ordinal = -1;
        return status = DmsStatus::RecordNotFound;
    }
    return Positioned(Engine().MoveToOrdinal(handle, static_cast<uint32_t>(target), fields, &position), bits);
}

void CCursor::ClearKeys() {
    std::memset(keyArea, 0, sizeof keyArea);
    for (int i = 0; i < kSegments; ++i) key[i] = {keyArea[i], 0};
}

void CCursor::ResetFieldBuffers() {
    for (int i = 0; i < kSegments; ++i) fields[i] = {fieldArea[i], kFieldUnwritten};
}

void CCursor::SetKeyText(int segment, std::u16string_view text) {
    size_t units = std::min<size_t>(text.size(), kMaxKeyUnits);
    std::memcpy(keyArea[segment], text.data(), units * sizeof(char16_t));
    key[segment] = {keyArea[segment], static_cast<int32_t>(units * sizeof(char16_t))};
}

void CCursor::KeyFromFields(const CCursor& other) {
    for (int i = 0; i < kSegments; ++i) {
        int32_t length = other.FieldWritten(i) ? std::clamp(other.fields[i].length, 0, kSegmentBytes) : 0;
        std::memcpy(keyArea[i], other.fieldArea[i], kSegmentBytes);
        key[i] = {keyArea[i], length};
    }
}

void CCursor::KeyFromKey(const CCursor& other) {
    std::memcpy(keyArea, other.keyArea, sizeof keyArea);
    for (int i = 0; i < kSegments; ++i) key[i] = {keyArea[i], other.key[i].length};
}

std::u16string_view CCursor::FieldText(int segment) const {
    if (!FieldWritten(segment)) return {};
    int32_t bytes = std::clamp(fields[segment].length, 0, kSegmentBytes);
    return {reinterpret_cast<const char16_t*>(fieldArea[segment]), static_cast<size_t>(bytes) / 2};
}

CursorEntryCopy CCursor::CopyEntry() const {
    CursorEntryCopy copy;
    copy.ref = position.ref;
    copy.fieldsWritten = FieldWritten(0) && FieldWritten(1);
    copy.first = FieldText(0);
    copy.second = FieldText(1);
    return copy;
}

int32_t CCursor::SeekByText(std::u16string_view text, std::u16string_view second) {
    if (text.empty() && second.empty()) return 0;
    ClearKeys();
    SetKeyText(0, text);
    SetKeyText(1, second);
    ResetFieldBuffers();
    if (handle == 0) return 0;
    status = Engine().Seek(handle, key, fields, &position);
    ordinal = OrdinalOf(position);
    return Failed(status) ? 0 : 1;
}

bool CCursor::FirstFieldIsKey(ICollator& collator) const {
    if (status != DmsStatus::Success) return false;
    const std::u16string_view found = FieldText(0);
    return collator.Compare(found.data(), static_cast<uint32_t>(found.size()),
                            reinterpret_cast<const char16_t*>(keyArea[0]), static_cast<uint32_t>(key[0].length) / 2,
                            0, 0) == 0;
}

bool CCursor::HoldsKey(std::u16string_view text) {
    ICollator* collator = count > 0 ? dictionary->Collator() : nullptr;
    if (collator == nullptr) return false;
    ClearKeys();
    SetKeyText(0, text);
    SeekGreaterOrEqual();
    return FirstFieldIsKey(*collator);
}

int32_t CCursor::SeekPrefix(std::u16string_view text, WordList& list) {
    if (count == 0) return 0;
    ICollator* collator = dictionary->Collator();
    if (collator == nullptr) return 0;
    ClearKeys();
    SetKeyText(0, text);
    const int32_t wantedLength = key[0].length / 2;
    SeekGreaterOrEqual();
    int32_t added = 0;
    while (added < kMaxPrefixEntries && FirstFieldIsKey(*collator)) {
        WordListEntry* entry = list.AddCursorEntry(*this);
        if (entry == nullptr) break;
        entry->matchStart = 0;
        entry->matchLength = wantedLength;
        ++added;
        Next();
    }
    return added;
}

// The engine drops a cursor's place in its index after any call that does
// not answer 0, a freed or refused record read included: stand on the same
// entry again so that the next step goes on from it (a damaged article is
// no damaged index: the entries after it are still there to be listed).
void CCursor::KeepPositionAfterFailedRead() {
    if (indexId == kCursorWithoutIndex || !OnEntry() || ordinal < 0) return;
    EntryPosition kept = position;
    ResetFieldBuffers();
    Engine().MoveToOrdinal(handle, static_cast<uint32_t>(ordinal), fields, &position);
    position = kept;
}

int32_t CCursor::LoadArticle() {
    uint32_t recordPosition = position.ref.first;
    if (recordPosition == 0 || handle == 0) return 0;
    CDictionary& owner = *dictionary;
    if (owner.parsedPosition == recordPosition) return 1;
    owner.parsedPosition = 0;
    owner.deletedRecord = 0;
    owner.SetRecordSize(0);
    uint32_t length = 0;
    DmsStatus read = Engine().ReadData(handle, recordPosition, nullptr, &length);
    bool deleted = read == DmsStatus::Deleted;
    if (!deleted) owner.NoteReadRefusal(read);
    if ((Failed(read) && !deleted) || length == 0) {
        if (Failed(read)) KeepPositionAfterFailedRead();
        return 0;
    }
    uint8_t* buffer = owner.ReserveRecordBuffer(length);
    if (buffer == nullptr) return 0;
    uint32_t delivered = length;
    read = Engine().ReadData(handle, recordPosition, buffer, &delivered);
    deleted = deleted || read == DmsStatus::Deleted;
    if (read != DmsStatus::Deleted) owner.NoteReadRefusal(read);
    if (Failed(read) || deleted) KeepPositionAfterFailedRead();
    if ((Failed(read) && read != DmsStatus::Deleted) || delivered == 0) return 0;
    owner.SetRecordSize(delivered);
    owner.deletedRecord = deleted ? 1 : 0;
    if (owner.ParseRecord(owner.RecordData(), delivered) == 0) return 0;
    owner.parsedPosition = recordPosition;
    return 1;
}
