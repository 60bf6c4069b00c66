// A stored book: a book dictionary of the shelf read through index 3, whose
// entries chain a book's records (own id, previous id, next id) and whose
// entries with a key of at most 1000 name each book's first record. The
// type byte and value of a record travel in its entry's reference. Every
// walk ends at an id seen before or after as many steps as the index has
// entries, so a damaged or crafted chain can never hang the reader.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "book/book_source.h"
#include "storage/dms_status.h"

class CCursor;
class RDFDictionary;

// One book of a book dictionary: its first record's id and title.
struct StoredBookEntry {
    uint32_t firstRecord = 0;
    std::u16string title;
};

class StoredBook : public BookSource {
public:
    static constexpr int32_t kMaxTextUnits = 4000;
    static constexpr int32_t kMaxTitleUnits = 255;
    static constexpr int32_t kMaxBooks = 1000;

    // A cursor on index 3 of an open book dictionary.
    explicit StoredBook(RDFDictionary& dictionary);
    ~StoredBook() override;
    bool Ok() const;
    RDFDictionary& Dictionary() const { return dictionary_; }

    // The first record of the book that holds record `id` (walking the
    // previous ids back); 0 when `id` is not a record of index 3.
    uint32_t FindStartRecord(uint32_t id);
    // Chooses the book whose first record is `startRecord` (its header).
    void SetStartRecord(uint32_t startRecord);
    uint32_t StartRecord() const { return start_; }
    // The books of the dictionary with titles in language `language`.
    std::vector<StoredBookEntry> Books(int32_t language);

    std::vector<BookLanguage> Languages() override;
    int32_t ColumnCount() override;
    int32_t ColumnLanguage(int32_t column) override { return column < static_cast<int32_t>(languages_.size()) ? column : -1; }
    void ReadPhrases(std::vector<uint32_t>& recordIds, std::vector<uint32_t>& typeValues) override;
    EntryText Text(int32_t entry, uint32_t recordId, int32_t language) override;
    bool ShowsAllLines() const override { return false; }

    // The first damage a walk or a read met, for the user; empty when none.
    // A record of index 3 the engine refused, a next record missing from
    // the index, a chain that loops, or a phrase whose record cannot be read:
    // the walk stops there or the phrase shows blank, and the reader and
    // bookcli say that the book is damaged instead of showing less silently.
    const std::u16string& Damage() const { return damage_; }

private:
    struct Entry {
        uint32_t id = 0, previous = 0, next = 0;
        uint32_t typeValue = 0;
        bool isHeader = false;
    };
    // The entry of record `id`; false when there is none (status_ tells
    // whether the engine refused or found nothing).
    bool Seek(uint32_t id, Entry& entry);
    // The next entry when it is record `id`'s, else a seek.
    bool Step(uint32_t id, Entry& entry);
    // One engine move into three 4-byte fields; false unless it lands on `id`.
    template <typename Move>
    bool Read(uint32_t id, Entry& entry, Move move);
    // The text of element language + 1 of record `id`, at most `limit` units.
    // A record that cannot be read is damage of phrase `entry` (-1: a title).
    EntryText RecordText(uint32_t id, int32_t language, int32_t limit, int32_t entry);
    // Keeps the first damage: `what` and, for a refused read, the engine's text.
    void NoteDamage(std::u16string what, DmsStatus status);
    // Element texts of the record, one per line (a header record's lines).
    std::vector<std::u16string> RecordLines(uint32_t id);

    RDFDictionary& dictionary_;
    std::unique_ptr<CCursor> cursor_;
    bool ok_ = false;  // the cursor is on index 3 (a failed seek later says nothing of it)
    uint32_t start_ = 0;
    std::vector<BookLanguage> languages_;
    DmsStatus status_ = DmsStatus::Success;  // of the last engine move of a walk
    std::u16string damage_;
};
