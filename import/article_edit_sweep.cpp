// The random edit sweep and its checks.
#include "import/article_edit_sweep.h"

#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/file_replace.h"
#include "dictionary/format_detection.h"
#include "import/article_record.h"
#include "import/article_save.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "import/index_dump.h"
#include "storage/dms.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

std::vector<std::string> SortedLines(const std::string& dump) {
    std::vector<std::string> lines;
    for (size_t at = 0; at < dump.size();) {
        size_t end = dump.find('\n', at);
        if (end == std::string::npos) end = dump.size();
        lines.push_back(dump.substr(at, end - at));
        at = end + 1;
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Lines of one side missing from the other, at most `limit` of them.
void Differences(const std::string& what, const std::vector<std::string>& edited,
                 const std::vector<std::string>& fresh, std::vector<std::string>& out) {
    std::vector<std::string> onlyEdited, onlyFresh;
    std::set_difference(edited.begin(), edited.end(), fresh.begin(), fresh.end(), std::back_inserter(onlyEdited));
    std::set_difference(fresh.begin(), fresh.end(), edited.begin(), edited.end(), std::back_inserter(onlyFresh));
    constexpr size_t limit = 10;
    for (size_t i = 0; i < onlyEdited.size() && i < limit; ++i) out.push_back(what + " only after edits: " + onlyEdited[i]);
    for (size_t i = 0; i < onlyFresh.size() && i < limit; ++i) out.push_back(what + " only in a fresh compile: " + onlyFresh[i]);
    if (onlyEdited.size() + onlyFresh.size() > 2 * limit)
        out.push_back(what + ": " + std::to_string(onlyEdited.size()) + " + " + std::to_string(onlyFresh.size()) +
                      " lines differ in all");
}

std::vector<std::string> IndexLines(CDMS& engine, int32_t fileId, int32_t indexId) {
    std::string dump;
    if (indexId == 110) DumpFullTextByText(engine, fileId, dump);
    else DumpIndex(engine, fileId, indexId, dump, true);
    return SortedLines(dump);
}

bool WriteUtf16File(const std::u16string& path, std::u16string_view text) {
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.put(static_cast<char>(0xFF)).put(static_cast<char>(0xFE));
    for (char16_t c : text) out.put(static_cast<char>(c & 0xFF)).put(static_cast<char>(c >> 8));
    return static_cast<bool>(out);
}

}  // namespace

std::vector<std::pair<uint32_t, std::u16string>> LiveArticles(CDMS& engine, int32_t fileId) {
    std::vector<std::pair<uint32_t, std::u16string>> out;
    EngineCursor cursor(engine, fileId), reader(engine, fileId);
    if (Failed(cursor.SelectIndex(kIndexArticles))) return out;
    uint32_t key = 0;
    KeySegmentValue value{&key, 4};
    EntryPosition at;
    std::vector<uint8_t> record;
    for (DmsStatus s = engine.First(cursor.handle(), &value, &at); !Failed(s);
         s = engine.Next(cursor.handle(), &value, &at)) {
        if (key == 0 || at.ref.first != key) continue;  // removed, or an id that leads elsewhere
        uint32_t size = 0;
        if (Failed(engine.ReadData(reader.handle(), key, nullptr, &size))) continue;
        record.resize(size);
        if (Failed(engine.ReadData(reader.handle(), key, record.data(), &size))) continue;
        out.push_back({key, ArticleRecordText(record.data(), size)});
    }
    return out;
}

EditSweep RunRandomEdits(CDictionary& dictionary, uint32_t count, uint32_t seed) {
    EditSweep sweep;
    std::mt19937 random(seed);
    std::vector<std::u16string> pool;
    for (auto& [id, text] : LiveArticles(dictionary.Engine(), dictionary.fileId)) {
        sweep.latest[id] = text;
        // Articles of other formats come in as the editor would write them.
        if (!text.starts_with(u"{\\a")) {
            EngineCursor reader(dictionary.Engine(), dictionary.fileId);
            uint32_t size = 0;
            dictionary.Engine().ReadData(reader.handle(), id, nullptr, &size);
            std::vector<uint8_t> record(size);
            dictionary.Engine().ReadData(reader.handle(), id, record.data(), &size);
            text = WriteArticleText(StoredArticleLines(dictionary, record.data(), size));
        }
        pool.push_back(std::move(text));
    }
    if (pool.empty()) return sweep;
    std::vector<uint32_t> ids, edited;
    for (const auto& [id, text] : sweep.latest) ids.push_back(id);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    for (uint32_t step = 0; step < count; ++step) {
        const uint32_t choice = std::uniform_int_distribution<uint32_t>(0, 9)(random);
        const auto start = std::chrono::steady_clock::now();
        if (choice < 5 && !ids.empty()) {
            // Half the replacements go to an id edited before, through its saved id.
            const bool again = !edited.empty() && choice < 2;
            const uint32_t id = again ? edited[pick(edited.size())] : ids[pick(ids.size())];
            const std::u16string& text = pool[pick(pool.size())];
            const ArticleSave save = SaveEditedArticle(dictionary, id, kEditorSameDictionary, text);
            if (!save.saved) {
                sweep.failures.push_back("replace " + std::to_string(id) + ": " + Utf16ToUtf8(save.error));
                continue;
            }
            sweep.latest[id] = text;
            sweep.replaceSeconds.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            sweep.editsOfEditedIds += again;
            ++sweep.replacements;
            if (!again) edited.push_back(id);
        } else if (choice < 7 && ids.size() > 1) {
            const size_t at = pick(ids.size());
            const uint32_t id = ids[at];
            if (const std::u16string error = RemoveArticleById(dictionary, id); !error.empty()) {
                sweep.failures.push_back("remove " + std::to_string(id) + ": " + Utf16ToUtf8(error));
                continue;
            }
            ids.erase(ids.begin() + static_cast<ptrdiff_t>(at));
            std::erase(edited, id);
            sweep.latest.erase(id);
            sweep.removed.push_back(id);
            ++sweep.removals;
        } else {
            const std::u16string& text = pool[pick(pool.size())];
            const ArticleSave save = SaveEditedArticle(dictionary, 0, kEditorNewArticle, text);
            if (!save.saved) {
                sweep.failures.push_back("add: " + Utf16ToUtf8(save.error));
                continue;
            }
            ids.push_back(save.position);
            sweep.latest[save.position] = text;
            ++sweep.additions;
        }
        sweep.saveSeconds.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return sweep;
}

std::vector<std::string> CompareWithFreshCompile(CDictionary& dictionary, const std::u16string& scratchPath) {
    std::vector<std::string> out;
    CDMS& engine = dictionary.Engine();
    std::u16string markup;
    if (const DmsStatus s = CConverter::ReadDictionaryAsMarkup(engine, dictionary.fileId, markup); Failed(s)) {
        out.push_back("the articles cannot be read: status " + std::to_string(StatusCode(s)));
        return out;
    }
    const std::u16string source = scratchPath + u".txt", target = scratchPath + u".qdx";
    if (!WriteUtf16File(source, markup)) {
        out.push_back("cannot write " + Utf16ToUtf8(source));
        return out;
    }
    CDictionary fresh(kFormatStoreDatabase, engine);
    for (size_t i = 0; i < 4; ++i) std::copy(dictionary.languages[i], dictionary.languages[i] + 4, fresh.languages[i]);
    SilentCompileUi ui;
    FixedCompileEnv env;
    CConverter converter(fresh, CConverter::kNewFile, ui, env);
    const int32_t compiled = converter.Convert(DetectDictionaryFileFormat(source.c_str()), source, target);
    file_replace::Delete(source.c_str());
    if (compiled != 1) {
        out.push_back("the fresh compile failed: " + Utf16ToUtf8(converter.errorText));
        return out;
    }
    int32_t freshId = 0;
    if (Failed(engine.OpenFile(target, 2, DictionarySchemaText, &freshId))) {
        out.push_back("the fresh compile does not open");
        return out;
    }
    auto texts = [&](int32_t fileId) {
        std::vector<std::string> lines;
        for (const auto& [id, text] : LiveArticles(engine, fileId)) lines.push_back(Utf16ToUtf8(text));
        std::sort(lines.begin(), lines.end());
        return lines;
    };
    Differences("article", texts(dictionary.fileId), texts(freshId), out);
    for (int32_t index : {101, 102, 106, 121, 110})
        Differences("index " + std::to_string(index), IndexLines(engine, dictionary.fileId, index),
                    IndexLines(engine, freshId, index), out);
    // Every hit list has its word and every word its hit list.
    for (int32_t index : {110, 111}) {
        uint32_t edited = 0, compiled = 0;
        CountIndexEntries(engine, dictionary.fileId, index, edited);
        CountIndexEntries(engine, freshId, index, compiled);
        if (edited != compiled)
            out.push_back("index " + std::to_string(index) + " holds " + std::to_string(edited) + " entries, " +
                          std::to_string(compiled) + " in a fresh compile");
    }
    engine.CloseFile(freshId);
    file_replace::Delete(target.c_str());
    return out;
}

std::vector<std::string> CheckIdsLeadToLatestTexts(CDictionary& dictionary, const EditSweep& sweep) {
    std::vector<std::string> out;
    CDMS& engine = dictionary.Engine();
    EngineCursor reader(engine, dictionary.fileId);
    std::vector<uint8_t> record;
    for (const auto& [id, text] : sweep.latest) {
        const uint32_t position = CurrentArticlePosition(engine, dictionary.fileId, id);
        uint32_t size = 0;
        if (position == 0 || Failed(engine.ReadData(reader.handle(), position, nullptr, &size))) {
            out.push_back("id " + std::to_string(id) + " leads to no article");
            continue;
        }
        record.resize(size);
        engine.ReadData(reader.handle(), position, record.data(), &size);
        if (ArticleRecordText(record.data(), size) != text)
            out.push_back("id " + std::to_string(id) + " leads to another text than the one saved last");
    }
    for (uint32_t id : sweep.removed)
        if (CurrentArticlePosition(engine, dictionary.fileId, id) != 0)
            out.push_back("removed id " + std::to_string(id) + " still leads to an article");
    return out;
}
