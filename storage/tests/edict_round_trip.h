// Stores every given line as a data block in a new database file, closes it,
// reopens it read-only and checks that every block reads back byte-exact.
// Shared by the native test (POSIX files) and the Windows test (Win32 files).
#pragma once

#include "storage/dms.h"
#include "storage/tests/dictionary_schema_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline void ExpectLinesRoundTrip(IStorageIO& io, const std::u16string& path, const std::vector<std::u16string>& lines,
                                 int32_t writeMode) {
    const std::string schema = DictionarySchemaForTests();
    io.Delete(path);
    io.Delete(path.substr(0, path.rfind(u'.')) + u".trn");
    std::vector<uint32_t> positions(lines.size());
    {
        CDMS engine(io);
        ASSERT_EQ(engine.CreateFile(path, schema), DmsStatus::Success);
        int32_t id = 0;
        ASSERT_EQ(engine.OpenFile(path, writeMode, schema, &id), DmsStatus::Success);
        uint32_t cursor = 0;
        ASSERT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
        ASSERT_EQ(engine.SelectRecordType(cursor, 0), DmsStatus::Success);
        for (size_t i = 0; i < lines.size(); ++i) {
            uint32_t bytes = static_cast<uint32_t>(lines[i].size() * 2);
            ASSERT_EQ(engine.WriteData(cursor, lines[i].data(), bytes, &positions[i]), DmsStatus::Success) << i;
            ASSERT_EQ(positions[i] == 0, bytes == 0) << i;
        }
        ASSERT_EQ(engine.CloseFile(id), DmsStatus::Success);
    }
    CDMS engine(io);
    int32_t id = 0;
    ASSERT_EQ(engine.OpenFile(path, 2, schema, &id), DmsStatus::Success);
    uint32_t cursor = 0;
    ASSERT_EQ(engine.OpenCursor(id, &cursor), DmsStatus::Success);
    std::u16string buffer;
    size_t mismatches = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (positions[i] == 0) continue;
        uint32_t total = 0;
        ASSERT_EQ(engine.ReadData(cursor, positions[i], nullptr, &total), DmsStatus::Success) << i;
        ASSERT_EQ(total, lines[i].size() * 2) << i;
        buffer.assign(lines[i].size(), u'\0');
        uint32_t count = total;
        ASSERT_EQ(engine.ReadData(cursor, positions[i], buffer.data(), &count), DmsStatus::Success) << i;
        ASSERT_EQ(count, total);
        if (buffer != lines[i]) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0u);
    EXPECT_EQ(engine.CloseFile(id), DmsStatus::Success);
    io.Delete(path);
}

// Splits UTF-16 text at line feeds, dropping the feeds.
inline std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
