// The project's Latin word list compiled into a Latin dictionary, and the
// analyser run through the host bridge over it: the stored data files, the
// stem index, the articles with their forms, the rows of the translated-words
// list, and the same output as the in-memory host gives for real words.
#include "common/tests/test_paths.h"
#include "compile_fixture.h"

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "dictionary/cursor.h"
#include "dictionary/engine_cursor.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/word_list.h"
#include "import/article_record.h"
#include "import/latin_steps.h"
#include "import/latin_word_list.h"
#include "latin/coded_output.h"
#include "latin/latin_bridge.h"
#include "latin/latin_host.h"
#include "latin/latin_options.h"
#include "latin/memory_host.h"
#include "latin/tests/collatinus_text.h"

namespace {

std::string LatinData(const char* name) { return BinaryPath() + "/latin/data/" + name; }

void WriteFile(const std::u16string& path, const std::string& bytes) {
    std::ofstream(std::filesystem::path(path), std::ios::binary | std::ios::trunc) << bytes;
}

std::string Narrow(std::u16string_view text) {
    std::string bytes;
    for (char16_t c : text) bytes += static_cast<char>(c < 256 ? c : '?');
    return bytes;
}

// Group lines name the host's own record ids: line numbers in memory, data
// positions in the file. Both hosts must agree on everything else.
std::string WithoutIds(const std::string& text) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("10 ", 0) == 0) line = line.substr(0, line.rfind(' ')) + " #";
        out += line + "\n";
    }
    return out;
}

class LatinDictionary : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        words_ = ReadText(LatinData("words.txt"));
        inflects_ = ReadText(LatinData("INFLECTS.SEC"));
        addons_ = ReadText(LatinData("ADDONS.LAT"));
        ASSERT_FALSE(words_.empty());
        ASSERT_EQ(inflects_.size(), 114000u);
    }

    // Writes the list and the side files under these names and compiles the
    // list as the conversion dialog does; 1 on success.
    int32_t CompileList(const std::string& list, const char* inflectsName = "INFLECTS.SEC",
                        const char* addonsName = "ADDONS.LAT") {
        WriteFile(Path("words.lat"), list);
        if (inflectsName) WriteFile(Path(inflectsName), inflects_);
        if (addonsName) WriteFile(Path(addonsName), addons_);
        CDictionary dictionary(kFormatStoreDatabase, engine_);
        dictionary.conversionState = kConversionAddsForms;
        CConverter converter(dictionary, CConverter::kNewFile, ui_, env_);
        const int32_t result = converter.Convert(DetectDictionaryFileFormat(Path("words.lat").c_str()), Path("words.lat"), Path("latin.qdx"));
        error_ = converter.errorText;
        articles_ = converter.ArticleCount();
        return result;
    }

    std::string Property(RDFDictionary& d, int32_t id) {
        CCursor cursor(&d, 1);
        uint32_t size = 0;
        if (Failed(GetDictionaryPropertyData(engine_, cursor.handle, id, nullptr, &size))) return "<none>";
        std::string bytes(size, '\0');
        EXPECT_EQ(GetDictionaryPropertyData(engine_, cursor.handle, id, bytes.data(), &size), DmsStatus::Success);
        return bytes;
    }

    std::unique_ptr<RDFDictionary> OpenCompiled() {
        auto d = std::make_unique<RDFDictionary>(0, engine_);
        d->File().SetPath(Path("latin.qdx").c_str());
        EXPECT_EQ(d->Open(0), 0u);
        return d;
    }

    std::string words_, inflects_, addons_;
    SilentCompileUi ui_;
    std::u16string error_;
    uint32_t articles_ = 0;
};

TEST_F(LatinDictionary, ListCompilesWithDataFilesStemsAndForms) {
    ASSERT_EQ(CompileList(words_), 1) << Utf16ToUtf8(error_);
    auto d = OpenCompiled();
    for (int piece = 0; piece < 5; ++piece)
        EXPECT_EQ(Property(*d, 21 + piece), inflects_.substr(piece * 22800, 22800)) << piece;
    EXPECT_EQ(Property(*d, 31), addons_);

    // One key per stem record of every line, as the in-memory host indexes them.
    MemoryLatinHost memory;
    std::string loadError;
    ASSERT_TRUE(memory.LoadFolder(LatinData(""), &loadError)) << loadError;
    EXPECT_EQ(articles_, memory.entries.size());
    CCursor stems(d.get(), 121);
    EXPECT_EQ(stems.count, static_cast<int32_t>(memory.StemIndex().size()));

    // The built-in "to be": its four keys, the empty stem first of all.
    ASSERT_EQ(stems.MoveFirst(), DmsStatus::Success);
    EXPECT_EQ(stems.FieldText(0), u"");
    EXPECT_EQ(stems.FieldText(1), u"V      5 1 TO_BE          2");
    ASSERT_TRUE(stems.LoadArticle());
    const DictionaryElement& article = d->Elements()[0];
    const std::u16string stored(article.text, article.length);
    EXPECT_EQ(stored.substr(0, 2), u"s ");
    EXPECT_EQ(stored.substr(38, 4), u"fu  ");
    EXPECT_NE(stored.find(u"\nsum, esse, fui, futurus  V"), std::u16string::npos);
}

TEST_F(LatinDictionary, ListWithoutFinalLineBreakKeepsItsLastLineAndToBe) {
    std::string list = words_;
    while (!list.empty() && (list.back() == '\n' || list.back() == '\r')) list.pop_back();
    ASSERT_EQ(CompileList(list), 1);
    MemoryLatinHost memory;
    std::string loadError;
    ASSERT_TRUE(memory.LoadFolder(LatinData(""), &loadError));
    EXPECT_EQ(articles_, memory.entries.size());
}

TEST_F(LatinDictionary, MissingAddonsFailsAfterInflectsAndLeavesNoTarget) {
    EXPECT_EQ(CompileList(words_, "INFLECTS.SEC", nullptr), 0);
    ASSERT_EQ(ui_.messages.size(), 1u);
    EXPECT_EQ(ui_.messages[0], u"Cannot load required supplemental file 'ADDONS.LAT'");
    EXPECT_EQ(ui_.captions[0], u"ADDONS.LAT not found");
    EXPECT_FALSE(Exists(Path("latin.qdx")));

    std::filesystem::remove(std::filesystem::path(Path("INFLECTS.SEC")));
    ui_.messages.clear();
    ui_.captions.clear();
    EXPECT_EQ(CompileList(words_, nullptr, nullptr), 0);
    ASSERT_EQ(ui_.captions.size(), 1u);
    EXPECT_EQ(ui_.captions[0], u"INFLECTS.SEC not found");
}

TEST_F(LatinDictionary, SideFilesFoundCaseAside) {
    ASSERT_EQ(CompileList(words_, "inflects.sec", "Addons.Lat"), 1) << Utf16ToUtf8(error_);
    auto d = OpenCompiled();
    EXPECT_EQ(Property(*d, 22), inflects_.substr(22800, 22800));
    EXPECT_EQ(Property(*d, 25), inflects_.substr(91200, 22800));
}

// Data files that are there but cannot serve the analyser stop the compile
// with the file, the place and what is wrong; no target is left.
TEST_F(LatinDictionary, DamagedDataFilesAreRefusedNamingWhereTheyAreWrong) {
    const std::string whole = inflects_;
    struct Case { std::string inflects, addons; std::u16string message, caption; };
    std::string garbage = whole;
    garbage[2 * 22800 + 7 * 40] = 99;   // part of speech of record 8 of section 3
    const Case cases[] = {
        {"", addons_, u"INFLECTS.SEC: 0 bytes where 114000 are needed", u"INFLECTS.SEC is damaged"},
        {whole.substr(0, 50000) + std::string(64000, '\0'), addons_,
         u"INFLECTS.SEC, section 4: the section holds no records", u"INFLECTS.SEC is damaged"},
        {garbage, addons_, u"INFLECTS.SEC, section 3, record 8: not an inflection record (part of speech 99, ending length ",
         u"INFLECTS.SEC is damaged"},
        {whole, "TACKON que\nCONJ\nand\n-- a comment\nNOUN x\nX\nmeaning\n",
         u"ADDONS.LAT, line 5: \"NOUN x\" is not a TACKON, PREFIX or SUFFIX line", u"ADDONS.LAT is damaged"},
        {whole, "TACKON que\nCONJ\n", u"ADDONS.LAT, line 2: the entry has no meaning line after its parts",
         u"ADDONS.LAT is damaged"},
        {whole, "-- nothing but a comment\n", u"ADDONS.LAT: the file holds no entries", u"ADDONS.LAT is damaged"},
    };
    for (const Case& c : cases) {
        inflects_ = c.inflects;
        addons_ = c.addons;
        ui_.messages.clear();
        ui_.captions.clear();
        EXPECT_EQ(CompileList(words_), 0);
        ASSERT_EQ(ui_.messages.size(), 1u) << Utf16ToUtf8(c.message);
        const std::u16string name = c.caption.substr(0, c.caption.find(u' '));
        EXPECT_EQ(ui_.messages[0].rfind(u"Cannot load required supplemental file '" + name + u"'\n", 0), 0u);
        EXPECT_NE(ui_.messages[0].find(c.message), std::u16string::npos) << Utf16ToUtf8(ui_.messages[0]);
        EXPECT_EQ(ui_.captions[0], c.caption);
        EXPECT_FALSE(Exists(Path("latin.qdx")));
    }
}

TEST_F(LatinDictionary, NativeAndRepeatedCompilesAreByteIdentical) {
    ASSERT_EQ(CompileList(words_), 1);
    const std::string first = ReadText(Path("latin.qdx"));
    ASSERT_EQ(CompileList(words_), 1);
    EXPECT_EQ(ReadText(Path("latin.qdx")), first);
    // The Windows tree compares its own compile with the native one's.
    const std::string native = ReadText(LatinData("compiled_words.qdx"));
    if (!native.empty()) {
        EXPECT_EQ(native, first);
    }
}

class LatinBridgeOverDictionary : public LatinDictionary {
protected:
    void SetUp() override {
        LatinDictionary::SetUp();
        ASSERT_EQ(CompileList(words_), 1) << Utf16ToUtf8(error_);
        dictionary_ = OpenCompiled();
        list_ = std::make_unique<WordList>(nullptr, kListTranslatedWords);
        list_->AddDictionary(dictionary_.get());
        ASSERT_GT(list_->CursorCount(), 0);
    }
    void TearDown() override {
        list_->ForgetDictionary(dictionary_.get());
        dictionary_.reset();
        LatinDictionary::TearDown();
    }

    // The bridge's answer, its rows' texts ("E:" entry rows with their
    // note, "T:" text rows), and its output.
    int32_t Analyse(std::u16string_view text, std::vector<std::string>* rows = nullptr) {
        list_->Clear();
        const int32_t result = bridge_.Analyse(text, dictionary_.get(), *list_);
        for (int32_t i = 0; rows != nullptr && i < list_->EntryCount(); ++i) {
            const WordListEntry& e = list_->EntryAt(i);
            const bool note = (e.flags & kEntryNote) != 0;
            const uint32_t offset = note ? e.noteOffset : e.textOffset;
            const uint32_t length = note ? e.noteLength : e.textLength;
            rows->push_back(std::string(e.recordId != 0 ? "E:" : "T:") +
                            Narrow(list_->PoolText(offset, length)));
        }
        return result;
    }

    std::unique_ptr<RDFDictionary> dictionary_;
    std::unique_ptr<WordList> list_;
    LatinBridge bridge_;
};

TEST_F(LatinBridgeOverDictionary, TextIsFoldedOrRefusedBeforeTheEngine) {
    EXPECT_EQ(Analyse(u"Caesar"), 0);
    const std::string caesar = Narrow(bridge_.Output());
    EXPECT_EQ(Analyse(u"C\u00e6sar"), 0);
    EXPECT_EQ(Narrow(bridge_.Output()), caesar);
    EXPECT_EQ(Analyse(u"ros\u0101"), 1);
    const std::string rosa = Narrow(bridge_.Output());
    EXPECT_EQ(Analyse(u"rosa"), 1);
    EXPECT_EQ(Narrow(bridge_.Output()), rosa);
    for (const char16_t* refused : {u"ros4", u"ros'a", u"\u0440\u043e\u0437\u0430"}) {
        std::vector<std::string> rows;
        EXPECT_EQ(Analyse(refused, &rows), 0);
        EXPECT_TRUE(bridge_.Output().empty());
        EXPECT_TRUE(rows.empty());
    }
    char out[kLatinTextSize];
    ASSERT_TRUE(LatinBridge::PrepareText(std::u16string(400, u'\u00e6'), out));
    EXPECT_EQ(std::strlen(out), static_cast<size_t>(kLatinTextSize - 1));
}

// Stems sought before the first stem of the index or walked past its last
// are the end of the data, not damage: nothing is noted as refused. The
// last stem itself is sought and then stepped past.
TEST_F(LatinBridgeOverDictionary, WalkingOffEitherEndOfTheStemsIsNoRefusal) {
    CCursor stems(dictionary_.get(), kIndexLatinStems);
    ASSERT_EQ(stems.MoveLast(), DmsStatus::Success);
    const std::u16string lastStem(stems.FieldText(0));
    ASSERT_FALSE(lastStem.empty());
    for (const std::u16string& word : {std::u16string(u"aaaaa"), lastStem, lastStem + u"que", std::u16string(u"zzzzz")}) {
        Analyse(word);
        EXPECT_TRUE(bridge_.Fault().empty()) << Utf16ToUtf8(word) << ": " << Utf16ToUtf8(bridge_.Fault());
        EXPECT_EQ(dictionary_->ReadRefusal(), DmsStatus::Success) << Utf16ToUtf8(word);
    }
}

TEST_F(LatinBridgeOverDictionary, RowsFollowTheGroupKinds) {
    std::vector<std::string> rows;
    ASSERT_EQ(Analyse(u"puellaque", &rows), 1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], "E:puell.a - n. 1.1 f., nom. sg.\npuell.a - n. 1.1 f., voc. sg.\npuell.a - n. 1.1 f., abl. sg.\n");
    EXPECT_EQ(rows[1].substr(0, 8), "T:-que\n-");

    rows.clear();
    ASSERT_EQ(Analyse(u"tres", &rows), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].find("\n 3 - (CARD answers 'how many');\n"), std::string::npos);
    rows.clear();
    ASSERT_EQ(Analyse(u"amo", &rows), 1);
    EXPECT_EQ(rows, std::vector<std::string>{"E:am.o - v. 1.1, praes. ind. act., 1 sg.\n"});

    // Syncope adds no row of its own; a numeral gives a text row.
    rows.clear();
    ASSERT_EQ(Analyse(u"amasse", &rows), 1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].substr(0, 2), "E:");
    rows.clear();
    ASSERT_EQ(Analyse(u"XIV", &rows), 1);
    EXPECT_EQ(rows, std::vector<std::string>{"T:XIV - num. 2.0 - - - card.\n14  as a ROMAN NUMERAL;\n"});

    // An unknown first word gives 0 and no rows, whatever follows it.
    rows.clear();
    EXPECT_EQ(Analyse(u"xyzzy rosa", &rows), 0);
    EXPECT_TRUE(rows.empty());
}

TEST_F(LatinBridgeOverDictionary, OutputSplitsIntoCodedLinesAndGroups) {
    const std::u16string output = u"10 7\n01 am.o\n10 5 123456789012345\n03 x\n" + std::u16string(150, u'\n');
    EXPECT_EQ(bridge_.SplitOutputLines(output.data(), output.data() + output.size()), 2);
    EXPECT_EQ(bridge_.LineCount(), kMaxOutputLines);
    EXPECT_EQ(bridge_.Line(0).kind, 7);
    EXPECT_EQ(bridge_.Line(0).recordId, 0u);
    EXPECT_EQ(bridge_.Line(2).kind, 5);
    EXPECT_EQ(bridge_.Group(1).lineCount, kMaxOutputLines - 2);
    const std::u16string unknown = u"04 xyzzy    ========   UNKNOWN    \n10 7 1\n";
    EXPECT_EQ(bridge_.SplitOutputLines(unknown.data(), unknown.data() + unknown.size()), 0);
}

TEST_F(LatinBridgeOverDictionary, CallbacksWithoutABridgeAnswer255) {
    char line[kStemIndexLineSize];
    EXPECT_EQ(LatinBridge::OnFindFirstStem("ros", line), 255);   // outside Analyse: no cursors
    EXPECT_EQ(LatinBridge::OnFindNextStem(line), 255);
    EXPECT_EQ(LatinBridge::OnReadEntryText(1, line, sizeof line), 255);
}

// Callback 3 over records written here: the stated capacity, "?" for units
// from U+0100, and a block shorter than its 10-byte head answered 255.
TEST_F(LatinBridgeOverDictionary, EntryTextIsBoundedAndEightBit) {
    EngineCursor writer(engine_, dictionary_->fileId);
    ASSERT_TRUE(writer.ok());
    auto write = [&](const std::vector<uint8_t>& block) {
        uint32_t position = 0;
        EXPECT_EQ(engine_.SelectRecordType(writer.handle(), kArticleRecordType), DmsStatus::Success);
        EXPECT_EQ(engine_.WriteData(writer.handle(), block.data(), static_cast<uint32_t>(block.size()), &position),
                  DmsStatus::Success);
        return position;
    };
    const uint32_t dash = write(BuildArticleRecord(9000, 16, u"ros\u2014a\u0101 abcdefghij\nsecond line"));
    const uint32_t shortBlock = write({1, 2, 3, 4});
    bridge_.Attach(dictionary_.get());
    char out[8];
    EXPECT_EQ(LatinBridge::OnReadEntryText(dash, out, sizeof out), 0);
    EXPECT_STREQ(out, "ros?a? ");
    char whole[kEntryTextSize];
    EXPECT_EQ(LatinBridge::OnReadEntryText(dash, whole, sizeof whole), 0);
    EXPECT_STREQ(whole, "ros?a? abcdefghij");
    EXPECT_EQ(LatinBridge::OnReadEntryText(shortBlock, whole, sizeof whole), 255);
    bridge_.Release();
    EXPECT_EQ(LatinBridge::OnReadEntryText(dash, whole, sizeof whole), 255);
}

TEST_F(LatinBridgeOverDictionary, FullListAndLongStemsStayBounded) {
    // A list already holding its 2,000 entries takes no more rows.
    list_->Clear();
    for (int i = 0; i < WordList::kMaxEntries; ++i) ASSERT_NE(list_->AddEntry(nullptr, 0, 1, nullptr), nullptr);
    EXPECT_EQ(bridge_.Analyse(u"puellaque", dictionary_.get(), *list_), 1);
    EXPECT_EQ(list_->EntryCount(), WordList::kMaxEntries);

    // Callback 1 seeks with the first 79 characters of a longer stem.
    bridge_.Attach(dictionary_.get());
    char line[kStemIndexLineSize];
    const std::string longStem = "ros" + std::string(120, 'z');
    const int status = LatinBridge::OnFindFirstStem(longStem.c_str(), line);
    EXPECT_TRUE(status == 0 || status == 5) << status;
    bridge_.Release();
}

// Each page of the compiled dictionary garbled in turn (32 bytes at its
// middle): the file is refused at open, or every analysis comes out as from
// the whole file, or the bridge names the file and the read it refused and
// adds no rows. An analysis is never lost in silence.
TEST_F(LatinBridgeOverDictionary, DamagedPagesAreRefusedNeverLostInSilence) {
    const std::u16string text = u"puellaque amasse omnis divisa in partes tres quarum unam incolunt Belgae rosam video";
    std::vector<std::string> wholeRows;
    const int32_t wholeResult = Analyse(text, &wholeRows);
    const std::string whole = Narrow(bridge_.Output());
    ASSERT_TRUE(bridge_.Fault().empty());
    ASSERT_FALSE(wholeRows.empty());
    const std::string bytes = ReadText(Path("latin.qdx"));
    constexpr size_t kPage = 4096;
    int refusedAtOpen = 0, refusedByAnalysis = 0, unchanged = 0;
    for (size_t page = 1; page * kPage < bytes.size(); ++page) {
        std::string damaged = bytes;
        for (size_t i = 0; i < 32; ++i) damaged[page * kPage + kPage / 2 + i] = static_cast<char>(i * 37 + page);
        const std::u16string path = Path("damaged" + std::to_string(page) + ".qdx");
        WriteFile(path, damaged);
        RDFDictionary dictionary(0, engine_);
        dictionary.File().SetPath(path.c_str());
        if (dictionary.Open(0) != 0) {
            ++refusedAtOpen;
            continue;
        }
        WordList list(nullptr, kListTranslatedWords);
        list.AddDictionary(&dictionary);
        const int32_t result = bridge_.Analyse(text, &dictionary, list);
        if (!bridge_.Fault().empty()) {
            ++refusedByAnalysis;
            EXPECT_EQ(bridge_.Fault().substr(0, path.size() + 14), path + u": cannot read ") << page;
            EXPECT_EQ(result, 0) << page;
            EXPECT_EQ(list.EntryCount(), 0) << page;
        } else {
            ++unchanged;
            EXPECT_EQ(Narrow(bridge_.Output()), whole) << "page " << page;
            EXPECT_EQ(result, wholeResult) << page;
            EXPECT_EQ(list.EntryCount(), static_cast<int32_t>(wholeRows.size())) << page;
        }
        list.ForgetDictionary(&dictionary);
        dictionary.Close();
    }
    std::cout << "damaged pages: " << refusedAtOpen << " refused at open, " << refusedByAnalysis
              << " refused by the analysis, " << unchanged << " unchanged\n";
    EXPECT_GT(refusedByAnalysis, 3);
}

// The robustness lists and a sample of collatinus's paradigm forms through
// both hosts: the coded output is the same. OSTREL_LATIN_SWEEP=1: all words.
TEST_F(LatinBridgeOverDictionary, SameOutputAsTheMemoryHost) {
    const bool all = std::getenv("OSTREL_LATIN_SWEEP") != nullptr;
    std::vector<std::string> words = {"amo", "rosa", "puellaque", "amasse", "hortabatur", "tres", "tertius",
                                      "XIV", "inlustris", "bone", "optime", "Roma", "FOO", "sum", "fuit", "esse",
                                      std::string(20, 'i'), std::string(255, 'a'), std::string(40, 'i') + "que",
                                      "quiquiquiquiquiquidam", "MDCCCLXXXVIIII"};
    const int every = all ? 1 : 25;
    std::ifstream forms(LatinData("collatinus_forms.txt"));
    int n = 0;
    for (std::string line; std::getline(forms, line);)
        if (n++ % every == 0) words.push_back(line.substr(0, line.find(' ')));
    std::ifstream lemmas(CollatinusFile("lemmes.la"));
    for (std::string line; std::getline(lemmas, line);)
        if (!line.empty() && line[0] != '!' && n++ % (every * 8) == 0) words.push_back(Normal(Split(line, '|')[0]));
    std::ifstream freedict(std::string(OSTREL_HOST_ROOT) + "/usr/share/dictd/freedict-lat-eng.index");
    for (std::string line; std::getline(freedict, line);)
        if (n++ % (every * 4) == 0) words.push_back(Normal(Split(line, '\t')[0]));

    MemoryLatinHost memory;
    std::string loadError;
    ASSERT_TRUE(memory.LoadFolder(LatinData(""), &loadError));
    int compared = 0;
    for (std::string& word : words) {
        word.erase(std::remove_if(word.begin(), word.end(),
                                  [](char c) { return !((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' '); }),
                   word.end());
        if (word.empty()) continue;
        Analyse(std::u16string(word.begin(), word.end()));
        const std::string bridged = WithoutIds(Narrow(bridge_.Output()));
        memory.Install();
        SetLatinOption("USE_PRODUCTION_FORMAT", 1);
        ASSERT_EQ(LoadLatinData(), 0);
        CStringBuilder text;
        CodedLineWriter out(text);
        Translate(out, word.c_str());
        ASSERT_EQ(bridged, WithoutIds(Narrow(text.View()))) << word;
        ++compared;
    }
    std::cout << "same output through both hosts for " << compared << " words\n";
    EXPECT_GT(compared, 50);
}

}  // namespace
