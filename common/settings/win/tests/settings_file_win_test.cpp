// The settings store over Wine's real private-profile functions, and the
// one-time conversion of an ANSI settings file. Every test works in its own
// temporary folder and removes it afterwards.
#include "common/settings/settings_file.h"
#include "common/tests/test_paths.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "common/settings/win/ensure_unicode_ini.h"
#include "common/settings/win/private_profile_store.h"
#include "common/tests/test_files.h"
#include "common/win/wide_text.h"

namespace {

void WriteBytes(const std::wstring& path, const void* data, size_t size) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    if (size) WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    ASSERT_EQ(written, size);
}

void WriteUnicodeFile(const std::wstring& path, std::wstring_view text) {
    std::wstring content(1, wchar_t(0xFEFF));
    content += text;
    WriteBytes(path, content.data(), content.size() * sizeof(wchar_t));
}

// The file as UTF-16 text without its byte-order mark; empty when it has none.
std::wstring UnicodeText(const std::wstring& path) {
    std::vector<unsigned char> bytes = ReadBytes(path);
    if (bytes.size() < 2 || bytes[0] != 0xFF || bytes[1] != 0xFE)
        return {};
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2);
}

class SettingsFolderTest : public testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        static int counter = 0;
        folder_ = std::wstring(temp) + L"OstrelProSettings-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter);
        ASSERT_TRUE(CreateDirectoryW(folder_.c_str(), nullptr));
        path_ = folder_ + L"\\OstrelPro.ini";
    }
    void TearDown() override {
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                std::wstring full = folder_ + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveDirectoryW(full.c_str());
                else DeleteFileW(full.c_str());
            } while (FindNextFileW(search, &found));
            FindClose(search);
        }
        EXPECT_TRUE(RemoveDirectoryW(folder_.c_str()));
    }

    std::u16string Folder() const { return std::u16string(Char16View(folder_)); }
    std::unique_ptr<CIni> Open() const { return OpenSettingsFile(Folder()); }
    size_t FilesInFolder() const {
        size_t count = 0;
        WIN32_FIND_DATAW found;
        HANDLE search = FindFirstFileW((folder_ + L"\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return 0;
        do {
            if (wcscmp(found.cFileName, L".") && wcscmp(found.cFileName, L"..")) ++count;
        } while (FindNextFileW(search, &found));
        FindClose(search);
        return count;
    }

    std::wstring folder_;
    std::wstring path_;
};

TEST(SettingsFilePath, RefusesFoldersThatGiveNoFullPath) {
    EXPECT_FALSE(SettingsFilePath(u""));
    EXPECT_FALSE(SettingsFilePath(u"OstrelPro"));          // relative: would land in the Windows folder
    EXPECT_FALSE(SettingsFilePath(u"C:\\" + std::u16string(300, u'a')));
    EXPECT_FALSE(SettingsFilePath(u"C:\\" + std::u16string(250, u'b')));  // no room for the name
    EXPECT_FALSE(SettingsFilePath(std::u16string(u"C:\\a\0b", 6)));
    auto path = SettingsFilePath(u"C:\\users\\me\\Application Data\\OstrelPro");
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, L"C:\\users\\me\\Application Data\\OstrelPro\\OstrelPro.ini");
    auto withSlash = SettingsFilePath(u"C:\\users\\me\\");
    ASSERT_TRUE(withSlash);
    EXPECT_EQ(*withSlash, L"C:\\users\\me\\OstrelPro.ini");
}

TEST(SettingsFilePath, ARefusedFolderNeverTouchesTheWindowsFolder) {
    wchar_t windows[MAX_PATH];
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring fallback = std::wstring(windows) + L"\\OstrelPro.ini";
    ASSERT_EQ(GetFileAttributesW(fallback.c_str()), INVALID_FILE_ATTRIBUTES);
    for (std::u16string folder : {std::u16string(), std::u16string(u"OstrelPro"), u"C:\\" + std::u16string(300, u'a')}) {
        std::unique_ptr<CIni> ini = OpenSettingsFile(folder);
        EXPECT_EQ(ini->WriteString(u"Application", u"Version", u"11.11.0"), 0);
        EXPECT_EQ(ini->GetString(u"Application", u"Version", u"none"), u"none");
        EXPECT_EQ(EnsureUnicodeIni(folder), 0);
    }
    EXPECT_EQ(GetFileAttributesW(fallback.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesW(L"OstrelPro.ini"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SettingsFolderTest, ANewInstallationStartsWithApplicationVersion) {
    EnsureUnicodeIni(Folder());
    std::vector<unsigned char> bytes = ReadBytes(path_);
    ASSERT_GE(bytes.size(), 28u);
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), 14), L"\xFEFF[Application]");
    // Exactly the section and the Version line, whatever line ends the system chose.
    std::wstring text = UnicodeText(path_);
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of(L"\r\n", start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    EXPECT_EQ(lines, (std::vector<std::wstring>{L"[Application]", L"Version=11.11.0"}));

    std::unique_ptr<CIni> ini = Open();
    ini->LoadMainState();
    EXPECT_EQ(ini->version, 0x0B0B0000u);
    EXPECT_EQ(ini->flags, 0u);   // Version is there
    EXPECT_EQ(ini->valid, 0);    // but no window size yet
}

TEST_F(SettingsFolderTest, AUnicodeFileIsLeftAlone) {
    WriteUnicodeFile(path_, L"[Application]\r\nVersion=11.0.3\r\n[Fonts]\r\nRusName=Курьер\r\n");
    std::vector<unsigned char> before = ReadBytes(path_);
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(SettingsFolderTest, GetAndWriteThroughTheProfileFunctions) {
    WriteUnicodeFile(path_, L"[Print]\r\nLetters=abc\r\nEmpty=\r\nMixed=12pt\r\nPlain=305\r\n"
                            L"[Window]\r\nx=-1280\r\ny=-1\r\n");
    std::unique_ptr<CIni> ini = Open();
    EXPECT_EQ(ini->GetInt(u"Print", u"Letters", 9), 0);
    EXPECT_EQ(ini->GetInt(u"Print", u"Empty", 9), 9);
    EXPECT_EQ(ini->GetInt(u"Print", u"Mixed", 9), 12);
    EXPECT_EQ(ini->GetInt(u"Print", u"Plain", 9), 305);
    EXPECT_EQ(ini->GetInt(u"Print", u"Missing", 9), 9);
    EXPECT_EQ(ini->GetInt(u"Nowhere", u"Letters", 9), 9);
    EXPECT_EQ(ini->GetInt(u"Window", u"x", 0), -1280);
    EXPECT_EQ(ini->GetInt(u"Window", u"y", 0), -1);
    EXPECT_EQ(ini->GetString(u"Print", u"Empty", u"dflt"), u"dflt");
    EXPECT_EQ(ini->GetString(u"Fonts", u"RusName", u"Arial", 31), u"Arial");

    EXPECT_EQ(ini->WriteString(u"Fonts", u"RusName", u"Таймс"), 1);
    EXPECT_EQ(ini->WriteString(u"Fonts", u"KanjiName", u"ＭＳ 明朝"), 1);
    EXPECT_EQ(ini->WriteInt(u"Editor", u"Left", -640), 1);
    std::u16string layout(255, u'ж');
    EXPECT_EQ(ini->WriteString(u"View", u"WordsKanaList", layout + u"tail"), 1);

    // A value with a line break could write keys of its own; it is refused.
    EXPECT_EQ(ini->WriteString(u"View", u"MemoList", u"x\r\n[Application]\r\nFlags=16384"), 0);

    std::unique_ptr<CIni> reread = Open();
    EXPECT_EQ(reread->GetInt(u"Application", u"Flags", -7), -7);
    EXPECT_EQ(reread->GetString(u"Fonts", u"RusName", u"Arial", 31), u"Таймс");
    EXPECT_EQ(reread->GetString(u"Fonts", u"KanjiName", u"MS UI Gothic", 31), u"ＭＳ 明朝");
    EXPECT_EQ(reread->GetInt(u"Editor", u"Left", 0), -640);
    EXPECT_EQ(reread->GetString(u"View", u"WordsKanaList", u"", 255), layout);
    EXPECT_EQ(reread->GetString(u"View", u"WordsKanaList").size(), 259u);  // long values are read whole
    // The profile functions kept the file in UTF-16.
    EXPECT_NE(UnicodeText(path_).find(L"Таймс"), std::wstring::npos);
}

TEST_F(SettingsFolderTest, MainStateSurvivesSaveAndLoad) {
    EnsureUnicodeIni(Folder());
    {
        std::unique_ptr<CIni> ini = Open();
        ini->LoadMainState();
        EXPECT_EQ(ini->valid, 0);
        ini->flags = 0x4000 | 0x20000;
        ini->x = -1500;
        ini->y = -30;
        ini->cx = 1100;
        ini->cy = 760;
        ini->cy2 = 240;
        EXPECT_EQ(ini->SaveMainState(1), 1);
    }
    std::unique_ptr<CIni> ini = Open();
    EXPECT_EQ(ini->LoadMainState(), 1);
    EXPECT_EQ(ini->valid, 1);
    EXPECT_EQ(ini->version, 0x0B0B0000u);
    EXPECT_EQ(ini->flags, 0x24000u);
    EXPECT_EQ(ini->x, -1500);
    EXPECT_EQ(ini->y, -30);
    EXPECT_EQ(ini->cx, 1100);
    EXPECT_EQ(ini->cy, 760);
    EXPECT_EQ(ini->cy2, 240);
    EXPECT_EQ(ini->searchOnListSwitch, 1);
    EXPECT_EQ(ini->GetInt(u"Application", u"ShellInstall", 0), 1);
}

TEST_F(SettingsFolderTest, MissingVersionMarksAFirstRun) {
    WriteUnicodeFile(path_, L"[Application]\r\nFlags=2048\r\n[Window]\r\ncx=800\r\ncy=600\r\n");
    std::unique_ptr<CIni> ini = Open();
    ini->LoadMainState();
    EXPECT_EQ(ini->flags, 0x800u | 0x8000u);
    EXPECT_EQ(ini->valid, 0);
}

TEST_F(SettingsFolderTest, DictionarySlotsKeepCommasAndJapanesePaths) {
    EnsureUnicodeIni(Folder());
    std::unique_ptr<CIni> ini = Open();
    std::u16string comma = u"C:\\Dicts, old\\a.qdx";
    std::u16string japanese = u"C:\\ユーザー\\ソフト\\表計算辞書.qdx";
    EXPECT_EQ(ini->WriteDictionarySlot(&comma, 0, 2), 1);
    EXPECT_EQ(ini->WriteDictionarySlot(&japanese, 1, 3), 1);
    EXPECT_EQ(ini->WriteDictionarySlot(nullptr, 2, 0), 1);

    std::unique_ptr<CIni> reread = Open();
    std::u16string path;
    int32_t state = -1;
    EXPECT_GT(reread->ReadDictionarySlot(path, 0, state), 0);
    EXPECT_EQ(path, comma);
    EXPECT_EQ(state, 2);
    reread->ReadDictionarySlot(path, 1, state);
    EXPECT_EQ(path, japanese);
    EXPECT_EQ(state, 3);
    EXPECT_EQ(reread->ReadDictionarySlot(path, 2, state), 0);  // cleared
    EXPECT_EQ(path, u"");
    EXPECT_EQ(reread->GetString(u"Dictionaries", u"File1"), u"C:\\Dicts, old\\a.qdx,2");
}

TEST_F(SettingsFolderTest, AnAnsiFileIsConvertedOnce) {
    const char ansi[] = "[Application]\r\nVersion=11.9.1\r\nFlags=16384\r\n[Window]\r\nx=-5\r\ncx=640\r\ncy=480\r\n";
    WriteBytes(path_, ansi, sizeof(ansi) - 1);
    EnsureUnicodeIni(Folder());
    std::vector<unsigned char> converted = ReadBytes(path_);
    EXPECT_EQ(UnicodeText(path_), L"[Application]\r\nVersion=11.9.1\r\nFlags=16384\r\n[Window]\r\nx=-5\r\ncx=640\r\ncy=480\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);  // no temporary file left

    EnsureUnicodeIni(Folder());
    EXPECT_EQ(ReadBytes(path_), converted);
    std::unique_ptr<CIni> ini = Open();
    ini->LoadMainState();
    EXPECT_EQ(ini->valid, 1);
    EXPECT_EQ(ini->version, 0x0B090100u);
    EXPECT_EQ(ini->x, -5);
}

TEST_F(SettingsFolderTest, AnEmptyOrOneByteFileBecomesUnicode) {
    WriteBytes(path_, "", 0);
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(ReadBytes(path_), (std::vector<unsigned char>{0xFF, 0xFE}));
    WriteBytes(path_, "x", 1);
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(UnicodeText(path_), L"x");
    std::unique_ptr<CIni> ini = Open();
    EXPECT_EQ(ini->WriteString(u"Fonts", u"RusName", u"Ариал"), 1);
    EXPECT_EQ(Open()->GetString(u"Fonts", u"RusName"), u"Ариал");
}

TEST_F(SettingsFolderTest, AFailedConversionLeavesTheOldFileWhole) {
    const char ansi[] = "[Application]\r\nVersion=11.9.1\r\n";
    WriteBytes(path_, ansi, sizeof(ansi) - 1);
    // The temporary file cannot be made: a folder holds its name.
    std::wstring blocker = path_ + L".converting";
    ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(ReadBytes(path_), std::vector<unsigned char>(ansi, ansi + sizeof(ansi) - 1));
    RemoveDirectoryW(blocker.c_str());
    // A left-over temporary file from an interrupted run is simply replaced.
    WriteBytes(blocker, "junk", 4);
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(UnicodeText(path_), L"[Application]\r\nVersion=11.9.1\r\n");
    EXPECT_EQ(FilesInFolder(), 1u);
}

// Sections and values of a UTF-8 sample, decoded independently of the
// conversion under test.
std::map<std::pair<std::wstring, std::wstring>, std::wstring> ParseUtf8Sample(const std::wstring& path) {
    std::vector<unsigned char> bytes = ReadBytes(path);
    const char* utf8 = reinterpret_cast<const char*>(bytes.data());
    int units = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring text(units, L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, static_cast<int>(bytes.size()), text.data(), units);
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    std::wstring section;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        start = end + 1;
        if (line.size() > 1 && line.front() == L'[' && line.back() == L']') {
            section = line.substr(1, line.size() - 2);
        } else if (size_t equals = line.find(L'='); equals != std::wstring::npos) {
            values[{section, line.substr(0, equals)}] = line.substr(equals + 1);
        }
    }
    return values;
}

std::wstring Widen(const char* ascii) { return std::wstring(ascii, ascii + strlen(ascii)); }

}  // namespace

// Run by the locale entries of the test list: LANG gives Wine its ANSI code
// page (1251 for ru_RU, 932 for ja_JP), and the sample made by iconv in that
// code page must come through whole.
class AnsiSettingsFile : public SettingsFolderTest {};

TEST_F(AnsiSettingsFile, ConvertedOnceKeepsEveryValue) {
    const char* sample = getenv("OSTREL_ANSI_SAMPLE");
    const char* codepage = getenv("OSTREL_ANSI_CODEPAGE");
    if (!sample || !codepage) GTEST_SKIP() << "run by the locale entries (LANG=ru_RU.UTF-8, ja_JP.UTF-8)";
    ASSERT_EQ(GetACP(), static_cast<UINT>(atoi(codepage))) << "the locale is not installed";

    std::wstring name = L"settings_" + Widen(sample) + L".ini";
    std::vector<unsigned char> ansi = ReadBytes(Widen(BinaryPath().c_str()) + L"/common/ansi_settings/" + name);
    std::wstring utf8Sample = Widen(SourcePath().c_str()) + L"/common/settings/win/tests/data/" + name;
    ASSERT_FALSE(ansi.empty());
    ASSERT_NE(ansi, ReadBytes(utf8Sample));  // the sample is not plain ASCII
    WriteBytes(path_, ansi.data(), ansi.size());

    EnsureUnicodeIni(Folder());
    std::vector<unsigned char> converted = ReadBytes(path_);
    ASSERT_FALSE(UnicodeText(path_).empty());
    auto expected = ParseUtf8Sample(utf8Sample);
    ASSERT_GE(expected.size(), 7u);
    auto checkValues = [&] {
        std::unique_ptr<CIni> ini = Open();
        for (const auto& [where, value] : expected) {
            EXPECT_EQ(ini->GetString(Char16View(where.first), Char16View(where.second)), Char16View(value))
                << "key " << std::string(where.second.begin(), where.second.end());
        }
        std::u16string path;
        int32_t state = -1;
        ini->ReadDictionarySlot(path, 0, state);
        std::wstring slot = expected.at({L"Dictionaries", L"File1"});
        EXPECT_EQ(path, Char16View(slot.substr(0, slot.rfind(L','))));
        EXPECT_EQ(state, _wtoi(slot.c_str() + slot.rfind(L',') + 1));
    };
    checkValues();

    // A second start leaves it as it is.
    EnsureUnicodeIni(Folder());
    EXPECT_EQ(ReadBytes(path_), converted);
    checkValues();
    EXPECT_EQ(FilesInFolder(), 1u);
}
