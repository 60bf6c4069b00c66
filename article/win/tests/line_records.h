// A record source for the Windows output tests: EIJIRO-style lines
// ("word : translation", format 8), each made the parsed record of one
// dictionary when asked for, so no source parser is needed.
#pragma once

#include <string>
#include <vector>

#include "article/export_records.h"
#include "article/tests/parsed_record_fixture.h"

class LineRecords final : public IExportRecords {
public:
    LineRecords() : engine_(disk_), dictionary_(0, engine_) {}
    int32_t Count() const override { return static_cast<int32_t>(lines.size()); }
    CDictionary* Load(int32_t index) override {
        const std::u16string& line = lines[static_cast<size_t>(index)];
        dictionary_.ClearParsedArticle();
        StoreRawRecord(dictionary_, 8, line);
        AddElement(dictionary_, 2, line);
        return &dictionary_;
    }

    // `count` lines "wordN : translation N ..." of growing length.
    static std::vector<std::u16string> Numbered(int count) {
        std::vector<std::u16string> out;
        for (int i = 0; i < count; ++i) {
            std::u16string line = u"word" + Digits(i) + u" : meaning " + Digits(i);
            for (int k = 0; k < i % 7; ++k) line += u", another sense of the word";
            line += u" 語";
            out.push_back(line);
        }
        return out;
    }
    static std::u16string Digits(int n) {
        std::u16string out;
        for (char c : std::to_string(n)) out += static_cast<char16_t>(c);
        return out;
    }

    std::vector<std::u16string> lines;

private:
    SimulatedDisk disk_;
    CDMS engine_;
    CDictionary dictionary_;
};
