// The registry store against Wine's real registry: types and sizes, the
// 255-unit cut, type mismatches, the installation id, and write failures
// through replaced system calls. Each test works under its own key and
// deletes it afterwards; the one test of the program's own key puts back
// whatever was there.
#include "common/settings/win/registry_store.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <regex>
#include <string>
#include <vector>

#include "common/app_context.h"
#include "common/tests/fake_app_context.h"
#include "common/settings/registry_values.h"
#include "common/settings/win/registry_error_box.h"
#include "common/win/wide_text.h"

namespace {

// Reports through a RegistryErrorBox whose "box" only counts.
class ReportingContext final : public FakeAppContext {
public:
    int32_t ReportRegistryWriteError(int32_t systemError) override {
        codes.push_back(systemError);
        answers.push_back(box.Report(systemError));
        return answers.back();
    }
    static int WINAPI CountBox(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
        ++boxes;
        lastOwner = owner;
        lastStyle = style;
        lastCaption = caption;
        return IDOK;
    }

    RegistryErrorBox box{&CountBox};
    std::vector<int32_t> codes;
    std::vector<int32_t> answers;
    static inline int boxes = 0;
    static inline UINT lastStyle = 0;
    static inline HWND lastOwner = nullptr;
    static inline std::wstring lastCaption;
};

class RegistryStoreTest : public testing::Test {
protected:
    void SetUp() override {
        ReportingContext::boxes = 0;
        previous_ = SetAppContext(&context_);
        RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str());
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, subKey_.c_str());
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quellarbin");  // only when nothing else is in it
        SetAppContext(previous_);
    }

    // The value's type and size as the system reports them; false when missing.
    bool Describe(const wchar_t* name, DWORD& type, DWORD& size) {
        return RegGetValueW(HKEY_CURRENT_USER, subKey_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                            nullptr, &size) == ERROR_SUCCESS;
    }
    void PutRaw(const wchar_t* name, DWORD type, const void* data, DWORD size) {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
        RegCloseKey(key);
    }

    std::wstring subKey_ = L"Software\\Quellarbin\\OstrelProTest-" + std::to_wstring(GetCurrentProcessId());
    RegistryStore store_{HKEY_CURRENT_USER, std::u16string(Char16View(subKey_))};
    ReportingContext context_;
    IAppContext* previous_ = nullptr;
};

bool LooksLikeBracedGuid(std::u16string_view text) {
    static const std::wregex guid(L"\\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\}");
    return std::regex_match(WideString(text), guid);
}

TEST_F(RegistryStoreTest, ValuesKeepTheirTypesAndSizes) {
    EXPECT_EQ(store_.SetString(kInstallDictionaryValue, u"C:\\a.qdx;D:\\Словари\\b.qdx"), 1);
    uint8_t date[kRegistryDateBytes];
    for (size_t i = 0; i < sizeof(date); ++i) date[i] = static_cast<uint8_t>(i * 7);
    EXPECT_EQ(store_.SetBinary(kLastDateValue, date), 1);
    std::vector<uint8_t> statistics(kRegistryStatisticsBytes, 0xAB);
    EXPECT_EQ(store_.SetBinary(kStatisticsValue, statistics), 1);
    EXPECT_EQ(store_.SetDword(kWorkingDaysValue, 0xDEADBEEF), 1);  // the key exists by now

    DWORD type = 0, size = 0;
    ASSERT_TRUE(Describe(L"InstallDictionary", type, size));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, DWORD(2 * 25 + 2));
    ASSERT_TRUE(Describe(L"LastDate", type, size));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(size, DWORD(16));
    ASSERT_TRUE(Describe(L"Statistics", type, size));
    EXPECT_EQ(size, DWORD(44));
    ASSERT_TRUE(Describe(L"WorkingDays", type, size));
    EXPECT_EQ(type, DWORD(REG_DWORD));

    std::u16string text;
    EXPECT_EQ(store_.GetString(kInstallDictionaryValue, text), 1);
    EXPECT_EQ(text, u"C:\\a.qdx;D:\\Словари\\b.qdx");
    uint8_t readDate[32] = {};
    EXPECT_EQ(store_.GetBinary(kLastDateValue, readDate), 16u);
    EXPECT_EQ(memcmp(readDate, date, 16), 0);
    uint32_t days = 0;
    EXPECT_EQ(store_.GetDword(kWorkingDaysValue, days), 1);
    EXPECT_EQ(days, 0xDEADBEEFu);
    EXPECT_TRUE(context_.codes.empty());
}

TEST_F(RegistryStoreTest, AStringOf300UnitsReadsAsItsFirst255) {
    std::u16string long300;
    for (int i = 0; i < 300; ++i) long300.push_back(static_cast<char16_t>(u'a' + i % 26));
    ASSERT_EQ(store_.SetString(kInstallDictionaryValue, long300), 1);
    std::u16string text = u"old";
    EXPECT_EQ(store_.GetString(kInstallDictionaryValue, text), 1);
    EXPECT_EQ(text, long300.substr(0, 255));
}

TEST_F(RegistryStoreTest, StringDataWithoutTerminatorIsCutAtItsEnd) {
    const wchar_t raw[] = {L'a', L'b', L'c'};
    PutRaw(L"InstallDictionary", REG_SZ, raw, sizeof(raw));
    std::u16string text;
    EXPECT_EQ(store_.GetString(kInstallDictionaryValue, text), 1);
    EXPECT_EQ(text, u"abc");
    PutRaw(L"Odd", REG_SZ, "xyz", 3);  // an odd byte count
    EXPECT_EQ(store_.GetString(u"Odd", text), 1);
    EXPECT_EQ(text.size(), 1u);
}

TEST_F(RegistryStoreTest, AValueOfAnotherTypeReadsAsMissing) {
    DWORD number = 44;
    PutRaw(L"Statistics", REG_DWORD, &number, sizeof(number));
    PutRaw(L"WorkingDays", REG_BINARY, "\x01\x02\x03\x04", 4);
    PutRaw(L"CLSID1", REG_DWORD, &number, sizeof(number));

    uint8_t statistics[kRegistryStatisticsBytes];
    memset(statistics, 0x5A, sizeof(statistics));
    EXPECT_EQ(store_.GetBinary(kStatisticsValue, statistics), 0u);
    EXPECT_EQ(statistics[0], 0x5A);  // untouched
    uint32_t days = 7;
    EXPECT_EQ(store_.GetDword(kWorkingDaysValue, days), 0);
    EXPECT_EQ(days, 7u);
    std::u16string text = u"old";
    EXPECT_EQ(store_.GetString(kInstallationIdValue, text), 0);
    EXPECT_EQ(text, u"");
}

TEST_F(RegistryStoreTest, MissingValuesAndKeysReadAsMissing) {
    uint32_t days = 3;
    EXPECT_EQ(store_.GetDword(kWorkingDaysValue, days), 0);
    EXPECT_EQ(days, 3u);
    std::u16string text = u"x";
    EXPECT_EQ(store_.GetString(kInstallationIdValue, text), 0);
    EXPECT_EQ(text, u"");
    uint8_t date[16];
    EXPECT_EQ(store_.GetBinary(kLastDateValue, date), 0u);
}

TEST_F(RegistryStoreTest, ABinaryValueLargerThanTheBufferReadsAsMissing) {
    std::vector<uint8_t> statistics(kRegistryStatisticsBytes, 1);
    ASSERT_EQ(store_.SetBinary(kStatisticsValue, statistics), 1);
    uint8_t small[16];
    memset(small, 9, sizeof(small));
    EXPECT_EQ(store_.GetBinary(kStatisticsValue, small), 0u);
    EXPECT_EQ(small[0], 9);
}

TEST_F(RegistryStoreTest, SetDwordDoesNotCreateTheKeyAndReportsThat) {
    EXPECT_EQ(store_.SetDword(kSkipPre6WarningValue, 1), 0);
    ASSERT_EQ(context_.codes.size(), 1u);
    EXPECT_EQ(context_.codes[0], ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReportingContext::boxes, 1);
    uint32_t value = 0;
    EXPECT_EQ(store_.GetDword(kSkipPre6WarningValue, value), 0);
}

struct InstallationIdCase {
    const char* name;
    size_t storedUnits;  // 0: no value
    bool kept;
};

class InstallationIdTest : public RegistryStoreTest, public testing::WithParamInterface<InstallationIdCase> {};

TEST_P(InstallationIdTest, KeepsExactly38UnitsAndReplacesAnythingElse) {
    std::u16string stored(GetParam().storedUnits, u'7');
    if (!stored.empty()) {
        ASSERT_EQ(store_.SetString(kInstallationIdValue, stored), 1);
    }
    EXPECT_EQ(EnsureInstallationId(store_), 1);
    std::u16string id;
    ASSERT_EQ(store_.GetString(kInstallationIdValue, id), 1);
    if (GetParam().kept) {
        EXPECT_EQ(id, stored);
    } else {
        EXPECT_EQ(id.size(), 38u);
        EXPECT_TRUE(LooksLikeBracedGuid(id)) << std::string(id.begin(), id.end());
    }
    // A second run keeps what the first left.
    EXPECT_EQ(EnsureInstallationId(store_), 1);
    std::u16string again;
    store_.GetString(kInstallationIdValue, again);
    EXPECT_EQ(again, id);
}

INSTANTIATE_TEST_SUITE_P(Lengths, InstallationIdTest,
                         testing::Values(InstallationIdCase{"Missing", 0, false},
                                         InstallationIdCase{"Units37", 37, false},
                                         InstallationIdCase{"Units38", 38, true},
                                         InstallationIdCase{"Units39", 39, false}),
                         [](const testing::TestParamInfo<InstallationIdCase>& info) { return info.param.name; });

TEST_F(RegistryStoreTest, TwoNewIdsDiffer) {
    EnsureInstallationId(store_);
    std::u16string first, second;
    store_.GetString(kInstallationIdValue, first);
    store_.SetString(kInstallationIdValue, u"short");
    EnsureInstallationId(store_);
    store_.GetString(kInstallationIdValue, second);
    EXPECT_NE(first, second);
}

// System calls whose writes are refused, as for a user without rights.
LSTATUS WINAPI RefuseSetValue(HKEY, LPCWSTR, DWORD, DWORD, const BYTE*, DWORD) { return ERROR_ACCESS_DENIED; }
LSTATUS WINAPI RefuseCreateKey(HKEY, LPCWSTR, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES, PHKEY,
                               LPDWORD) {
    return ERROR_ACCESS_DENIED;
}

TEST_F(RegistryStoreTest, FailedWritesAnswerZeroAndAreShownOncePerRun) {
    RegistryCalls refusing = SystemRegistryCalls();
    refusing.setValue = &RefuseSetValue;
    RegistryStore store(HKEY_CURRENT_USER, std::u16string(Char16View(subKey_)), refusing);

    uint8_t date[16] = {};
    EXPECT_EQ(store.SetString(kInstallDictionaryValue, u""), 0);  // creates the key, then fails
    EXPECT_EQ(store.SetDword(kWorkingDaysValue, 2), 0);
    EXPECT_EQ(store.SetBinary(kLastDateValue, date), 0);
    EXPECT_EQ(context_.codes, (std::vector<int32_t>{5, 5, 5}));
    EXPECT_EQ(context_.answers, (std::vector<int32_t>{2, 1, 1}));
    EXPECT_EQ(ReportingContext::boxes, 1);
    EXPECT_TRUE(context_.box.State().failed);
    EXPECT_EQ(context_.box.State().lastError, 5);

    // Nothing was written, and reads still work.
    std::u16string text = u"x";
    EXPECT_EQ(store.GetString(kInstallDictionaryValue, text), 0);
}

TEST_F(RegistryStoreTest, AKeyThatCannotBeCreatedIsReported) {
    RegistryCalls refusing = SystemRegistryCalls();
    refusing.createKey = &RefuseCreateKey;
    RegistryStore store(HKEY_CURRENT_USER, std::u16string(Char16View(subKey_)), refusing);
    std::vector<uint8_t> statistics(44);
    EXPECT_EQ(store.SetBinary(kStatisticsValue, statistics), 0);
    EXPECT_EQ(store.SetString(kInstallationIdValue, u"x"), 0);
    EXPECT_EQ(EnsureInstallationId(store), 1);  // never stops its caller
    EXPECT_EQ(context_.codes, (std::vector<int32_t>{5, 5, 5}));
    EXPECT_EQ(ReportingContext::boxes, 1);
}

TEST_F(RegistryStoreTest, ExplicitKeyStringOperations) {
    std::u16string subKey(Char16View(subKey_));
    EXPECT_EQ(RegSetString(HKEY_CURRENT_USER, subKey, u"Name", u"値"), 1);
    std::u16string text;
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, subKey, u"Name", text), 1);
    EXPECT_EQ(text, u"値");
    EXPECT_EQ(RegGetString(HKEY_CURRENT_USER, subKey + u"\\Missing", u"Name", text), 0);
    EXPECT_EQ(text, u"");
}

TEST(RegistryErrorBox, ShowsTopmostInTheSystemLanguage) {
    ReportingContext::boxes = 0;
    RegistryErrorBox box(&ReportingContext::CountBox);
    EXPECT_EQ(box.Report(0), 0);
    EXPECT_EQ(ReportingContext::boxes, 0);
    EXPECT_EQ(box.Report(1018), 2);
    EXPECT_EQ(box.Report(1018), 1);
    EXPECT_EQ(ReportingContext::boxes, 1);
    EXPECT_TRUE(ReportingContext::lastStyle & MB_TOPMOST);
    EXPECT_EQ(ReportingContext::lastOwner, nullptr);
    LANGID language = GetSystemDefaultLangID();
    EXPECT_EQ(ReportingContext::lastCaption, WideString(RegistryErrorTextsFor(language).caption));
    // The locale runs (LANG=ru_RU / ja_JP) say which language they expect.
    if (const char* expected = getenv("OSTREL_EXPECT_LANGID")) {
        EXPECT_EQ(language, static_cast<LANGID>(atoi(expected)));
    }
}

// The program's own key, seen from outside the process with reg.exe. What
// the key held before is copied aside and put back afterwards.
class ProgramRegistryKeyTest : public testing::Test {
protected:
    void SetUp() override {
        previous_ = SetAppContext(&context_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kBackup);
        HKEY existing;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &existing) == ERROR_SUCCESS) {
            HKEY backup;
            RegCreateKeyExW(HKEY_CURRENT_USER, kBackup, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &backup, nullptr);
            hadKey_ = RegCopyTreeW(existing, nullptr, backup) == ERROR_SUCCESS;
            RegCloseKey(backup);
            RegCloseKey(existing);
            ASSERT_TRUE(hadKey_);
            RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
        }
    }
    void TearDown() override {
        RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
        if (hadKey_) {
            HKEY backup, restored;
            RegOpenKeyExW(HKEY_CURRENT_USER, kBackup, 0, KEY_READ, &backup);
            RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &restored,
                            nullptr);
            RegCopyTreeW(backup, nullptr, restored);
            RegCloseKey(restored);
            RegCloseKey(backup);
            RegDeleteTreeW(HKEY_CURRENT_USER, kBackup);
        }
        RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Quellarbin");  // only when nothing else is in it
        SetAppContext(previous_);
    }

    static constexpr wchar_t kProgramKey[] = L"Software\\Quellarbin\\OstrelPro";
    static constexpr wchar_t kBackup[] = L"Software\\Quellarbin\\OstrelPro.test-backup";
    bool hadKey_ = false;
    ReportingContext context_;
    IAppContext* previous_ = nullptr;
};

// Runs `command` and answers what it wrote to its standard output.
std::string CaptureOutput(std::wstring command) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION process{};
    BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                  nullptr, &startup, &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char chunk[4096];
        DWORD read;
        while (ReadFile(readEnd, chunk, sizeof(chunk), &read, nullptr) && read > 0) output.append(chunk, read);
        WaitForSingleObject(process.hProcess, 30000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

TEST_F(ProgramRegistryKeyTest, ValuesAreSeenByRegQuery) {
    EXPECT_EQ(EnsureInstallationId(), 1);
    std::u16string id;
    ASSERT_EQ(RegGetString(kInstallationIdValue, id), 1);
    ASSERT_TRUE(LooksLikeBracedGuid(id));
    EXPECT_EQ(RegSetDword(NoRemindValueName(9), 31), 1);  // the key exists now
    uint8_t date[16] = {0xEA, 0x07, 12};
    EXPECT_EQ(RegSetBinary(kUpdateReqDateValue, date), 1);
    EXPECT_TRUE(context_.codes.empty());

    std::string output = CaptureOutput(L"reg.exe query \"HKCU\\Software\\Quellarbin\\OstrelPro\"");
    std::string narrowId(id.begin(), id.end());
    EXPECT_NE(output.find("CLSID1"), std::string::npos) << output;
    EXPECT_NE(output.find("REG_SZ"), std::string::npos) << output;
    EXPECT_NE(output.find(narrowId), std::string::npos) << output;
    EXPECT_NE(output.find("NoRemind:"), std::string::npos) << output;
    EXPECT_NE(output.find("0x1f"), std::string::npos) << output;
    EXPECT_NE(output.find("UpdateReqDate"), std::string::npos) << output;
    EXPECT_NE(output.find("REG_BINARY"), std::string::npos) << output;
    EXPECT_NE(output.find("EA070C00"), std::string::npos) << output;
}

}  // namespace
