// OstrelPro.exe with a slice of Debian's EDICT and this driver as the word
// processor: an "OpusApp" window of the driver's, a document of the driver's
// in the running object table under its file moniker, and the pointer
// resting over the window. The program binds the document across processes,
// reads the range at the point through automation and translates the word.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <algorithm>
#include <string>

#include "japanese/win/capture_tests/fake_dispatch.h"
#include "ui/command_ids.h"
#include "ui/e2e/edict_slice_session.h"
#include "ui/e2e/program_session.h"

namespace {

using ostrel::japanese::testing::FakeDispatch;

// The word processor's objects: document → Windows → Item(1) →
// RangeFromPoint → a range over `text` with Start, End and Text.
class DriverDocument {
public:
    DriverDocument(std::wstring text, int32_t pointAt) : text_(std::move(text)), pointAt_(pointAt) {
        range_ = FakeDispatch::Make();
        for (auto [name, field] : {std::pair{L"Start", &start_}, std::pair{L"End", &end_}})
            range_->On(name, [this, field](const std::vector<VARIANT>& arguments, WORD flags, VARIANT* result) {
                if (flags & DISPATCH_PROPERTYPUT) {
                    if (arguments.size() != 1) return DISP_E_BADPARAMCOUNT;
                    *field = std::clamp<int32_t>(arguments[0].lVal, 0, static_cast<int32_t>(text_.size()));
                    return S_OK;
                }
                result->vt = VT_I4;
                result->lVal = *field;
                return S_OK;
            });
        range_->On(L"Text", [this](const std::vector<VARIANT>&, WORD, VARIANT* result) {
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocStringLen(text_.data() + start_, static_cast<UINT>(end_ - start_));
            return S_OK;
        });
        window_ = FakeDispatch::Make();
        window_->On(L"RangeFromPoint", [this](const std::vector<VARIANT>&, WORD, VARIANT* result) {
            ++asked;
            start_ = pointAt_;
            end_ = pointAt_ + 1;
            range_->AddRef();
            result->vt = VT_DISPATCH;
            result->pdispVal = range_;
            return S_OK;
        });
        windows_ = FakeDispatch::Make();
        windows_->IntProperty(L"Count", 1);
        windows_->On(L"Item", [this](const std::vector<VARIANT>&, WORD, VARIANT* result) {
            window_->AddRef();
            result->vt = VT_DISPATCH;
            result->pdispVal = window_;
            return S_OK;
        });
        document_ = FakeDispatch::Make();
        document_->ObjectProperty(L"Windows", windows_);
    }
    ~DriverDocument() {
        for (FakeDispatch* object : {document_, windows_, window_, range_}) object->Release();
    }
    IDispatch* Document() const { return document_; }
    int asked = 0;  // RangeFromPoint calls

private:
    std::wstring text_;
    int32_t pointAt_;
    int32_t start_ = 0, end_ = 0;
    FakeDispatch *document_ = nullptr, *windows_ = nullptr, *window_ = nullptr, *range_ = nullptr;
};

// Dispatches what comes in (the program's calls arrive as messages) for `ms`.
void PumpFor(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
}

TEST(UnderCursorEndToEnd, TheWordUnderThePointerInTheWordProcessorIsTranslated) {
    SetProcessDPIAware();
    CloseLeftoverFrames();
    const std::u16string reading = SliceReading();
    ASSERT_FALSE(reading.empty()) << "the EDICT slice was not made";
    const std::wstring word(reading.begin(), reading.end());
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    {
        TestFolders folders = PrepareTest(L"UnderCursor.WordProcessor");
        ProgramRun run;
        HWND frame = StartWithSlice(run, folders);
        ASSERT_NE(frame, nullptr);
        SendMessageW(frame, WM_COMMAND, cmd::kUnderCursorOn, 0);

        // The document, running under its file's moniker.
        const std::wstring text = L"本文の始め " + word + L" 本文の終り";
        DriverDocument document(text, 6);
        IRunningObjectTable* table = nullptr;
        IMoniker* moniker = nullptr;
        DWORD cookie = 0;
        ASSERT_TRUE(SUCCEEDED(GetRunningObjectTable(0, &table)));
        ASSERT_TRUE(SUCCEEDED(CreateFileMoniker(L"C:\\docs\\Kotoba.docx", &moniker)));
        ASSERT_TRUE(SUCCEEDED(table->Register(ROTFLAGS_REGISTRATIONKEEPSALIVE, document.Document(), moniker, &cookie)));

        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.lpszClassName = L"OpusApp";
        RegisterClassW(&type);
        HWND app = CreateWindowExW(WS_EX_TOPMOST, L"OpusApp", L"Kotoba.docx - Word", WS_POPUP | WS_VISIBLE, 800, 100,
                                   400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(app, nullptr);
        PumpFor(200);
        SetCursorPos(1000, 250);
        for (int i = 0; i < 100 && document.asked == 0; ++i) PumpFor(100);  // up to 10 s
        EXPECT_EQ(document.asked, 1);
        PumpFor(500);

        HWND input = FindChild(frame, L"RichEdit20W", 202);
        ASSERT_NE(input, nullptr);
        wchar_t typed[256] = {};
        SendMessageW(input, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(typed));
        EXPECT_EQ(std::wstring(typed), word);
        bool listed = false;
        for (int i = 0; i < 100 && !listed; ++i, PumpFor(50)) {
            auto state = run.QueryState(frame);
            if (state[L"kind"] != L"1") continue;
            for (int row = 0; row < 8 && !listed; ++row)
                for (int cell = 0; cell < 4 && !listed; ++cell)
                    listed = state[L"cell." + std::to_wstring(row) + L"." + std::to_wstring(cell)].find(word) !=
                             std::wstring::npos;
        }
        EXPECT_TRUE(listed);
        SaveScreenshot(folders.root + L"\\under_cursor_word.png");
        // The pointer still rests over the driver's window, so the program
        // may be inside a call to the driver's document when Exit arrives:
        // the driver serves its calls until the program has ended.
        PostMessageW(frame, WM_COMMAND, cmd::kExit, 0);
        long exitCode = -1;
        for (int i = 0; i < 150 && (exitCode = run.WaitForExit(0)) == -1; ++i) PumpFor(100);  // up to 15 s
        EXPECT_EQ(exitCode, 0);
        DestroyWindow(app);
        UnregisterClassW(L"OpusApp", GetModuleHandleW(nullptr));
        table->Revoke(cookie);
        moniker->Release();
        table->Release();
    }
    OleUninitialize();
}

}  // namespace
