#include "book/stored_book.h"

#include <cstring>
#include <unordered_set>

#include "article/element_text.h"
#include "book/book_texts.h"
#include "article/formatted_text.h"
#include "dictionary/cursor.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "import/article_record.h"

namespace {

uint32_t FieldValue(const CCursor& cursor, int segment) {
    if (!cursor.FieldWritten(segment) || cursor.fields[segment].length < 4) return 0;
    uint32_t value = 0;
    std::memcpy(&value, cursor.fields[segment].data, 4);
    return value;
}

std::u16string Decimal(size_t value) {
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

uint32_t TypeValueOf(RecordRef ref) {
    const auto type = static_cast<int8_t>(KeyReferenceFlag(ref));
    return static_cast<uint32_t>(static_cast<uint8_t>(type)) | uint32_t{KeyReferenceVariant(ref)} << 16;
}

}  // namespace

StoredBook::StoredBook(RDFDictionary& dictionary)
    : dictionary_(dictionary), cursor_(std::make_unique<CCursor>(&dictionary, kIndexBookRecords)) {
    ok_ = cursor_->handle != 0 && !Failed(cursor_->status);
}

StoredBook::~StoredBook() = default;

bool StoredBook::Ok() const { return ok_; }

// The walks read index 3 through the engine with three 4-byte fields, not
// the cursor's five text buffers: a long book takes hundreds of thousands
// of steps.
bool StoredBook::Seek(uint32_t id, Entry& entry) {
    if (!Ok() || id == 0) return false;
    uint32_t key[3] = {id, 0, 0};
    KeySegmentValue keys[3] = {{&key[0], 4}, {&key[1], 0}, {&key[2], 0}};
    return Read(id, entry, [&](KeySegmentValue* out, EntryPosition* at) {
        return cursor_->Engine().SeekGreaterOrEqual(cursor_->handle, keys, out, at);
    });
}

bool StoredBook::Step(uint32_t id, Entry& entry) {
    // The compiler writes a book's records in order, so the next record's
    // entry is most often the index's next one: a step instead of a seek.
    if (Read(id, entry, [&](KeySegmentValue* out, EntryPosition* at) {
            return cursor_->Engine().Next(cursor_->handle, out, at);
        }))
        return true;
    return Seek(id, entry);
}

template <typename Move>
bool StoredBook::Read(uint32_t id, Entry& entry, Move move) {
    uint32_t values[3] = {};
    KeySegmentValue out[3] = {{&values[0], 4}, {&values[1], 4}, {&values[2], 4}};
    EntryPosition at;
    status_ = move(out, &at);
    if (status_ != DmsStatus::Success || values[0] != id) return false;
    entry.id = id;
    entry.previous = values[1];
    entry.next = values[2];
    entry.typeValue = TypeValueOf(at.ref);
    return true;
}

uint32_t StoredBook::FindStartRecord(uint32_t id) {
    uint32_t found = 0;
    std::unordered_set<uint32_t> seen;
    const size_t limit = cursor_ ? static_cast<size_t>(cursor_->count) + 1 : 0;
    Entry entry;
    while (id != 0 && seen.size() <= limit && seen.insert(id).second && Seek(id, entry)) {
        found = id;
        id = entry.previous;
    }
    if (IsReadRefusal(status_)) NoteDamage(u"The book's records cannot be read", status_);
    return found;
}

void StoredBook::SetStartRecord(uint32_t startRecord) {
    start_ = startRecord;
    std::vector<std::u16string> lines;
    if (start_ != 0) lines = RecordLines(start_);
    languages_ = ParseLanguageHeader(lines);
}

std::vector<BookLanguage> StoredBook::Languages() { return languages_; }

int32_t StoredBook::ColumnCount() {
    return languages_.empty() ? 1 : static_cast<int32_t>(languages_.size());
}

void StoredBook::ReadPhrases(std::vector<uint32_t>& recordIds, std::vector<uint32_t>& typeValues) {
    // A chain of rising ids cannot close on itself; once an id does not
    // rise, every id is remembered and one seen twice ends the walk.
    std::unordered_set<uint32_t> seen;
    bool rising = true;
    const size_t limit = cursor_ ? static_cast<size_t>(cursor_->count) + 1 : 0;
    size_t steps = 0;
    Entry entry;
    uint32_t previous = 0;
    // Where the walk stops before a next id of 0, the book is damaged.
    auto after = [&] { return u" " + InterfaceText(u"after phrase %s", Decimal(recordIds.size())); };
    for (uint32_t id = start_; id != 0; previous = id, id = entry.next) {
        if (++steps > limit) {
            NoteDamage(InterfaceText(u"The book's chain of records is longer than its index") + after(), DmsStatus::Success);
            break;
        }
        if (rising && id <= previous) {
            rising = false;
            for (uint32_t known : recordIds) seen.insert(known);
            seen.insert(start_);
        }
        if (!rising && !seen.insert(id).second) {
            NoteDamage(InterfaceText(u"The book's chain of records loops back") + after(), DmsStatus::Success);
            break;
        }
        if (!(id == start_ ? Seek(id, entry) : Step(id, entry))) {
            if (id != start_ || IsReadRefusal(status_))
                NoteDamage(IsReadRefusal(status_) ? InterfaceText(u"The book's records cannot be read") + after()
                                                  : InterfaceText(u"The book's next record is missing") + after(),
                           status_);
            break;
        }
        if ((entry.typeValue & 0xFF) == kPhraseLanguage) continue;
        if (recordIds.size() == recordIds.capacity()) {
            recordIds.reserve(recordIds.size() + kPhraseGrowth);
            typeValues.reserve(typeValues.size() + kPhraseGrowth);
        }
        recordIds.push_back(id);
        typeValues.push_back(entry.typeValue);
    }
}

void StoredBook::NoteDamage(std::u16string what, DmsStatus status) {
    if (!damage_.empty()) return;
    damage_ = std::move(what);
    if (IsReadRefusal(status)) {
        char16_t reason[256];
        DmsErrorText(StatusCode(status), 0, reason, 256);
        damage_.append(u" (").append(reason).append(u")");
    }
    damage_ += u'.';
}

std::vector<std::u16string> StoredBook::RecordLines(uint32_t id) {
    std::vector<std::u16string> lines;
    if (!Ok()) return lines;
    cursor_->position.ref = {id, 0};
    if (cursor_->LoadArticle() == 0) {
        NoteDamage(InterfaceText(u"The book's language header cannot be read"), dictionary_.ReadRefusal());
        return lines;
    }
    const DictionaryElement* elements = dictionary_.Elements();
    const int32_t count = dictionary_.ElementCount();
    for (int32_t i = 1; i < count && elements[i].kind != 2; ++i) {
        char16_t buffer[kMaxTitleUnits + 1];
        const int32_t n = GetElementTextTrimmed(dictionary_, static_cast<uint32_t>(i), buffer);
        lines.emplace_back(buffer, static_cast<size_t>(n));
    }
    return lines;
}

EntryText StoredBook::RecordText(uint32_t id, int32_t language, int32_t limit, int32_t entry) {
    EntryText result;
    if (!Ok() || language < 0) return result;
    cursor_->position.ref = {id, 0};
    if (cursor_->LoadArticle() == 0) {
        const std::u16string what = entry < 0 ? InterfaceText(u"A book's title cannot be read")
                                              : InterfaceText(u"Phrase %s cannot be read", Decimal(entry + 1));
        NoteDamage(what, dictionary_.ReadRefusal());
        return result;
    }
    const DictionaryElement* elements = dictionary_.Elements();
    const int32_t count = dictionary_.ElementCount();
    if (count < 2) return result;
    int32_t element = 1;
    while (element < language + 1 && element + 1 < count && elements[element + 1].kind != 2) ++element;
    StyledText buffer(limit + 1);
    if (!buffer.Allocated()) return result;
    StyledWriter out = buffer.Writer();
    FormatNumberedField(dictionary_, static_cast<uint32_t>(element), out);
    out.Terminate();
    buffer.Finish(out);
    result.text = std::u16string(buffer.Text());
    result.attributes.assign(buffer.Attributes().begin(), buffer.Attributes().end());
    return result;
}

EntryText StoredBook::Text(int32_t entry, uint32_t recordId, int32_t language) {
    return RecordText(recordId, language, kMaxTextUnits, entry);
}

std::vector<StoredBookEntry> StoredBook::Books(int32_t language) {
    std::vector<StoredBookEntry> books;
    if (!Ok()) return books;
    std::vector<uint32_t> firsts;
    cursor_->ClearKeys();
    cursor_->ResetFieldBuffers();
    DmsStatus s = cursor_->MoveFirst();
    for (; s == DmsStatus::Success && firsts.size() < kMaxBooks; s = cursor_->Next()) {
        if (FieldValue(*cursor_, 0) > static_cast<uint32_t>(kLastBookHeaderKey)) break;
        firsts.push_back(cursor_->position.ref.first);
        cursor_->ResetFieldBuffers();
    }
    if (IsReadRefusal(s)) NoteDamage(InterfaceText(u"The list of books cannot be read"), s);
    for (uint32_t first : firsts) {
        Entry entry;
        if (!Seek(first, entry)) continue;
        uint32_t titleRecord = first;
        if ((entry.typeValue & 0xFF) == kPhraseLanguage) {
            Entry next;
            if (entry.next == 0 || !Seek(entry.next, next) || (next.typeValue & 0xFF) == kPhraseLanguage) continue;
            titleRecord = entry.next;
        }
        StoredBookEntry book;
        book.firstRecord = first;
        book.title = RecordText(titleRecord, language, kMaxTitleUnits, -1).text;
        books.push_back(std::move(book));
    }
    return books;
}
