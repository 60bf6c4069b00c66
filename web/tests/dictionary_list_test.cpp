// The downloadable list: parsing, judging (hostile file names included) and
// the number, version and grouping helpers; random and mutated lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <random>
#include <string>

#include "common/tests/test_files.h"
#include "common/text/utf8.h"
#include "web/dictionary_list.h"
#include "web/download_name.h"

namespace {

std::string Item(const std::string& fields) { return "[Dictionary1]\n" + fields; }

int32_t JudgeOne(const std::string& text) {
    CWebDictionaries list;
    list.SetText(text);
    EXPECT_EQ(list.Parse(), 1);
    return list.Count() == 1 ? list.Items()[0].validity : -100;
}

const std::string kGood = "Url=http://127.0.0.1/dic/\nFilename=kanjidic.qdx\nSize=1000\n";

TEST(DictionaryList, ParsesItemsInTextOrderWithCrLfLikeLf) {
    const std::string text =
        "Header=ignored before any item\n"
        "[Dic1]\n Url = http://h/d/ \nFilename=a.qdx\nSize=12\nType=Book\nVersion=1.2.3\nShortNameE=A=B\n"
        "Size=\n"                                  // an empty value is ignored
        "url=http://ignored/\n"                    // keys are case-sensitive
        "[Dic2]\nUrl=http://h/first/\nUrl=http://h/second/\nFilename=b.qdx\nSize=5\nType=Other\n";
    std::string crlf;
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    for (const std::string& t : {text, crlf}) {
        CWebDictionaries list;
        list.SetText(t);
        ASSERT_EQ(list.Parse(), 2);
        const CWebDictionary& first = list.Items()[0];
        EXPECT_EQ(first.Field(WebField::Url).text, u"http://h/d/");
        EXPECT_EQ(first.Field(WebField::Size).value, 12);
        EXPECT_EQ(first.Field(WebField::Type).value, web_type::kBook);
        EXPECT_EQ(first.Field(WebField::Version).value, 0x01020300);
        EXPECT_EQ(first.Field(WebField::ShortNameE).text, u"A=B");
        EXPECT_EQ(first.validity, web_item::kUsable);
        const CWebDictionary& second = list.Items()[1];
        EXPECT_EQ(second.Field(WebField::Url).text, u"http://h/second/");   // a repeated key replaces
        EXPECT_EQ(second.Field(WebField::Type).value, web_type::kUnknown);
        EXPECT_EQ(second.GetDownloadUrl(), u"http://h/second/b.qdx");
    }
    CWebDictionaries none;
    none.SetText("Url=http://h/\nFilename=a.qdx\n[Di]\n");
    EXPECT_EQ(none.Parse(), 0);
}

TEST(DictionaryList, JudgesItemsFirstRuleFirst) {
    const std::string longUrl = "http://h/" + std::string(248, 'u');   // 257 units
    EXPECT_EQ(JudgeOne(Item(kGood)), web_item::kUsable);
    EXPECT_EQ(JudgeOne(Item("Filename=a.qdx\nSize=1\n")), web_item::kNoUrlOrFilename);
    EXPECT_EQ(JudgeOne(Item("Url=http:/\nFilename=a.qdx\nSize=1\n")), web_item::kShortUrl);
    EXPECT_EQ(JudgeOne(Item("Url=" + longUrl + "\nFilename=a.qdx\nSize=1\n")), web_item::kLongUrl);
    EXPECT_EQ(JudgeOne(Item("Url=http://h/d/\nSize=1\n")), web_item::kNoUrlOrFilename);
    EXPECT_EQ(JudgeOne(Item("Url=http://h/d/\nFilename=a.qdx\nSize=0\n")), web_item::kNoSize);
    EXPECT_EQ(JudgeOne(Item(kGood + "AppVerMin=11.11.0.2\n")), web_item::kProgramTooOld);
    EXPECT_EQ(JudgeOne(Item(kGood + "AppVerMin=11.11.0.1\n")), web_item::kUsable);
    EXPECT_EQ(JudgeOne(Item(kGood + "AppVerMax=11.11.0.0\n")), web_item::kProgramTooNew);
    EXPECT_EQ(JudgeOne(Item(kGood + "AppVerMax=11.11.0.1\n")), web_item::kUsable);
    // Url and Filename within 256 each but together past the 255 of the
    // download URL: refused, never fetched under a cut URL.
    const std::string url = "http://h/" + std::string(200, 'u') + "/";
    EXPECT_EQ(JudgeOne(Item("Url=" + url + "\nFilename=" + std::string(50, 'f') + ".qdx\nSize=1\n")),
              web_item::kDownloadUrlTooLong);
    // Only addresses a transfer can fetch; https and a port of its own are fine.
    for (const char* bad : {"file:///etc/", "ftp://h/d/", "//h.example/d/", "http:///d/", "http://h:0/d/", "HTTPS:/h/d/",
                            "h.example/d/", "httpx://h/d/"}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(JudgeOne(Item(std::string("Url=") + bad + "\nFilename=a.qdx\nSize=1\n")), web_item::kNotWebUrl);
    }
    // A scheme's letters in either case (a URL's scheme is not case-sensitive).
    for (const char* good : {"https://h:8443/d/", "HTTP://h/d/", "Https://h.example/d/", "hTTp://h/d/"}) {
        SCOPED_TRACE(good);
        EXPECT_EQ(JudgeOne(Item(std::string("Url=") + good + "\nFilename=a.qdx\nSize=1\n")), web_item::kUsable);
    }
}

TEST(DictionaryList, HostileFileNamesMakeTheItemUnusable) {
    for (const char* name : {"..\\..\\windows\\evil.qdx", "../evil.qdx", "sub\\a.qdx", "sub/a.qdx", "C:evil.qdx",
                             "c:\\evil.qdx", "a.qdx:stream", "..qdx", "a..qdx", "a.txt", "a.qdx.exe", ".qdx",
                             "CON.qdx", "nul.qdx", "com1.qdx", "LPT9.qdx", "conin$.qdx", "a.qdx.", "a\tb.qdx", "a\x01.qdx", "a?.qdx", "a*.qdx", "a|b.qdx", "a\"b.qdx",
                             "a<b.qdx"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(JudgeOne(Item(std::string("Url=http://h/d/\nFilename=") + name + "\nSize=1\n")),
                  web_item::kUnsafeFilename);
    }
    // Blanks around a value are the parser's; inside a name Windows would drop them.
    EXPECT_FALSE(IsSafeDownloadName(u"a.qdx "));
    EXPECT_FALSE(IsSafeDownloadName(u" a.qdx"));
    for (const char* name : {"kanjidic.qdx", "EDICT.QDX", "console.qdx", "com10.qdx", "a.b.qdx", "日本.qdx"})
        EXPECT_TRUE(IsSafeDownloadName(Utf8ToUtf16(name))) << name;
}

TEST(DictionaryList, TargetMustLieDirectlyInTheFolder) {
    EXPECT_TRUE(LiesDirectlyInFolder(u"C:\\Users\\u\\Dictionaries\\a.qdx", u"c:\\users\\U\\Dictionaries\\"));
    EXPECT_FALSE(LiesDirectlyInFolder(u"C:\\Users\\u\\a.qdx", u"C:\\Users\\u\\Dictionaries"));
    EXPECT_FALSE(LiesDirectlyInFolder(u"C:\\Users\\u\\DictionariesX\\a.qdx", u"C:\\Users\\u\\Dictionaries"));
    EXPECT_FALSE(LiesDirectlyInFolder(u"C:\\Users\\u\\Dictionaries\\s\\a.qdx", u"C:\\Users\\u\\Dictionaries"));
    EXPECT_FALSE(LiesDirectlyInFolder(u"C:\\Users\\u\\Dictionaries\\", u"C:\\Users\\u\\Dictionaries"));
}

// Older builds left a cancelled download's empty file in the Dictionaries
// folder; a start removes those and nothing else: a download's file with
// bytes in it, names of the user's that only look alike, other leftovers.
TEST(DictionaryList, AStartRemovesOnlyEmptyDownloadFiles) {
    EXPECT_EQ(DownloadFileName(0), u"Download.qdx");
    EXPECT_EQ(DownloadFileName(7), u"Download-07.qdx");
    EXPECT_EQ(DownloadFileName(99), u"Download-99.qdx");
    ScratchFolder folder{"empty-downloads"};
    const std::map<std::string, std::string> kept = {
        {"Download-05.qdx", "bytes"}, {"Download-00.qdx", ""},     {"Download-1.qdx", ""}, {"Download-100.qdx", ""},
        {"Download-0a.qdx", ""},      {"Download.qdx.tmp~", ""},   {"MyDownload.qdx", ""}, {"Download-01.qdx.txt", ""},
        {"edict.qdx", ""}};
    for (const auto& [name, content] : kept) std::ofstream(folder / name, std::ios::binary) << content;
    for (const char* name : {"Download.qdx", "Download-01.qdx", "download-04.QDX", "Download-99.qdx"})
        std::ofstream(folder / name, std::ios::binary).flush();
    EXPECT_EQ(RemoveEmptyDownloads(folder.path().u16string()), 4);
    std::map<std::string, std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
        left[entry.path().filename().string()] = ReadText(entry.path());
    EXPECT_EQ(left, kept);
    EXPECT_EQ(RemoveEmptyDownloads((folder / "absent").u16string()), 0);
}

TEST(DictionaryList, NumbersVersionsAndGrouping) {
    StrSlice number{u"199999999", 0};
    EXPECT_EQ(number.ParseNumber(), 199999999);
    number.text = u"2000000000";
    EXPECT_EQ(number.ParseNumber(), -1);
    number.text = u"20000000000000";   // stays -1 however many digits follow
    EXPECT_EQ(number.ParseNumber(), -1);
    number.text = u"12ab3";
    EXPECT_EQ(number.ParseNumber(), 12);
    StrSlice version{u"11.11.0.2", 0};
    EXPECT_EQ(version.ParseVersion(), 1);
    EXPECT_EQ(version.value, 0x0B0B0002);
    version.text = u"1.101";
    EXPECT_EQ(version.ParseVersion(), 0);
    EXPECT_EQ(version.value, 0);
    StrSlice digits{u"1234567", 0};
    EXPECT_EQ(digits.CopyGrouped(true), u"1,234,567");
    EXPECT_EQ(digits.CopyGrouped(false), u"1 234 567");
    digits.text = u"123";
    EXPECT_EQ(digits.CopyGrouped(true), u"123");
    EXPECT_EQ(digits.CopyTo(3), u"12");
}

TEST(DictionaryList, NewTextDropsTheItemsOfTheOldOne) {
    CWebDictionaries list;
    EXPECT_EQ(list.Parse(), 0);   // no text: nothing
    list.SetText(Item(kGood));
    ASSERT_EQ(list.Parse(), 1);
    uint32_t generation = list.Generation();
    list.SetText("\xFF\xFE broken");
    EXPECT_EQ(list.Count(), 0);
    EXPECT_NE(list.Generation(), generation);
    EXPECT_EQ(list.Parse(), 0);
}

// Random and mutated lists: every item judged usable has a safe name and a
// download URL of at most 255 units, and every field lies in the text.
TEST(DictionaryList, RandomAndMutatedListsKeepTheInvariants) {
    std::mt19937 random(45);
    const std::string seed = "[Dic1]\n" + kGood + "Articles=123456\nVersion=1.2\nType=Dictionary\n[Dic2]\nUrl=" +
                             "http://h/x/\nFilename=b.qdx\nSize=77\nAppVerMin=11.11\n";
    const std::string alphabet = "[]=\n\r .:\\/Dic0123456789UrlFilenameSizeqdx\xE6\x97\xA5\xEF\xBB\xBF\xFF\x80";
    for (int round = 0; round < 3000; ++round) {
        std::string text = seed;
        int edits = 1 + static_cast<int>(random() % 20);
        for (int e = 0; e < edits; ++e) {
            size_t at = text.empty() ? 0 : random() % text.size();
            char c = alphabet[random() % alphabet.size()];
            switch (random() % 3) {
            case 0: text.insert(text.begin() + static_cast<long>(at), c); break;
            case 1: if (!text.empty()) text.erase(at, 1); break;
            default: if (!text.empty()) text[at] = c; break;
            }
        }
        if (round % 10 == 0) text.resize(random() % (text.size() + 1));
        CWebDictionaries list;
        list.SetText(text);
        list.Parse();
        for (const CWebDictionary& item : list.Items()) {
            if (item.validity != web_item::kUsable) continue;
            ASSERT_TRUE(IsSafeDownloadName(item.Field(WebField::Filename).text)) << text;
            ASSERT_FALSE(item.GetDownloadUrl().empty());
            ASSERT_LE(item.GetDownloadUrl().size(), 255u);
            ASSERT_GT(item.Field(WebField::Size).value, 0);
        }
    }
}

}  // namespace
