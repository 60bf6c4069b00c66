// A reading-index leaf whose two first keys changed places: the engine
// refuses every seek that reaches it (100). Search as you type must not take
// that for "the key sorts after every entry": the damaged dictionary leaves
// the list, the list goes on over the other one exactly as a list without it
// would, and the refusal reaches the user once, naming the file, however
// many keys are typed. Keys met before the damage land where they land over
// an intact copy of the same file.
#include <algorithm>

#include "common/text/utf8.h"
#include "dictionary/input_line.h"
#include "dictionary/list_view_model.h"
#include "dictionary/tests/word_list_fixture.h"
#include "storage/byte_order.h"

namespace {

using storage::LoadU16;
using storage::LoadU32;

constexpr uint32_t kPage = 4096;
constexpr uint16_t kLeaf = 0x304B;

struct Box : IInputBox {
    std::u16string Text() const override { return text; }
    void Selection(int32_t& s, int32_t& e) const override { s = e = static_cast<int32_t>(text.size()); }
    void HighlightInputRange(int32_t, int32_t) override {}
    std::u16string text;
};

// The first key segment (a UString) of the entry at `entry`.
std::u16string FirstSegment(const uint8_t* entry) {
    const uint32_t bytes = LoadU16(entry + 10) - 2u;
    std::u16string text(bytes / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(LoadU16(entry + 12 + 2 * i));
    return text;
}

class RefusedIndexTest : public WordListTest {
protected:
    // Swaps the two first entries of a leaf of index 101 (a plain file: page n
    // at n x 4096), from `share` of the leaves on, whose first two readings
    // differ; answers the reading of its third entry, a key whose seek
    // reaches that leaf.
    std::u16string SwapKeysInAMiddleLeaf(const std::u16string& path, double share = 0.5) {
        std::vector<uint8_t> file = *disk.Contents(path);
        const uint32_t pat = LoadU32(file.data() + 20);
        EXPECT_TRUE(pat == 0 || pat == 0xFFFFFFFF) << "a plain file";
        const uint32_t descriptor = LoadU16(file.data() + 16) + 2 * 16;  // indexes 0, 1, then 101
        EXPECT_EQ(LoadU32(file.data() + descriptor + 4), static_cast<uint32_t>(kIndexReadingWord));
        uint32_t page = LoadU32(file.data() + descriptor + 12);
        while (LoadU16(file.data() + page * kPage + 4) != kLeaf) page = LoadU32(file.data() + page * kPage + 16 + 2);
        std::vector<uint32_t> leaves;
        for (; page != 0xFFFFFFFF; page = LoadU32(file.data() + page * kPage + 8)) leaves.push_back(page);
        EXPECT_GT(leaves.size(), 8u);
        for (size_t i = static_cast<size_t>(static_cast<double>(leaves.size()) * share); i < leaves.size(); ++i) {
            uint8_t* entries = file.data() + leaves[i] * kPage + 16;
            const uint32_t a = LoadU16(entries), b = LoadU16(entries + a);
            if (FirstSegment(entries) == FirstSegment(entries + a)) continue;
            const std::u16string third = FirstSegment(entries + a + b);
            std::rotate(entries, entries + a, entries + a + b);
            disk.SetContents(path, file);
            return third;
        }
        ADD_FAILURE() << "no leaf to damage";
        return {};
    }

    // The window's part of a list view: each refresh reads the page's lines
    // as the painter does, and a page moved because a dictionary left the
    // list under those reads tells the refusal at once.
    struct PaintingHost : IListViewHost {
        ListViewModel* view = nullptr;
        void FillPage() override {}
        void UpdateView() override { Paint(); }
        void UpdateCommandState(int32_t) override {}
        bool PostHeadword(int32_t, std::u16string_view) override { return false; }
        void TranslateText(int32_t) override {}
        void RowsDropped() override { view->model->ReportReadRefusals(); }
        void Paint() {
            for (int pass = 0; pass < 4; ++pass) {
                for (int32_t line = 0; line < view->filledLines; ++line) view->ReadRow(view->lines[line].firstRow);
                if (!view->FollowDroppedRows()) return;
            }
        }
    };

    static std::u16string KeyAt(WordList& list, int32_t row) {
        CCursor* cursor = list.GetEntry(row);
        return cursor ? std::u16string(cursor->FieldText(0)) + u"|" + std::u16string(cursor->FieldText(1)) : u"none";
    }
};

TEST_F(RefusedIndexTest, DamagedLeafLeavesTheListAndIsReportedOnce) {
    const std::vector<KeyPair> edict = EdictKeys("edict", 6), enamdict = EdictKeys("enamdict", 24);
    const std::u16string damagedPath = u"C:\\D\\edict.qdx", intactPath = u"C:\\D\\edict-intact.qdx";
    WriteSynthetic(damagedPath, edict, kIndexReadingWord, 1);
    WriteSynthetic(intactPath, edict, kIndexReadingWord, 1);
    const std::u16string damagedKey = SwapKeysInAMiddleLeaf(damagedPath);
    ASSERT_FALSE(damagedKey.empty());
    RDFDictionary* damaged = OpenOnShelf(damagedPath);
    RDFDictionary* names = AddSynthetic(u"C:\\D\\enamdict.qdx", enamdict, kIndexReadingWord, 10000000);
    std::unique_ptr<WordList> list = ListOfShelf(kListReadings);

    // Peers: the intact copy in the damaged one's place, and the names alone.
    TestShelf intactShelf, namesShelf;
    RDFDictionary* intact = OpenOnShelf(intactPath);
    intactShelf.dictionaries = {intact, names};
    namesShelf.dictionaries = {names};
    WordList overIntact(&intactShelf, kListReadings), overNames(&namesShelf, kListReadings);
    for (RDFDictionary* d : intactShelf.dictionaries) overIntact.AddDictionary(d);
    overNames.AddDictionary(names);

    // Keys whose seeks stay away from the damaged leaf read as over the intact copy.
    for (const char16_t* key : {u"あい", u"か", u"さくら", u"ん"}) {
        const int32_t row = list->Find(key, nullptr, kListReadings, nullptr, nullptr);
        EXPECT_EQ(row, overIntact.Find(key, nullptr, kListReadings, nullptr, nullptr)) << Utf16ToUtf8(key);
        EXPECT_EQ(KeyAt(*list, row), KeyAt(overIntact, row));
    }
    EXPECT_TRUE(app.messages.empty());

    // The damaged key typed one unit at a time, then typed again.
    CInput input;
    Box box;
    ListViewModel view(2, list.get(), nullptr);
    for (int round = 0; round < 2; ++round)
        for (size_t n = 1; n <= damagedKey.size(); ++n) {
            box.text = damagedKey.substr(0, n);
            view.SearchAsYouType(input, box);
        }
    ASSERT_EQ(app.messages.size(), 1u) << "one message however many keys were typed";
    EXPECT_EQ(app.messages[0].text, u"Cannot read file: " + damagedPath + u"\nData integrity broken");
    EXPECT_EQ(app.messages[0].caption, u"Cannot Read a File");
    EXPECT_EQ(damaged->ReadRefusal(), DmsStatus::IntegrityBroken);

    // The list now is the names list: same rows, same current row and key.
    EXPECT_EQ(list->RowCount(), overNames.RowCount());
    bool notWhole = false, namesNotWhole = false;
    for (const std::u16string& key : {damagedKey, std::u16string(u"あい"), std::u16string(u"ん")}) {
        const int32_t row = list->Find(key, nullptr, kListReadings, &notWhole, nullptr);
        const int32_t expected = overNames.Find(key, nullptr, kListReadings, &namesNotWhole, nullptr);
        EXPECT_EQ(row, expected) << Utf16ToUtf8(key);
        if (key == damagedKey) {
            EXPECT_NE(row, list->RowCount() - 1) << "not sent to the last row";
        }
        EXPECT_EQ(notWhole, namesNotWhole);
        EXPECT_EQ(KeyAt(*list, row), KeyAt(overNames, expected));
    }
    EXPECT_EQ(app.messages.size(), 1u);
}

// Two damaged copies of one dictionary whose damage one key reaches: that
// keystroke tells each once, naming its file, and the list goes on over the
// intact names. The first copy's second damage, typed later, tells nothing
// more: a dictionary is told once.
TEST_F(RefusedIndexTest, TwoDamagedDictionariesAtOnceAreEachToldOnceAndASecondDamageIsNotTold) {
    const std::vector<KeyPair> edict = EdictKeys("edict", 6), enamdict = EdictKeys("enamdict", 24);
    const std::u16string twicePath = u"C:\\D\\edict-twice.qdx", oncePath = u"C:\\D\\edict-once.qdx";
    WriteSynthetic(twicePath, edict, kIndexReadingWord, 1);
    WriteSynthetic(oncePath, edict, kIndexReadingWord, 1);
    const std::u16string sharedKey = SwapKeysInAMiddleLeaf(twicePath, 0.4);
    ASSERT_EQ(SwapKeysInAMiddleLeaf(oncePath, 0.4), sharedKey);
    const std::u16string secondKey = SwapKeysInAMiddleLeaf(twicePath, 0.8);
    ASSERT_FALSE(sharedKey.empty());
    ASSERT_FALSE(secondKey.empty());
    RDFDictionary* twice = OpenOnShelf(twicePath);
    RDFDictionary* once = OpenOnShelf(oncePath);
    RDFDictionary* names = AddSynthetic(u"C:\\D\\enamdict.qdx", enamdict, kIndexReadingWord, 10000000);
    TestShelf shelf, namesShelf;
    shelf.dictionaries = {twice, once, names};
    namesShelf.dictionaries = {names};
    WordList list(&shelf, kListReadings), overNames(&namesShelf, kListReadings);
    for (RDFDictionary* d : shelf.dictionaries) list.AddDictionary(d);
    overNames.AddDictionary(names);

    CInput input;
    Box box;
    ListViewModel view(2, &list, nullptr);
    for (const std::u16string& key : {sharedKey, secondKey})
        for (size_t n = 1; n <= key.size(); ++n) {
            box.text = key.substr(0, n);
            view.SearchAsYouType(input, box);
        }
    ASSERT_EQ(app.messages.size(), 2u);
    std::vector<std::u16string> told = {app.messages[0].text, app.messages[1].text};
    std::sort(told.begin(), told.end());
    EXPECT_EQ(told, (std::vector<std::u16string>{u"Cannot read file: " + oncePath + u"\nData integrity broken",
                                                 u"Cannot read file: " + twicePath + u"\nData integrity broken"}));
    EXPECT_EQ(twice->ReadRefusal(), DmsStatus::IntegrityBroken);
    EXPECT_EQ(once->ReadRefusal(), DmsStatus::IntegrityBroken);
    EXPECT_EQ(list.RowCount(), overNames.RowCount());
    const int32_t row = list.Find(secondKey, nullptr, kListReadings, nullptr, nullptr);
    EXPECT_EQ(row, overNames.Find(secondKey, nullptr, kListReadings, nullptr, nullptr));
    EXPECT_EQ(KeyAt(list, row), KeyAt(overNames, row));
}

// Scrolling from a row before the damaged leaf towards it, by PageDown, by
// the wheel's lines and by one thumb jump past it, the page's rows read only
// where the window paints them: every page before the damage shows the rows
// of the intact copy; the scroll that meets it tells the refusal at once,
// once, and its page shows the rows the names alone give, from the key the
// page started with (a thumb jump: from the same share of the list);
// scrolling on tells nothing more.
TEST_F(RefusedIndexTest, ARefusalMetWhileScrollingIsToldAtOnceAndThePageShowsTheIntactDictionariesOnly) {
    const std::vector<KeyPair> edict = EdictKeys("edict", 6), enamdict = EdictKeys("enamdict", 24);
    const std::u16string intactPath = u"C:\\D\\edict-intact.qdx";
    WriteSynthetic(intactPath, edict, kIndexReadingWord, 1);
    RDFDictionary* names = AddSynthetic(u"C:\\D\\enamdict.qdx", enamdict, kIndexReadingWord, 10000000);
    TestShelf intactShelf, namesShelf;
    intactShelf.dictionaries = {OpenOnShelf(intactPath), names};
    namesShelf.dictionaries = {names};
    WordList overIntact(&intactShelf, kListReadings), overNames(&namesShelf, kListReadings);
    for (RDFDictionary* d : intactShelf.dictionaries) overIntact.AddDictionary(d);
    overNames.AddDictionary(names);

    enum Scroll { kPageDown, kWheel, kThumb };
    for (Scroll scroll : {kPageDown, kWheel, kThumb}) {
        SCOPED_TRACE(scroll);
        app.messages.clear();
        const std::u16string damagedPath = u"C:\\D\\edict-" + std::u16string(1, u'0' + scroll) + u".qdx";
        WriteSynthetic(damagedPath, edict, kIndexReadingWord, 1);
        const std::u16string damagedKey = SwapKeysInAMiddleLeaf(damagedPath);
        ASSERT_FALSE(damagedKey.empty());
        RDFDictionary* damaged = OpenOnShelf(damagedPath);
        TestShelf shelf;
        shelf.dictionaries = {damaged, names};
        WordList list(&shelf, kListReadings);
        for (RDFDictionary* d : shelf.dictionaries) list.AddDictionary(d);
        PaintingHost window;
        ListViewModel view(2, &list, &window);
        window.view = &view;
        view.rowsPerPage = 30;

        // Start some leaves before the damage, where a seek never reaches it.
        const int32_t damagedRow = overIntact.Find(damagedKey, nullptr, kListReadings, nullptr, nullptr);
        const int32_t start = std::max(damagedRow - 600, 0);
        const std::u16string startKey(overIntact.GetEntry(start)->FieldText(0));
        const std::u16string startReading(overIntact.GetEntry(start)->FieldText(1));
        const std::u16string_view reading = startReading;
        view.SearchText(startKey, &reading);
        ASSERT_TRUE(app.messages.empty());
        ASSERT_EQ(view.currentRow, start);

        int32_t expectedTop = -1;  // the top row the scroll that met the damage asked for
        for (int step = 0; step < 1000 && app.messages.empty(); ++step) {
            for (int32_t line = 0; line < std::min(view.filledLines, view.rowsPerPage); ++line) {
                const int32_t row = view.lines[line].firstRow;
                ASSERT_EQ(KeyAt(list, row), KeyAt(overIntact, row)) << "row " << row << " before the damage";
            }
            if (scroll == kPageDown) {
                expectedTop = view.topRow + view.rowsPerPage - 1;
                view.PageDown(false, false);
            } else if (scroll == kWheel) {
                expectedTop = std::max(view.topRow, view.currentRow + 1 - (view.rowsPerPage - 1));
                view.LineDown(false, false);
            } else {
                // The window's thumb: the model bisects towards the row, then the page is painted.
                expectedTop = damagedRow + 5;
                view.topRow = std::clamp(list.PrepareJump(expectedTop, 30 * 16), 0, list.RowCount() - 1);
                expectedTop = view.topRow;
                view.FillPage();
                window.Paint();
            }
        }
        ASSERT_EQ(app.messages.size(), 1u) << "told at the scroll that met the damage";
        EXPECT_EQ(list.RowCount(), overNames.RowCount());
        EXPECT_EQ(app.messages[0].text, u"Cannot read file: " + damagedPath + u"\nData integrity broken");
        EXPECT_EQ(damaged->ReadRefusal(), DmsStatus::IntegrityBroken);

        // The page starts at the key the scroll asked for, among the names;
        // a thumb jump onto the damage, at the same share of the list.
        if (scroll == kThumb) {
            EXPECT_EQ(expectedTop, damagedRow + 5) << "the row the thumb asked for";
            EXPECT_EQ(view.topRow, static_cast<int32_t>(int64_t{expectedTop} * overNames.RowCount() /
                                                        overIntact.RowCount()));
        } else {
            const std::u16string anchorKey(overIntact.GetEntry(expectedTop)->FieldText(0));
            const std::u16string anchorReading(overIntact.GetEntry(expectedTop)->FieldText(1));
            const std::u16string_view anchor = anchorReading;
            EXPECT_EQ(view.topRow, overNames.Find(anchorKey, &anchor, kListReadings, nullptr, nullptr));
        }
        ASSERT_GT(view.filledLines, 0);
        for (int32_t line = 0; line < view.filledLines; ++line) {
            const int32_t row = view.lines[line].firstRow;
            EXPECT_EQ(KeyAt(list, row), KeyAt(overNames, row)) << "row " << row << " after the damage";
        }
        view.PageDown(false, false);
        view.LineDown(false, false);
        EXPECT_EQ(app.messages.size(), 1u) << "once";
    }
}

}  // namespace
