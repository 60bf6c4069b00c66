// A stored book's reader reopens where the reader left it, in real windows
// under Wine driven by real key and mouse events. The book: coreutils'
// messages in English, Russian and Japanese made into paragraphs of three
// phrases each (hundreds of paragraphs), compiled by the dictionary compiler.
// Scrolled with PageDown in the first of three columns, a phrase clicked in
// the second, closed and opened twice: every column shows the same lines
// (the same tops and the same pixels) and the same phrase is current; then
// scrolled on without a click, with PageDown pressed as the reader opened,
// it reopens there and not at the book's top, and picking the book shown
// again leaves it there.
#include <windows.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "book/stored_book.h"
#include "book/win/book_reader.h"
#include "book/win/tests/message_pump.h"
#include "book/win/tests/window_capture.h"
#include "common/settings/settings_file.h"
#include "common/settings/tests/memory_profile_store.h"
#include "common/tests/fake_app_context.h"
#include "book/reader_settings.h"
#include "book/tests/book_texts.h"
#include "dictionary/dictionary.h"
#include "dictionary/shelf.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

#include <gtest/gtest.h>

#ifdef OSTREL_BOOK_TEXTS
namespace {

class PlaceSite : public IBookReaderSite {
public:
    std::vector<RDFDictionary*> BookDictionaries() override { return books; }
    CIni* Settings() override { return &ini; }
    int32_t Ask(HWND, const std::u16string& text, const std::u16string& caption, UINT) override {
        questions.push_back(caption + u": " + text);
        return IDOK;
    }
    std::vector<RDFDictionary*> books;
    MemoryProfileStore::Values values;
    CIni ini{std::make_unique<MemoryProfileStore>(&values)};
    std::vector<std::u16string> questions;
};

// Runs the reader's messages until `condition` holds (a busy machine gets
// its time); false when it never does.
bool PumpUntil(const auto& condition, DWORD limit = 20000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > limit) return false;
        Pump(20);
    }
    return true;
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void ClickAt(HWND window, POINT at) {
    ClientToScreen(window, &at);
    SetCursorPos(at.x, at.y);
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// What a reader shows: each shown column's top (paragraph, offset of its
// first visible line, that line's y) and picture, the current phrase and column.
struct Place {
    std::string tops;
    int32_t phrase = -1, slot = -1;
    std::vector<Capture> pictures;
};

Place PlaceOf(CParaViewerDlg& reader, const std::filesystem::path& folder, const std::string& name) {
    Place place;
    CParaViewHost& host = reader.Host();
    for (int32_t slot = 0; slot < host.VisibleCount(); ++slot) {
        CParaView& view = host.View(host.Visible()[static_cast<size_t>(slot)]);
        place.tops += "[" + std::to_string(view.TopParagraph()) + " " + std::to_string(view.TopOffset()) + " " +
                      std::to_string(view.TopY()) + "]";
        place.pictures.push_back(
            CaptureWindow(reader.ColumnWindow(slot), folder / (name + "-column" + std::to_string(slot) + ".bmp")));
    }
    place.phrase = host.CurrentPhrase();
    place.slot = host.CurrentSlot();
    return place;
}

class ReaderPlace : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
        previous_ = SetAppContext(&app_);
    }
    void TearDown() override {
        for (CParaViewerDlg* reader : std::vector<CParaViewerDlg*>(CParaViewerDlg::Readers()))
            DestroyWindow(reader->Window());
        Pump(50);
        dictionary_.reset();
        SetAppContext(previous_);
        CompileFixture::TearDown();
    }
    // coreutils' text book with every third group opening a paragraph, compiled.
    void CompileBook() {
        std::ifstream in(std::filesystem::path(BookTextsPath("coreutils.txt")), std::ios::binary);
        std::ostringstream book;
        std::string line;
        int group = 0;
        bool inGroup = false;
        while (std::getline(in, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) {
                if (inGroup) ++group;
                inGroup = false;
                book << "\n";
                continue;
            }
            inGroup = true;
            book << (group > 0 && (group - 1) % 3 == 0 ? "<P>" : "") << line << "\n";
        }
        CompileText(book.str(), "coreutils");
    }
    // `text` compiled as the book dictionary "<name>.qdx", the shelf's only one.
    void CompileText(const std::string& text, const std::string& name) {
        std::ofstream(std::filesystem::path(Path(name + ".txt")), std::ios::binary) << text;
        CDictionary compiled(kDictionaryStoreDatabase, engine_);
        SilentCompileUi ui;
        CConverter converter(compiled, CConverter::kNewFile, ui, env_);
        ASSERT_EQ(converter.Convert(0x4008, Path(name + ".txt"), Path(name + ".qdx")), 1)
            << Utf16ToUtf8(converter.errorText);
        dictionary_ = std::make_unique<RDFDictionary>(kDictionaryStoreDatabase | kDictionaryBook, engine_);
        const std::u16string path = Path(name + ".qdx");
        dictionary_->File().SetPath(path.c_str());
        ASSERT_EQ(dictionary_->Open(2), 0u);
        site_.books = {dictionary_.get()};
    }
    // A reader on the saved or first book, on `textBook`, or on `dictionary`'s book `bookId`.
    CParaViewerDlg* Open(const std::u16string& textBook = {}, RDFDictionary* dictionary = nullptr, uint32_t bookId = 0) {
        CParaViewerDlg* reader = CParaViewerDlg::Open(site_, dictionary, bookId, textBook);
        EXPECT_NE(reader, nullptr);
        if (reader) PumpUntil([&] { return reader->HasBook() && IsWindowVisible(reader->Window()); });
        Pump(100);
        return reader;
    }
    void Close(CParaViewerDlg* reader) {
        ASSERT_TRUE(reader->Close());
        ASSERT_TRUE(PumpUntil([] { return CParaViewerDlg::Readers().empty(); }));
    }
    // PageDown `pages` times in column `slot`, each waited for
    // (slot -1: in the column the reader gave the keys to when it opened).
    void PageDown(CParaViewerDlg* reader, int32_t slot, int pages) {
        SetForegroundWindow(reader->Window());
        if (slot >= 0) SetFocus(reader->ColumnWindow(slot));
        const int32_t keys = slot >= 0 ? slot : reader->Host().CurrentSlot();
        ASSERT_TRUE(PumpUntil([&] { return GetFocus() == reader->ColumnWindow(keys); })) << "the keys are elsewhere";
        for (int page = 0; page < pages; ++page) {
            CParaView* view = reader->Host().CurrentView();
            const auto before = std::make_pair(view->TopParagraph(), view->TopY());
            PressKey(VK_NEXT);
            ASSERT_TRUE(PumpUntil([&] { return std::make_pair(view->TopParagraph(), view->TopY()) != before; }))
                << "PageDown " << page;
        }
        Pump(50);
    }
    // Twelve pages down in the first column, then a click in the middle of
    // the second, which makes its phrase there current.
    void ScrollAndClick(CParaViewerDlg* reader) {
        PageDown(reader, 0, 12);
        HWND second = reader->ColumnWindow(1);
        RECT box{};
        GetClientRect(second, &box);
        const int32_t before = reader->Host().CurrentPhrase();
        ClickAt(second, {30, box.bottom / 2});
        ASSERT_TRUE(
            PumpUntil([&] { return reader->Host().CurrentSlot() == 1 && reader->Host().CurrentPhrase() != before; }));
        Pump(100);
    }
    std::filesystem::path Folder() const { return std::filesystem::path(Path("")); }

    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
    PlaceSite site_;
    std::unique_ptr<RDFDictionary> dictionary_;
};

void ExpectSamePlace(const Place& shown, const Place& left, const std::string& when) {
    EXPECT_EQ(shown.tops, left.tops) << when;
    EXPECT_EQ(shown.phrase, left.phrase) << when;
    EXPECT_EQ(shown.slot, left.slot) << when;
    ASSERT_EQ(shown.pictures.size(), left.pictures.size()) << when;
    for (size_t slot = 0; slot < left.pictures.size(); ++slot)
        EXPECT_TRUE(shown.pictures[slot].pixels == left.pictures[slot].pixels) << when << ": column " << slot;
}

TEST_F(ReaderPlace, AStoredBookReopensWhereItWasLeftInEveryColumn) {
    CompileBook();
    CParaViewerDlg* reader = Open();
    ASSERT_NE(reader, nullptr);
    ASSERT_GT(reader->Host().model.ParagraphCount(), 300);
    SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    Pump(100);
    ASSERT_EQ(reader->Host().VisibleCount(), 3);

    // Scrolled in the English column, a phrase clicked in the Russian one.
    ScrollAndClick(reader);
    const Place left = PlaceOf(*reader, Folder(), "left");
    ASSERT_GT(left.phrase, 40);
    Close(reader);
    EXPECT_EQ(site_.ini.GetInt(kReaderSection, u"CurColumn", -1), 1);

    for (int round = 1; round <= 2; ++round) {
        reader = Open();
        ASSERT_NE(reader, nullptr);
        ExpectSamePlace(PlaceOf(*reader, Folder(), "reopened" + std::to_string(round)), left,
                        "reopened " + std::to_string(round) + " time(s)");
        Close(reader);
    }

    // Scrolled on without a click, with the keys where the reopened reader
    // put them (the column that led, not the book box, where PageDown would
    // pick the book again and start it over): the current phrase goes out
    // of sight above, and the reader reopens where the scrolling ended.
    reader = Open();
    ASSERT_NE(reader, nullptr);
    PageDown(reader, -1, 6);
    const Place scrolled = PlaceOf(*reader, Folder(), "scrolled");
    ASSERT_EQ(scrolled.phrase, left.phrase);
    Close(reader);
    reader = Open();
    ASSERT_NE(reader, nullptr);
    ExpectSamePlace(PlaceOf(*reader, Folder(), "reopened-scrolled"), scrolled, "reopened after scrolling");
    // The book shown, picked again in the book box or a column's book list,
    // stays where the reader is.
    for (int box : {book_ids::kBooks, book_ids::kBookLists[0]}) {
        SendMessageW(reader->Window(), WM_COMMAND, MAKEWPARAM(box, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(reader->Window(), box)));
        Pump(50);
        ExpectSamePlace(PlaceOf(*reader, Folder(), "picked-again"), scrolled, "picked again in " + std::to_string(box));
    }
    EXPECT_TRUE(site_.questions.empty()) << Utf16ToUtf8(site_.questions.front());
}

// A text book keeps its columns, width and place apart from the stored
// books': reopened, it shows what it showed.
TEST_F(ReaderPlace, ATextBookReopensWhereItWasLeft) {
    const std::u16string book = Path("coreutils-text.txt");
    std::filesystem::copy_file(std::filesystem::path(BookTextsPath("coreutils.txt")), std::filesystem::path(book));
    CParaViewerDlg* reader = Open(book);
    ASSERT_NE(reader, nullptr);
    SendMessageW(reader->Window(), WM_COMMAND, book_ids::kAdd, 0);
    Pump(100);
    ASSERT_EQ(reader->Host().VisibleCount(), 3);
    ScrollAndClick(reader);
    const Place left = PlaceOf(*reader, Folder(), "text-left");
    RECT window{};
    GetWindowRect(reader->Window(), &window);
    Close(reader);
    reader = Open(book);
    ASSERT_NE(reader, nullptr);
    RECT reopened{};
    GetWindowRect(reader->Window(), &reopened);
    EXPECT_EQ(reopened.right - reopened.left, window.right - window.left);
    ExpectSamePlace(PlaceOf(*reader, Folder(), "text-reopened"), left, "text book reopened");
    EXPECT_TRUE(site_.questions.empty()) << Utf16ToUtf8(site_.questions.front());
}

// A parallel text without paragraph tags, loaded as a stored book: the
// reader opens at its start with both columns drawn, and PageDown and the
// wheel (real events) scroll both columns together through its phrases.
TEST_F(ReaderPlace, AnUntaggedStoredBookOpensAtItsStartAndScrolls) {
    std::string text = "<Latn>English\n<Cyrl>Russian\n";
    for (int i = 1; i <= 300; ++i)
        text += "\nLine " + std::to_string(i) + " of the English text.\nСтрока " + std::to_string(i) + " русского текста.\n";
    CompileText(text, "untagged");
    StoredBook probe(*dictionary_);
    const auto books = probe.Books(0);
    ASSERT_EQ(books.size(), 1u);
    CParaViewerDlg* reader = Open({}, dictionary_.get(), books[0].firstRecord);
    ASSERT_NE(reader, nullptr);
    CParaViewHost& host = reader->Host();
    ASSERT_EQ(host.model.ParagraphCount(), 300);
    ASSERT_EQ(host.VisibleCount(), 2);
    EXPECT_EQ(host.CurrentPhrase(), 0);
    for (int32_t slot = 0; slot < 2; ++slot) {
        CParaView& view = host.View(host.Visible()[static_cast<size_t>(slot)]);
        EXPECT_EQ(view.TopParagraph(), 0) << slot;
        EXPECT_EQ(view.TopY(), 0) << slot;
        EXPECT_GT(CaptureWindow(reader->ColumnWindow(slot), Folder() / ("untagged" + std::to_string(slot) + ".bmp")).Colours(), 2)
            << "column " << slot << " is blank";
    }
    EXPECT_EQ(host.View(0).Lay(0).text, u"Line 1 of the English text.");
    EXPECT_EQ(host.View(1).Lay(0).text, u"Строка 1 русского текста.");
    HWND english = reader->ColumnWindow(0);
    ClickAt(english, {30, 5});
    PageDown(reader, 0, 3);
    const int32_t paged = host.View(0).TopParagraph();
    EXPECT_GT(paged, 10);
    RECT box{};
    GetClientRect(english, &box);
    POINT middle{box.right / 2, box.bottom / 2};
    ClientToScreen(english, &middle);
    SetCursorPos(middle.x, middle.y);
    for (int notch = 0; notch < 5; ++notch) {
        INPUT wheel{};
        wheel.type = INPUT_MOUSE;
        wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
        wheel.mi.mouseData = static_cast<DWORD>(-WHEEL_DELTA);
        SendInput(1, &wheel, sizeof wheel);
    }
    ASSERT_TRUE(PumpUntil([&] { return host.View(0).TopParagraph() > paged; }));
    Pump(100);
    EXPECT_EQ(host.View(1).TopParagraph(), host.View(0).TopParagraph());
    EXPECT_EQ(host.View(1).TopY(), host.View(0).TopY());
    EXPECT_TRUE(site_.questions.empty()) << Utf16ToUtf8(site_.questions.front());
}

}  // namespace
#endif
