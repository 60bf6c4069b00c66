// Keystroke-to-painted-page time of the reading list: for each keystroke (the
// prefixes of a few hundred EDICT readings, as typed) one search as you type
// in a real list window over the dictionaries given on the command line, the
// synchronous repaint of its page and the current row's article in a real
// article view. Prints the median, 95th percentile and worst keystroke.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "article/list_cells.h"
#include "article/win/article_view.h"
#include "common/tests/edict_files.h"
#include "common/win/wide_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_schema.h"
#include "dictionary/format_detection.h"
#include "dictionary/input_line.h"
#include "dictionary/shelf.h"
#include "dictionary/win/profile_list_files.h"
#include "import/import_registration.h"
#include "storage/dms.h"
#include "storage/storage_io.h"
#include "ui/frame.h"
#include "ui/list_view.h"

namespace {

constexpr int32_t kReadings = 120;

class BenchSite final : public IListViewSite {
public:
    explicit BenchSite(CShelf*& shelf) : shelf_(shelf) {}
    bool IsCurrentView(const ListViewModel* view) override { return shelf_ && view == shelf_->CurrentView(); }
    RDFDictionary* WorkingDictionary() override { return nullptr; }
    int32_t OpenDictionariesFrom(const RDFDictionary* d) override {
        int32_t n = 0;
        for (; d; d = d->next) n += (d->flags & kDictionaryOpen) != 0;
        return n;
    }
    void ShowArticle(const FormattedText* article) override {
        if (!view) return;
        if (!article || article->Length() <= 0 || article->Kind() != FormattedTextKind::Styled)
            view->SetArticle(nullptr, 0, nullptr, true);
        else
            view->SetArticle(article->Text().data(), article->Length(), article->Attributes().data(), true);
    }
    CArticleView* ArticleView() override { return view; }
    const FullTextQuery* Query() override { return nullptr; }
    void ScrollInputToRange(int32_t, int32_t) override {}
    void AddToHistory(ListViewModel&, const CCursor&, int32_t) override {}
    ListView* ViewOfKind(int32_t) override { return nullptr; }
    IListFileStore& ListFiles() override { return files_; }

    CArticleView* view = nullptr;

private:
    CShelf*& shelf_;
    ProfileListFiles files_;
};

double Ms(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency) {
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return 1;
    RegisterImportParsers();
    InstallListCellTexts();
    CDMS engine(SystemStorageIO());
    CInput input;
    CShelf* shelfPointer = nullptr;
    BenchSite site(shelfPointer);
    CShelf shelf(engine, nullptr, input, [&site](int32_t viewKind, WordList* model) {
        return std::make_unique<ListView>(viewKind, model, site);
    });
    shelfPointer = &shelf;
    for (int i = 1; i < argc; ++i) {
        RDFDictionary* d = shelf.AddDictionary(kFormatStoreDatabase, std::u16string(Char16View(argv[i])));
        if (!d || d->Open(2) != 0) {
            std::fprintf(stderr, "cannot open %ls\n", argv[i]);
            return 1;
        }
    }
    shelf.Refresh();

    ListView::RegisterWindowClass();
    HWND parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 700, 700, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    // The first ShowWindow of a process may take the starting show mode: show twice.
    ShowWindow(parent, SW_SHOWNORMAL);
    ShowWindow(parent, SW_SHOWNORMAL);
    CArticleView article(parent, 0, 420, 700, 280);
    ShowWindow(article.Window(), SW_SHOW);
    site.view = &article;
    shelf.SetCurrentListByKind(2);
    auto* view = static_cast<ListView*>(shelf.CurrentView());
    view->Create(parent, 0, 0, 700, 400);
    view->Move(0, 0, 700, 400);
    view->Show(SW_SHOW);

    std::vector<std::u16string> readings = EdictReadings();
    std::mt19937 random(7);
    std::shuffle(readings.begin(), readings.end(), random);
    std::vector<std::u16string> keystrokes;
    for (size_t i = 0; i < readings.size() && keystrokes.size() < kReadings * 4; ++i)
        for (size_t n = 1; n <= readings[i].size(); ++n) keystrokes.push_back(readings[i].substr(0, n));

    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    auto run = [&](const char* label) {
        std::vector<double> times;
        for (const std::u16string& typed : keystrokes) {
            LARGE_INTEGER from, to;
            QueryPerformanceCounter(&from);
            view->SearchText(typed, nullptr);
            QueryPerformanceCounter(&to);
            times.push_back(Ms(from, to, frequency));
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        std::sort(times.begin(), times.end());
        std::printf("%s: median %.2f ms, 95%% %.2f ms, worst %.2f ms\n", label, times[times.size() / 2],
                    times[times.size() * 95 / 100], times.back());
    };
    std::printf("%zu keystrokes over %d dictionaries, %d rows in the reading list, page of %d lines\n",
                keystrokes.size(), argc - 1, view->GetRowCount(), view->rowsPerPage);
    if (!IsWindowVisible(view->Window())) std::printf("the list window is not visible: nothing is painted\n");
    // The first pass reads the records from the files; the later ones find
    // them in the engine's cache.
    run("first pass: keystroke to painted page and article");
    run("again: keystroke to painted page and article");
    site.view = nullptr;
    run("again: keystroke to painted page, no article view");
    ShowWindow(view->Window(), SW_HIDE);
    run("again: keystroke to search and article text, nothing painted");
    DestroyWindow(parent);
    return 0;
}
