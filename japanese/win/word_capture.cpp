// The word processor capture: running object table, by-name automation,
// the widened range and the one-time note.
#include "japanese/win/word_capture.h"

#include <algorithm>
#include <string>
#include <vector>

#include "japanese/capture_rules.h"
#include "japanese/win/dispatch_by_name.h"

namespace ostrel::japanese {

namespace {

// More running objects than any desktop registers; a table that enumerates
// without end is cut there.
constexpr size_t kMostRunningObjects = 4096;
constexpr int kCaptionUnits = 255;

std::wstring WideOf(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

bool ProcessIsElevated() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    bool elevated = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) &&
                    elevation.TokenIsElevated != 0;
    CloseHandle(token);
    return elevated;
}

ComPtr<IDispatch> WordProcessorCapture::FindWordDocument(std::u16string_view caption) {
    ComPtr<IDispatch> document;
    ComPtr<IBindCtx> bind;
    ComPtr<IRunningObjectTable> table;
    ComPtr<IEnumMoniker> running;
    if (FAILED(CreateBindCtx(0, bind.Out())) || !bind) return document;
    if (FAILED(bind->GetRunningObjectTable(table.Out())) || !table) return document;
    if (FAILED(table->EnumRunning(running.Out())) || !running) return document;
    running->Reset();

    std::vector<ComPtr<IMoniker>> monikers;
    std::vector<std::u16string> names;
    IMoniker* next = nullptr;
    while (monikers.size() < kMostRunningObjects && running->Next(1, &next, nullptr) == S_OK) {
        ComPtr<IMoniker> moniker = ComPtr<IMoniker>::Adopt(next);
        next = nullptr;
        LPOLESTR name = nullptr;
        if (!moniker || FAILED(moniker->GetDisplayName(bind.Get(), nullptr, &name)) || !name) continue;
        names.emplace_back(reinterpret_cast<const char16_t*>(name));
        CoTaskMemFree(name);
        monikers.push_back(std::move(moniker));
    }
    for (size_t index : DocumentCandidates(caption, names)) {
        if (SUCCEEDED(monikers[index]->BindToObject(bind.Get(), nullptr, IID_IDispatch, document.OutVoid())) &&
            document)
            return document;
        document.Reset();
    }
    if (!noteTaken_) {
        noteTaken_ = true;
        noteDue_ = true;
        noteElevated_ = isElevated && isElevated();
        if (postNote) postNote();
    }
    return document;
}

void WordProcessorCapture::ShowPendingNote(HWND owner) {
    if (!noteDue_) return;
    noteDue_ = false;
    std::wstring text = WideOf(WordNoteText(noteElevated_));
    std::wstring caption = WideOf(kWordNoteCaption);
    if (messageBox) messageBox(owner, text.c_str(), caption.c_str(), MB_OK);
}

int32_t WordProcessorCapture::GetWordFromWord(HWND window, const CaptureTranslate& translate) {
    wchar_t caption[kCaptionUnits + 1] = {};
    int length = GetWindowTextW(window, caption, kCaptionUnits);
    if (length <= 0) return 0;
    ComPtr<IDispatch> document =
        FindWordDocument(std::u16string_view(reinterpret_cast<const char16_t*>(caption), static_cast<size_t>(length)));
    if (!document) return 1;

    ComPtr<IDispatch> windows;
    if (!DispGetObject(document.Get(), "Windows", windows) || !windows) return 1;
    int32_t count = 0;
    if (!DispGetInt(windows.Get(), "Count", &count)) return 1;
    VariantHolder item;
    if (FAILED(DispInvoke(windows.Get(), "Item", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {1}, item.Get()))) return 1;
    ComPtr<IDispatch> documentWindow = DispatchOf(item);
    windows.Reset();
    if (!documentWindow) return 1;

    POINT point{};
    if (!GetCursorPos(&point)) return 1;
    VariantHolder found;
    if (FAILED(DispInvoke(documentWindow.Get(), "RangeFromPoint", DISPATCH_METHOD, {point.x, point.y}, found.Get())))
        return 1;
    ComPtr<IDispatch> range = DispatchOf(found);
    if (!range) return 1;

    int32_t start = 0;
    int32_t end = 0;
    if (!DispGetInt(range.Get(), "Start", &start) || !DispGetInt(range.Get(), "End", &end)) return 1;
    WidenedRange widened = WidenRange(start, end);
    int32_t caret = widened.caret;
    if (!DispPutInt(range.Get(), "Start", widened.start)) {
        // A refused write leaves the start where the word processor keeps
        // it: the caret counts from there, so the word at the point is still
        // the one translated.
        int32_t kept = 0;
        if (!DispGetInt(range.Get(), "Start", &kept)) return 1;
        caret = CaretFromRangeStart(start, kept);
    }
    DispPutInt(range.Get(), "End", widened.end);  // a refused end only shortens the text

    VariantHolder text;
    if (!DispGetProperty(range.Get(), "Text", text.Get()) || (*text).vt != VT_BSTR || !(*text).bstrVal) return 1;
    UINT units = std::min<UINT>(SysStringLen((*text).bstrVal), kWordTextUnits);
    std::u16string captured(reinterpret_cast<const char16_t*>((*text).bstrVal), units);
    document.Reset();
    range.Reset();
    documentWindow.Reset();
    translate(captured, caret);
    return 1;
}

}  // namespace ostrel::japanese
