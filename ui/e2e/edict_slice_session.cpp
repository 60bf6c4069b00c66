// The EDICT slice's words and a program run over it.
#include "common/tests/test_paths.h"
#include "ui/e2e/edict_slice_session.h"

#include <gtest/gtest.h>

#include <span>
#include <vector>

#include "common/tests/edict_files.h"
#include "common/tests/test_files.h"

std::u16string SliceReading() {
    std::vector<uint8_t> bytes = ReadBytes(BinaryPath() + "/ui/e2e-data/edict-slice");
    std::vector<std::span<const uint8_t>> lines = SplitLines(bytes);
    for (size_t i = lines.size() / 2; i < lines.size(); ++i) {
        std::u16string text = DecodeEucJpLine(lines[i]);
        size_t open = text.find(u" ["), close = text.find(u"] /");
        if (open == std::u16string::npos || close == std::u16string::npos || close <= open) continue;
        std::u16string reading = text.substr(open + 2, close - open - 2);
        bool hiragana = reading.size() >= 3 && reading.size() <= 4;
        for (char16_t c : reading) hiragana = hiragana && c >= 0x3041 && c <= 0x3093;
        if (hiragana) return reading;
    }
    return {};
}

HWND StartWithSlice(ProgramRun& run, TestFolders& folders) {
    return StartWithDictionaries(run, folders, {L"edict-slice.qdx"});
}

void PrepareDictionaries(TestFolders& folders, std::initializer_list<const wchar_t*> built,
                         const std::wstring& settings) {
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::string binary = BinaryPath();
    std::wstring listed;
    int number = 0;
    for (const wchar_t* name : built) {
        const std::wstring dictionary = folders.DictionariesFolder() + L"\\" + name;
        EXPECT_TRUE(CopyFileW((std::wstring(binary.begin(), binary.end()) + L"\\ui\\e2e-data\\" + name).c_str(),
                              dictionary.c_str(), FALSE)) << "a dictionary the build compiles is missing";
        listed += L"File" + std::to_wstring(++number) + L"=" + dictionary + L",0\r\n";
    }
    WriteSettings(folders, settings + L"[Dictionaries]\r\n" + listed);
}

HWND StartWithDictionaries(ProgramRun& run, TestFolders& folders, std::initializer_list<const wchar_t*> built,
                           const std::wstring& settings) {
    PrepareDictionaries(folders, built, settings);
    return run.WaitForFrameWithoutClipboardMonitor();
}
