// Index dumps: key segments by the index's layout, references by article number.
#include "import/index_dump.h"

#include "common/text/utf8.h"
#include "dictionary/full_text_query_hits.h"
#include "import/article_record.h"
#include "storage/dms.h"

#include <array>
#include <cstdio>
#include <vector>

namespace {

enum class Segment { UString, Word, Long };

std::vector<Segment> LayoutOf(int32_t indexId) {
    switch (indexId) {
    case 0: case 111: return {Segment::Long};
    case 1: return {Segment::Word};
    case 3: return {Segment::Long, Segment::Long, Segment::Long};
    case 101: case 102: case 121: return {Segment::UString, Segment::UString};
    case 106: return {Segment::UString, Segment::Word};
    case 110: return {Segment::UString};
    default: return {};
    }
}

// Closes the cursor whatever happens.
struct Cursor {
    CDMS& engine;
    uint32_t handle = 0;
    ~Cursor() {
        if (handle) engine.CloseCursor(handle);
    }
};

// The article number at the head of the record at `position` (or its text),
// or the position itself.
std::string ArticleOf(CDMS& engine, uint32_t handle, uint32_t position, bool byText = false) {
    uint32_t size = 0;
    std::array<uint8_t, 4> head{};
    if (!Failed(engine.ReadData(handle, position, nullptr, &size)) && size >= 10) {
        std::vector<uint8_t> bytes(size);
        if (!Failed(engine.ReadData(handle, position, bytes.data(), &size))) {
            if (byText) return Utf16ToUtf8(ArticleRecordText(bytes.data(), size));
            std::copy(bytes.begin(), bytes.begin() + 4, head.begin());
            return "#" + std::to_string(head[0] | head[1] << 8 | head[2] << 16 | uint32_t(head[3]) << 24);
        }
    }
    return "@" + std::to_string(position);
}

}  // namespace

DmsStatus DumpIndex(CDMS& engine, int32_t fileId, int32_t indexId, std::string& out, bool byText) {
    const std::vector<Segment> layout = LayoutOf(indexId);
    if (layout.empty()) return DmsStatus::WrongKeyId;
    Cursor cursor{engine}, reader{engine};  // records are read apart from the walk
    if (const DmsStatus s = engine.OpenCursor(fileId, &cursor.handle); Failed(s)) return s;
    if (const DmsStatus s = engine.OpenCursor(fileId, &reader.handle); Failed(s)) return s;
    if (const DmsStatus s = engine.SelectIndex(cursor.handle, indexId); Failed(s)) return s;
    std::vector<std::array<uint8_t, 520>> buffers(layout.size());
    std::vector<KeySegmentValue> key(layout.size());
    auto reset = [&] {
        for (size_t i = 0; i < layout.size(); ++i) key[i] = {buffers[i].data(), static_cast<int32_t>(buffers[i].size())};
    };
    EntryPosition at;
    reset();
    DmsStatus s = engine.First(cursor.handle, key.data(), &at);
    for (; !Failed(s); reset(), s = engine.Next(cursor.handle, key.data(), &at)) {
        std::string line;
        for (size_t i = 0; i < layout.size(); ++i) {
            const uint8_t* b = buffers[i].data();
            if (i) line += '\t';
            if (layout[i] == Segment::UString) {
                std::u16string text(static_cast<size_t>(key[i].length) / 2, u'\0');
                for (size_t j = 0; j < text.size(); ++j) text[j] = static_cast<char16_t>(b[2 * j] | b[2 * j + 1] << 8);
                line += Utf16ToUtf8(text);
            } else if (layout[i] == Segment::Word) {
                line += std::to_string(b[0] | b[1] << 8);
            } else {
                line += std::to_string(b[0] | b[1] << 8 | b[2] << 16 | uint32_t(b[3]) << 24);
            }
        }
        // Index 0's key is a position too: show it as the article it holds.
        if (indexId == 0) line = ArticleOf(engine, reader.handle, at.ref.first, byText);
        char tail[64];
        std::snprintf(tail, sizeof tail, " %08x", at.ref.second);
        out += line + "\t-> " + ArticleOf(engine, reader.handle, at.ref.first, byText) + tail + "\n";
    }
    return s == DmsStatus::EndOfFile || s == DmsStatus::RecordNotFound ? DmsStatus::Success : s;
}

DmsStatus CountIndexEntries(CDMS& engine, int32_t fileId, int32_t indexId, uint32_t& count) {
    count = 0;
    Cursor cursor{engine};
    if (const DmsStatus s = engine.OpenCursor(fileId, &cursor.handle); Failed(s)) return s;
    if (const DmsStatus s = engine.SelectIndex(cursor.handle, indexId); Failed(s)) return s;
    return engine.GetCount(cursor.handle, &count);
}

DmsStatus DumpFullTextByText(CDMS& engine, int32_t fileId, std::string& out) {
    Cursor words{engine}, hits{engine}, reader{engine};
    for (uint32_t* handle : {&words.handle, &hits.handle, &reader.handle})
        if (const DmsStatus s = engine.OpenCursor(fileId, handle); Failed(s)) return s;
    if (const DmsStatus s = engine.SelectIndex(words.handle, 110); Failed(s)) return s;
    if (const DmsStatus s = engine.SelectIndex(hits.handle, 111); Failed(s)) return s;
    std::array<char16_t, kFullTextKeyBytes / 2> word{};
    KeySegmentValue key{word.data(), kFullTextKeyBytes};
    EntryPosition at;
    std::vector<uint8_t> list;
    DmsStatus s = engine.First(words.handle, &key, &at);
    for (; !Failed(s); key = {word.data(), kFullTextKeyBytes}, s = engine.Next(words.handle, &key, &at)) {
        const std::string text = Utf16ToUtf8(std::u16string_view(word.data(), static_cast<size_t>(key.length) / 2));
        uint32_t id = at.ref.first, found = 0;
        KeySegmentValue in{&id, 4}, idOut{&found, 4};
        EntryPosition list111;
        if (Failed(engine.Seek(hits.handle, &in, &idOut, &list111))) {
            out += text + "\t(no hit list)\n";
            continue;
        }
        uint32_t size = 0;
        if (Failed(engine.ReadData(reader.handle, list111.ref.first, nullptr, &size))) {
            out += text + "\t(unreadable hit list)\n";
            continue;
        }
        list.resize(size);
        engine.ReadData(reader.handle, list111.ref.first, list.data(), &size);
        HitRecordView record;
        size_t offset = 0;
        for (; ReadHitRecord(list, offset, record); offset += HitRecordBytes(record)) {
            std::string line = text + "\t" + ArticleOf(engine, reader.handle, record.position, true) + "\t";
            for (size_t i = 0; i < record.Count(); ++i) {
                char hit[8];
                std::snprintf(hit, sizeof hit, "%04x", record.Hit(i));
                line += hit;
            }
            out += line + "\n";
        }
        if (offset != list.size()) out += text + "\t(damaged hit list)\n";
    }
    return s == DmsStatus::EndOfFile || s == DmsStatus::RecordNotFound ? DmsStatus::Success : s;
}
