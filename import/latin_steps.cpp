// Storing the Latin analyser's data files and writing the stem index.
#include "import/latin_steps.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "common/base/bin_file.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "import/article_record.h"
#include "import/compile_environment.h"
#include "import/key_entries.h"
#include "latin/data_faults.h"
#include "latin/inflection_table.h"
#include "latin/stem_lines.h"

namespace {

constexpr uint32_t kLatinFormat = 16;

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameNameCaseAside(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

bool ReadWhole(const std::u16string& path, std::vector<uint8_t>& bytes) {
    BinFile file(nullptr);
    if (path.empty() || !file.SetPath(path.c_str())) return false;
    const uint8_t* data = file.OpenReadWhole();
    if (data == nullptr) return false;
    bytes.assign(data, data + file.bufferSize);
    return true;
}

DmsStatus SayMissing(CompileUi& ui, std::u16string_view name) {
    ui.ShowMessage(u"Cannot load required supplemental file '" + std::u16string(name) + u"'",
                   std::u16string(name) + u" not found");
    return kLatinFileMissing;
}

// A data file that is there but cannot serve the analyser stops the compile
// like a missing one, saying where it is wrong.
DmsStatus SayDamaged(CompileUi& ui, const LatinDataFault& fault) {
    const std::string where = fault.Describe();
    const std::u16string name(fault.file.begin(), fault.file.end());
    ui.ShowMessage(u"Cannot load required supplemental file '" + name + u"'\n" + std::u16string(where.begin(), where.end()),
                   name + u" is damaged");
    return kLatinFileMissing;
}

DmsStatus InsertStemLine(CDMS& engine, uint32_t handle, const char16_t* record, uint32_t position, bool remove) {
    DictionaryKey key;
    key.first = StemKeyStem(record);
    key.second = StemKeyCodes(record);
    key.flag = kOrdinaryKey;
    if (remove) return RemoveDictionaryKey(engine, handle, 121, key, position);
    return InsertDictionaryKey(engine, handle, 121, key, MakeKeyReference(position, kLatinFormat, kOrdinaryKey, 0));
}

}  // namespace

bool IsLatinCompile(const CDictionary& target, uint32_t formatType) {
    return formatType == kLatinFormat || std::u16string_view(target.IndexLanguage()) == u"lat";
}

std::u16string FindBesideSource(std::u16string_view source, std::u16string_view name) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(std::u16string(source)).parent_path();
    const std::filesystem::path exact = folder / std::u16string(name);
    if (std::filesystem::is_regular_file(exact, error)) return exact.u16string();
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, error), end; !error && it != end;
         it.increment(error)) {
        if (SameNameCaseAside(it->path().filename().u16string(), name) && it->is_regular_file(error))
            return it->path().u16string();
    }
    return {};
}

DmsStatus EmbedLatinSupplements(CDMS& engine, uint32_t propertyCursor, std::u16string_view source, CompileUi& ui) {
    if (source.empty()) return kLatinFileMissing;
    std::vector<uint8_t> bytes;
    if (!ReadWhole(FindBesideSource(source, u"INFLECTS.SEC"), bytes)) return SayMissing(ui, u"INFLECTS.SEC");
    LatinDataFault fault;
    if (!CheckInflectsFile(bytes.data(), bytes.size(), &fault)) return SayDamaged(ui, fault);
    // Pieces at fixed offsets; a short file is padded with zero bytes, never read past.
    bytes.resize(kInflectsFileSize, 0);
    for (int piece = 0; piece < kSectionCount; ++piece) {
        const DmsStatus s = PutDictionaryPropertyData(engine, propertyCursor, kPropertyInflectsFirst + piece,
                                                      bytes.data() + piece * kSectionSize, kSectionSize);
        if (Failed(s)) return s;
    }
    if (!ReadWhole(FindBesideSource(source, u"ADDONS.LAT"), bytes)) return SayMissing(ui, u"ADDONS.LAT");
    if (!CheckAddonsText(reinterpret_cast<const char*>(bytes.data()), bytes.size(), &fault))
        return SayDamaged(ui, fault);
    return PutDictionaryPropertyData(engine, propertyCursor, kPropertyAddons, bytes.data(),
                                     static_cast<uint32_t>(bytes.size()));
}

DmsStatus AddLatinStemKeys(CDMS& engine, uint32_t handle, std::u16string_view article, uint32_t formatType,
                           uint32_t position, const bool& cancelled, bool remove) {
    std::vector<std::u16string> lines;
    if (formatType == kLatinFormat) {
        lines.emplace_back(article.substr(0, article.find(u'\n')));
    } else {
        const char16_t* at = article.data();
        const char16_t* end = at + article.size();
        while (at < end) {
            const char16_t* start = nullptr;
            int32_t length = 0;
            at = FindLsSection(at, end, &start, &length);
            if (start == nullptr || length == 0) break;
            char16_t line[kCodeLineWidth + 1];
            LayOutCodeLine(start, length, line);
            lines.emplace_back(line);
        }
    }
    for (const std::u16string& line : lines) {
        StemRecords stems;
        LatinLineStems(line, stems);
        for (int r = 0; r < stems.count; ++r) {
            if (const DmsStatus s = InsertStemLine(engine, handle, stems.records[r], position, remove); Failed(s)) return s;
            if (cancelled) return DmsStatus::Success;
        }
    }
    return DmsStatus::Success;
}
