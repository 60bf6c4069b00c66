// The before-image journal: writing it, checking and decoding it (the current
// format and the raw page images of older writers), and replaying it into the
// database. The format table is at the top of journal.h.
#include "storage/journal.h"

#include "common/base/crc32.h"
#include "storage/byte_order.h"
#include "storage/page_frame.h"

#include <algorithm>
#include <cstring>

using storage::LoadU16;
using storage::LoadU32;
using storage::StoreU16;
using storage::StoreU32;

namespace {

constexpr uint8_t kMagic[8] = {'D', 'M', 'S', 0, 'J', 'R', 'N', 'L'};
// Journal header and record fields (tabled in journal.h).
constexpr uint32_t kVersionField = 8;
constexpr uint32_t kPageSizeField = 12;
constexpr uint32_t kGenerationField = 16;
constexpr uint32_t kIdentityField = 24;
constexpr uint32_t kHeaderTieField = 28;
constexpr uint32_t kOldLengthField = 32;
constexpr uint32_t kBodyBytesField = 40;
constexpr uint32_t kRecordCountField = 48;
constexpr uint32_t kCrcOffset = 52;
constexpr uint32_t kRecordPosition = 0;
constexpr uint32_t kRecordLength = 8;
constexpr uint32_t kRecordCrc = 12;

uint64_t LoadU64(const uint8_t* p) { return uint64_t{LoadU32(p)} | (uint64_t{LoadU32(p + 4)} << 32); }

void StoreU64(uint8_t* p, uint64_t v) {
    StoreU32(p, static_cast<uint32_t>(v));
    StoreU32(p + 4, static_cast<uint32_t>(v >> 32));
}

// The running CRC over the header's first 52 bytes and the records.
class Checksum {
public:
    Checksum() { table_.Init(); }
    void Add(std::span<const uint8_t> bytes) { crc_ = table_.Update(crc_, bytes); }
    uint32_t Value() const { return ~crc_; }
    uint32_t Of(std::span<const uint8_t> bytes) const { return table_.Compute(bytes); }

private:
    CCrc32Dynamic table_;
    uint32_t crc_ = 0xFFFFFFFF;
};

bool HasPat(std::span<const uint8_t> header) {
    uint32_t first = LoadU32(header.data() + header::kFirstPatPosition);
    return first != 0 && first != 0xFFFFFFFF;
}

bool KeyOrDataSignature(uint16_t signature) {
    if (signature == kDataSignature) return true;
    return KeyPageHeight(signature) >= 0;
}

// Raw page images, the header's last: the rule of older writers. Replayed
// only where a page number alone says where an image goes.
DmsStatus ParseRawImages(std::span<const uint8_t> bytes, const JournaledDatabase& database, JournalContent& content) {
    const uint32_t pageSize = database.pageSize;
    if (!database.mayApplyUnchecked || bytes.size() < pageSize || bytes.size() % pageSize != 0 ||
        HasPat(database.header))
        return DmsStatus::BrokenJournal;
    size_t count = bytes.size() / pageSize;
    std::span<const uint8_t> last = bytes.subspan((count - 1) * pageSize, pageSize);
    if (LoadU32(last.data()) != 0 || LoadU16(last.data() + frame::kSignature) != kHeaderSignature ||
        LoadU32(last.data() + header::kPageSize) != pageSize || HasPat(last))
        return DmsStatus::BrokenJournal;
    uint32_t lastPage = LoadU32(last.data() + header::kLastPage);
    std::vector<uint32_t> seen;
    for (size_t i = 0; i + 1 < count; ++i) {
        std::span<const uint8_t> image = bytes.subspan(i * pageSize, pageSize);
        uint32_t page = LoadU32(image.data());
        // Only pages the database holds were read, so only those are restored.
        if (page == 0 || page > lastPage || !KeyOrDataSignature(LoadU16(image.data() + frame::kSignature)) ||
            (uint64_t{page} + 1) * pageSize > database.size)
            return DmsStatus::BrokenJournal;
        if (std::find(seen.begin(), seen.end(), page) != seen.end()) continue;  // the oldest image wins
        seen.push_back(page);
        content.records.push_back({uint64_t{page} * pageSize, {image.begin(), image.end()}});
    }
    content.records.push_back({0, {last.begin(), last.end()}});
    content.keepLength = true;
    return DmsStatus::Success;
}

}  // namespace

uint32_t JournalIdentity(std::span<const uint8_t> header, uint32_t indexCount) {
    std::vector<uint8_t> fields;
    fields.insert(fields.end(), header.begin() + header::kVersion,
                  header.begin() + header::kPageSize + sizeof(uint32_t));
    fields.insert(fields.end(), header.begin() + header::kDescriptorOffset,
                  header.begin() + header::kDescriptorOffset + 2);
    uint32_t table = LoadU16(header.data() + header::kDescriptorOffset);
    for (uint32_t i = 0; i < indexCount; ++i) {
        // Record type and key id of each descriptor.
        size_t at = size_t{table} + size_t{i} * header::kDescriptorSize;
        if (at + descriptor::kCount > header.size()) break;
        fields.insert(fields.end(), header.begin() + static_cast<std::ptrdiff_t>(at),
                      header.begin() + static_cast<std::ptrdiff_t>(at + descriptor::kCount));
    }
    CCrc32Dynamic crc;
    crc.Init();
    return crc.Compute(fields);
}

std::vector<ByteRange> JoinByteRanges(std::vector<ByteRange> ranges, uint64_t end) {
    std::sort(ranges.begin(), ranges.end(),
              [](const ByteRange& a, const ByteRange& b) { return a.position < b.position; });
    std::vector<ByteRange> joined;
    for (ByteRange r : ranges) {
        if (r.position >= end) continue;
        r.length = std::min(r.length, end - r.position);
        if (!joined.empty() && r.position <= joined.back().position + joined.back().length) {
            ByteRange& last = joined.back();
            last.length = std::max(last.length, r.position + r.length - last.position);
        } else {
            joined.push_back(r);
        }
    }
    return joined;
}

uint32_t HeaderSectorCrc(std::span<const uint8_t> header) {
    constexpr size_t kSector = 512;
    std::vector<uint8_t> sector(header.begin(), header.begin() + static_cast<std::ptrdiff_t>(
                                                                    std::min(header.size(), kSector)));
    if (sector.size() >= header::kWriteBackFlag + 2) StoreU16(sector.data() + header::kWriteBackFlag, 0);
    CCrc32Dynamic crc;
    crc.Init();
    uint32_t value = crc.Compute(sector);
    return value == 0 ? 1 : value;
}

DmsStatus WriteJournal(IStorageFile& journal, uint32_t pageSize, uint32_t identity, const JournalContent& content) {
    Checksum sum;
    uint8_t head[journal::kHeaderSize] = {};
    std::memcpy(head, kMagic, sizeof kMagic);
    StoreU32(head + kVersionField, journal::kVersion);
    StoreU32(head + kPageSizeField, pageSize);
    StoreU64(head + kGenerationField, content.generation);
    StoreU32(head + kIdentityField, identity);
    StoreU32(head + kHeaderTieField, content.headerTie);
    StoreU64(head + kOldLengthField, content.oldLength);
    uint64_t body = 0;
    for (const JournalRecord& r : content.records) body += journal::kRecordHead + r.bytes.size();
    StoreU64(head + kBodyBytesField, body);
    StoreU32(head + kRecordCountField, static_cast<uint32_t>(content.records.size()));
    sum.Add({head, kCrcOffset});

    // Records first, the header that makes them valid last; one flush makes
    // both durable before the database is touched.
    uint64_t at = journal::kHeaderSize;
    for (const JournalRecord& r : content.records) {
        std::vector<uint8_t> record(journal::kRecordHead + r.bytes.size());
        StoreU64(record.data() + kRecordPosition, r.position);
        StoreU32(record.data() + kRecordLength, static_cast<uint32_t>(r.bytes.size()));
        StoreU32(record.data() + kRecordCrc, sum.Of(r.bytes));
        std::copy(r.bytes.begin(), r.bytes.end(), record.begin() + journal::kRecordHead);
        sum.Add(record);
        if (journal.WriteAt(at, record) != IoError::Ok) return DmsStatus::FileIoError;
        at += record.size();
    }
    StoreU32(head + kCrcOffset, sum.Value());
    if (journal.WriteAt(0, head) != IoError::Ok) return DmsStatus::FileIoError;
    if (journal.Flush() != IoError::Ok) return DmsStatus::FileIoError;
    return DmsStatus::Success;
}

DmsStatus ParseJournal(std::span<const uint8_t> bytes, const JournaledDatabase& database, JournalContent& content) {
    content = {};
    const uint32_t pageSize = database.pageSize;
    const uint32_t identity = database.identity;
    if (bytes.size() < sizeof kMagic || std::memcmp(bytes.data(), kMagic, sizeof kMagic) != 0)
        return ParseRawImages(bytes, database, content);
    if (bytes.size() < journal::kHeaderSize) return DmsStatus::BrokenJournal;
    const uint8_t* head = bytes.data();
    uint64_t body = LoadU64(head + kBodyBytesField);
    uint32_t count = LoadU32(head + kRecordCountField);
    if (LoadU32(head + kVersionField) != journal::kVersion || LoadU32(head + kPageSizeField) != pageSize ||
        LoadU32(head + kIdentityField) != identity ||
        body > bytes.size() - journal::kHeaderSize)
        return DmsStatus::BrokenJournal;
    Checksum sum;
    sum.Add(bytes.first(kCrcOffset));
    sum.Add(bytes.subspan(journal::kHeaderSize, static_cast<size_t>(body)));
    if (sum.Value() != LoadU32(head + kCrcOffset)) return DmsStatus::BrokenJournal;

    content.generation = LoadU64(head + kGenerationField);
    content.oldLength = LoadU64(head + kOldLengthField);
    content.headerTie = LoadU32(head + kHeaderTieField);
    // A journaled database only grows, so replaying never makes it longer.
    if (content.oldLength < pageSize || content.oldLength > database.size) return DmsStatus::BrokenJournal;
    std::span<const uint8_t> rest = bytes.subspan(journal::kHeaderSize, static_cast<size_t>(body));
    bool hasHeader = false;
    for (uint32_t i = 0; i < count; ++i) {
        if (rest.size() < journal::kRecordHead) return DmsStatus::BrokenJournal;
        uint64_t position = LoadU64(rest.data() + kRecordPosition);
        uint32_t length = LoadU32(rest.data() + kRecordLength);
        if (length == 0 || length > rest.size() - journal::kRecordHead || position > content.oldLength ||
            length > content.oldLength - position)
            return DmsStatus::BrokenJournal;
        std::span<const uint8_t> image = rest.subspan(journal::kRecordHead, length);
        if (sum.Of(image) != LoadU32(rest.data() + kRecordCrc)) return DmsStatus::BrokenJournal;
        if (position == 0) {
            hasHeader = length >= header::kDescriptorTable && LoadU32(image.data()) == 0 &&
                        LoadU16(image.data() + frame::kSignature) == kHeaderSignature &&
                        LoadU32(image.data() + header::kPageSize) == pageSize;
        }
        content.records.push_back({position, {image.begin(), image.end()}});
        rest = rest.subspan(journal::kRecordHead + length);
    }
    if (!hasHeader || !rest.empty()) return DmsStatus::BrokenJournal;
    const JournalRecord& headerRecord =
        *std::find_if(content.records.begin(), content.records.end(), [](const JournalRecord& r) { return r.position == 0; });
    // The old length is what the file held when the header image stood in
    // it, so it holds every page that header names: without a table pages 0
    // to the last page, with one the table's first page. A length short of
    // them would cut off pages the restored header still uses.
    const uint8_t* image = headerRecord.bytes.data();
    const uint64_t namedEnd = HasPat(headerRecord.bytes)
                                  ? uint64_t{LoadU32(image + header::kFirstPatPosition)} + pageSize
                                  : (uint64_t{LoadU32(image + header::kLastPage)} + 1) * pageSize;
    if (namedEnd > content.oldLength) return DmsStatus::BrokenJournal;
    // A read-only open never shortens the file: what lies past the old
    // length is no page the restored header names, so it may stay.
    if (database.keepsLength) content.keepLength = true;
    // The database's first header sector is the one this write-back wrote,
    // or (a replay cut short, a crash before the header went out) the one it
    // overwrote; anything else is another file's journal.
    uint32_t now = HeaderSectorCrc(database.header);
    if (now != content.headerTie && now != HeaderSectorCrc(headerRecord.bytes)) return DmsStatus::BrokenJournal;
    return DmsStatus::Success;
}

DmsStatus ApplyJournal(IStorageFile& database, const JournalContent& content) {
    for (const JournalRecord& r : content.records) {
        std::vector<uint8_t> bytes = r.bytes;
        // The flag stays set until every range is back and flushed.
        if (r.position <= header::kWriteBackFlag && r.position + bytes.size() >= header::kWriteBackFlag + 2)
            StoreU16(bytes.data() + (header::kWriteBackFlag - r.position), kWriteBackInProgress);
        if (database.WriteAt(r.position, bytes) != IoError::Ok) return DmsStatus::FileIoError;
    }
    if (!content.keepLength && database.SetSize(content.oldLength) != IoError::Ok) return DmsStatus::FileIoError;
    if (database.Flush() != IoError::Ok) return DmsStatus::FileIoError;
    const uint8_t clear[2] = {0, 0};
    if (database.WriteAt(header::kWriteBackFlag, clear) != IoError::Ok) return DmsStatus::FileIoError;
    if (database.Flush() != IoError::Ok) return DmsStatus::FileIoError;
    return DmsStatus::Success;
}
