// Column layouts across a run of OstrelPro.exe: a stored layout gives the
// reading list's header its columns and widths, a hand-damaged one gives way
// to the built-in layout, and the program writes every layout back to
// [View] when it ends, so the widths survive a restart.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/tests/test_paths.h"
#include "ui/e2e/program_session.h"

namespace {

HWND VisibleListHeader(HWND frame) {
    for (HWND list = FindWindowExW(frame, nullptr, L"Ostrel List View", nullptr); list;
         list = FindWindowExW(frame, list, L"Ostrel List View", nullptr))
        if (IsWindowVisible(list)) return FindWindowExW(list, nullptr, WC_HEADERW, nullptr);
    return nullptr;
}

int HeaderItemWidth(HWND header, int item) {
    RemoteMemory memory(header, sizeof(RECT));
    RECT rect{};
    if (!memory.Valid() || !SendMessageW(header, HDM_GETITEMRECT, item, memory.At(0))) return -1;
    memory.Read(0, &rect, sizeof(rect));
    return rect.right - rect.left;
}

TEST(ListLayoutsEndToEnd, StoredWidthsShowAndAreWrittenBackAtExit) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    TestFolders folders = PrepareTest(L"ListLayouts.Restart");
    std::wstring dictionary = folders.DictionariesFolder() + L"\\edict-slice.qdx";
    CreateDirectoryW((folders.documents + L"\\OstrelPro").c_str(), nullptr);
    CreateDirectoryW(folders.DictionariesFolder().c_str(), nullptr);
    std::string source = BinaryPath("/ui/e2e-data/edict-slice.qdx");
    ASSERT_TRUE(CopyFileW(std::wstring(source.begin(), source.end()).c_str(), dictionary.c_str(), FALSE));
    WriteSettings(folders, L"[Window]\r\nx=20\r\ny=20\r\ncx=700\r\ncy=560\r\ncy2=300\r\n"
                           L"[View]\r\nWordsKanaList=dic=20,wkn=150,wse=210\r\nKanjiKanjiList=kkj,=,x=\r\n"
                           L"[Dictionaries]\r\nFile1=" + dictionary + L",0\r\n");
    {
        ProgramRun run;
        HWND frame = run.WaitForFrame();
        ASSERT_NE(frame, nullptr);
        ASSERT_EQ(run.QueryState(frame)[L"kind"], L"2");  // the reading list, model kind 2
        HWND header = VisibleListHeader(frame);
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 3);
        EXPECT_EQ(HeaderItemWidth(header, 1), 150);
        EXPECT_EQ(HeaderItemWidth(header, 2), 210);
        EXPECT_EQ(run.Exit(frame), 0);
    }
    EXPECT_EQ(ReadIniString(folders, L"View", L"WordsKanaList"), L"dic=20,wkn=150,wse=210");
    EXPECT_EQ(ReadIniString(folders, L"View", L"KanjiKanjiList"), L"dic=20,kkj=40,ko1=70,kss=320");
    EXPECT_EQ(ReadIniString(folders, L"View", L"LexiconList"), L"lex=90,lxn=90,lxd=90");
}

}  // namespace
