// Editor load and paste of 30,000 characters of mixed Latin, kana, Cyrillic
// and kanji in a RichEdit 2.0 control, as the article editor fills it (the
// two script faces, bold and italic in one stream: CRichEdit::SetStyledText,
// CRichEdit::PasteText), beside the control's own EM_STREAMIN of the same
// text as plain UTF-16 (no faces given): the floor any load pays. Each is run
// in a fresh control; medians and worst of the runs, and the ratio.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "article/editor_lines.h"
#include "article/win/rich_edit.h"
#include "article/win/rich_edit_stream.h"

namespace {

constexpr size_t kUnits = 30000;
constexpr int kRuns = 7;

std::u16string Mixed(size_t length) {
    const std::u16string piece = u"lorem ipsum \u732B\u3068 \u043A\u043E\u0448\u043A\u0430 \u306D\u3053 dolor \u8A9E\u5B66 sit amet ";
    std::u16string made;
    while (made.size() < length) made += piece;
    made.resize(length);
    return made;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds of `work` on a fresh visible control, the control's text
// length checked to be the whole text afterwards.
template <class Work> double Time(HWND parent, Work work) {
    CRichEdit edit(parent, true, 201, 0, 0, 600, 400, true);
    SendMessageW(edit.Window(), EM_EXLIMITTEXT, 0, 32767);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work(edit);
    UpdateWindow(edit.Window());
    QueryPerformanceCounter(&end);
    if (SendMessageW(edit.Window(), WM_GETTEXTLENGTH, 0, 0) != static_cast<LRESULT>(kUnits))
        std::printf("  (the control holds %ld units)\n", static_cast<long>(SendMessageW(edit.Window(), WM_GETTEXTLENGTH, 0, 0)));
    return Milliseconds(start, end);
}

struct Figures {
    double median, worst;
};
template <class Work> Figures Measure(HWND parent, Work work) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) times.push_back(Time(parent, work));
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.back()};
}

}  // namespace

int main() {
    HWND parent = CreateWindowExW(0, L"STATIC", L"editor load", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    const std::u16string text = Mixed(kUnits);
    std::vector<uint16_t> attributes(text.size(), 0);
    for (size_t i = 0; i < attributes.size(); i += 97) attributes[i] = kCharBold;  // a few bold runs, as New Window copies
    const Figures floor = Measure(parent, [&](CRichEdit& edit) {
        StreamIntoRichEdit(edit.Window(), SF_TEXT | SF_UNICODE, text.data(), static_cast<int32_t>(text.size() * 2));
    });
    const Figures load = Measure(parent, [&](CRichEdit& edit) { edit.SetStyledText(text, {}); });
    const Figures styled = Measure(parent, [&](CRichEdit& edit) { edit.SetStyledText(text, attributes); });
    const Figures paste = Measure(parent, [&](CRichEdit& edit) { edit.PasteText(text); });
    std::printf("%zu mixed units, %d runs each (median / worst, ms):\n", kUnits, kRuns);
    std::printf("  EM_STREAMIN plain text (peer)      %8.1f / %8.1f\n", floor.median, floor.worst);
    auto row = [&](const char* name, const Figures& f) {
        std::printf("  %-34s %8.1f / %8.1f  (%.1f x peer)\n", name, f.median, f.worst, f.median / floor.median);
    };
    row("editor load (faces)", load);
    row("editor load (faces, bold runs)", styled);
    row("editor paste (faces)", paste);
    DestroyWindow(parent);
    return 0;
}
