// CCursor: a position in one index of one dictionary. It wraps one engine
// cursor handle and keeps beside it the key to seek with, the key values of
// the current entry, the current EntryPosition and a state word saying
// whether it stands before the first or after the last entry. Word lists
// merge many of them; the article view reads the current record through one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "storage/dms.h"
#include "storage/index_values.h"

class ICollator;
class RDFDictionary;
class WordList;

// State bits; both together mean "no position".
inline constexpr uint32_t kCursorAtEnd = 0x04000000;
inline constexpr uint32_t kCursorAtBegin = 0x08000000;
inline constexpr uint32_t kCursorNoPosition = kCursorAtEnd | kCursorAtBegin;
// The index id of a cursor that only reads records (a stored list's holder of a dictionary).
inline constexpr uint32_t kCursorWithoutIndex = 0xFFFFFFFF;

// The entry a cursor stood on, copied: its record reference and its first
// two key fields (FieldText), and whether the engine wrote both. A list takes
// it as it takes the cursor (WordList::AddEntry), so a walk over an index can
// be read again without the engine.
struct CursorEntryCopy {
    RecordRef ref;
    bool fieldsWritten = false;
    std::u16string first, second;
};

class CCursor {
public:
    static constexpr int kSegments = 5;
    static constexpr int32_t kSegmentBytes = 256;
    static constexpr int32_t kMaxKeyUnits = 127;     // text put into a key segment
    static constexpr int32_t kMaxPrefixEntries = 1000;

    // Opens an engine cursor on the dictionary's open file, selects the
    // index, counts its entries and goes to the first. `status` tells
    // whether the index could be selected.
    CCursor(RDFDictionary* dictionary, uint32_t indexId);
    virtual ~CCursor();
    CCursor(const CCursor&) = delete;
    CCursor& operator=(const CCursor&) = delete;

    // Positioning: each clears the state, calls the engine, keeps the status
    // and the ordinal, and sets the state bits of a failure.
    DmsStatus SeekGreaterOrEqual();
    DmsStatus SeekGreater();
    DmsStatus SeekLessOrEqual();
    DmsStatus MoveFirst();
    DmsStatus MoveLast();
    DmsStatus Next();
    DmsStatus Prev();
    DmsStatus MoveToOrdinal(int32_t ordinal);
    // Selects the index again (a word list's own set-up); the engine status.
    DmsStatus SelectIndex();

    // Seeks an entry equal to (text, second); 1 when found, else 0 (also
    // when both are empty). Each text is cut at kMaxKeyUnits.
    int32_t SeekByText(std::u16string_view text, std::u16string_view second);
    // Walks from the first key not below `key` while the collator calls the
    // entry's first field equal to it, adding each record to `list` as a
    // stored entry (at most kMaxPrefixEntries). The number added.
    int32_t SeekPrefix(std::u16string_view key, WordList& list);
    // Whether an entry's first field is, by the collator, `key` (cut at
    // kMaxKeyUnits); the cursor stands on the first key not below it.
    bool HoldsKey(std::u16string_view key);

    void ClearKeys();
    void ResetFieldBuffers();
    // Puts `text` (cut at kMaxKeyUnits) into key segment `segment`.
    void SetKeyText(int segment, std::u16string_view text);
    // The key becomes the other cursor's current field values.
    void KeyFromFields(const CCursor& other);
    // The key becomes the other cursor's key.
    void KeyFromKey(const CCursor& other);

    // Field `segment` of the current entry was written by the last engine call.
    bool FieldWritten(int segment) const { return fields[segment].length != kFieldUnwritten; }
    // A written text field, empty otherwise.
    std::u16string_view FieldText(int segment) const;
    // The current entry, copied.
    CursorEntryCopy CopyEntry() const;

    // Reads the current record into the dictionary's record buffer and
    // parses it; 1 on success. The record already loaded is not read again;
    // a record the engine reports as freed (44) is loaded with the
    // dictionary's deleted-record flag set. 0 when nothing was read or the
    // record could not be parsed.
    int32_t LoadArticle();

    // The record id of the current entry (first word of its record reference).
    uint32_t RecordId() const { return position.ref.first; }
    bool HasEntries() const { return count > 0; }
    bool AtBegin() const { return (state & kCursorAtBegin) != 0; }
    bool AtEnd() const { return (state & kCursorAtEnd) != 0; }
    bool WithoutPosition() const { return (state & kCursorNoPosition) == kCursorNoPosition; }
    bool OnEntry() const { return (state & kCursorNoPosition) == 0; }
    CDMS& Engine() const;

    uint32_t handle = 0;               // engine cursor handle, 0 when none
    RDFDictionary* dictionary;         // not owned
    uint32_t indexId;
    int32_t count = 0;                 // entries of the index when counted; 0 when empty
    uint32_t state = kCursorNoPosition;
    int32_t ordinal = 0;               // of the current entry; -1 none
    KeySegmentValue key[kSegments];    // each points into keyArea; length 0 = not given
    uint8_t keyArea[kSegments][kSegmentBytes];
    // The current entry's key values. Each buffer has two bytes beyond the
    // largest key segment, so a length of kFieldUnwritten after a call means
    // "not written" without ever being a real length.
    KeySegmentValue fields[kSegments];
    uint8_t fieldArea[kSegments][kSegmentBytes + 2];
    EntryPosition position;            // record reference and ordinal of the last call
    DmsStatus status = DmsStatus::Success;
    int32_t upperBound = -1;           // ordinals used by a merged list's re-seek
    int32_t lowerBound = -1;

    static constexpr int32_t kFieldUnwritten = kSegmentBytes + 1;

private:
    // The common head and tail of every positioning call.
    bool BeginMove(uint32_t failureBits);
    void KeepPositionAfterFailedRead();
    DmsStatus Positioned(DmsStatus result, uint32_t failureBits);
    // The last call stood on an entry whose first field the collator calls
    // equal to key segment 0.
    bool FirstFieldIsKey(ICollator& collator) const;
};
