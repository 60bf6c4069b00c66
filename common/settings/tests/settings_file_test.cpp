// CIni's rules over an in-memory store: defaults, integers, the main window
// state and the dictionary slots.
#include "common/settings/settings_file.h"

#include <gtest/gtest.h>

#include "common/settings/tests/memory_profile_store.h"

namespace {

class SettingsFileTest : public testing::Test {
protected:
    SettingsFileTest() {
        auto store = std::make_unique<MemoryProfileStore>(&values_);
        store_ = store.get();
        ini_ = std::make_unique<CIni>(std::move(store));
    }
    void Put(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
        values_[{MemoryProfileStore::Fold(section), MemoryProfileStore::Fold(key)}] = std::u16string(value);
    }
    std::u16string Stored(std::u16string_view section, std::u16string_view key) {
        auto found = values_.find({MemoryProfileStore::Fold(section), MemoryProfileStore::Fold(key)});
        return found == values_.end() ? u"<missing>" : found->second;
    }

    MemoryProfileStore::Values values_;
    MemoryProfileStore* store_ = nullptr;
    std::unique_ptr<CIni> ini_;
};

TEST_F(SettingsFileTest, FreshObjectHoldsNoState) {
    EXPECT_EQ(ini_->valid, 0);
    EXPECT_EQ(ini_->version, 0u);
    EXPECT_EQ(ini_->flags, 0u);
    EXPECT_EQ(ini_->cx, 0);
    EXPECT_EQ(ini_->searchOnListSwitch, 1);
}

TEST_F(SettingsFileTest, GetIntFollowsTheEdgeCases) {
    Put(u"Print", u"Letters", u"abc");
    Put(u"Print", u"Empty", u"");
    Put(u"Print", u"Mixed", u"12pt");
    Put(u"Window", u"x", u"-1920");
    EXPECT_EQ(ini_->GetInt(u"Print", u"Letters", 9), 0);
    EXPECT_EQ(ini_->GetInt(u"Print", u"Empty", 9), 9);
    EXPECT_EQ(ini_->GetInt(u"Print", u"Mixed", 9), 12);
    EXPECT_EQ(ini_->GetInt(u"Print", u"Missing", 9), 9);
    EXPECT_EQ(ini_->GetInt(u"NoSuchSection", u"Letters", 9), 9);
    EXPECT_EQ(ini_->GetInt(u"Window", u"x", 0), -1920);
}

TEST_F(SettingsFileTest, GetIntLooksAtTheFirst79UnitsOnly) {
    Put(u"View", u"Long", std::u16string(79, u' ') + u"5");
    EXPECT_EQ(ini_->GetInt(u"View", u"Long", 3), 0);
    Put(u"View", u"Long", std::u16string(78, u' ') + u"5");
    EXPECT_EQ(ini_->GetInt(u"View", u"Long", 3), 5);
}

TEST_F(SettingsFileTest, GetStringGivesTheDefaultForMissingOrEmptyAndCuts) {
    Put(u"Fonts", u"RusName", u"");
    EXPECT_EQ(ini_->GetString(u"Fonts", u"RusName", u"Arial", 31), u"Arial");
    EXPECT_EQ(ini_->GetString(u"Fonts", u"KanjiName", u"MS UI Gothic", 31), u"MS UI Gothic");
    Put(u"Fonts", u"KanjiName", u"ＭＳ ゴシック");
    EXPECT_EQ(ini_->GetString(u"Fonts", u"KanjiName", u"MS UI Gothic", 31), u"ＭＳ ゴシック");
    Put(u"View", u"MemoList", std::u16string(300, u'x'));
    EXPECT_EQ(ini_->GetString(u"View", u"MemoList", u"", 255).size(), 255u);

    char16_t buffer[6];
    EXPECT_EQ(ini_->GetString(u"View", u"MemoList", u"", buffer), 5);
    EXPECT_EQ(std::u16string_view(buffer), u"xxxxx");
    EXPECT_EQ(ini_->GetString(u"View", u"None", u"ab", buffer), 2);
    EXPECT_EQ(std::u16string_view(buffer), u"ab");
    EXPECT_EQ(ini_->GetString(u"View", u"None", u"ab", std::span<char16_t>()), 0);
}

TEST_F(SettingsFileTest, WritesIntegersInDecimal) {
    EXPECT_EQ(ini_->WriteInt(u"Window", u"y", -300), 1);
    EXPECT_EQ(Stored(u"Window", u"y"), u"-300");
    EXPECT_EQ(ini_->WriteString(u"Dictionaries", u"Folder", u"C:\\Словари"), 1);
    EXPECT_EQ(Stored(u"Dictionaries", u"Folder"), u"C:\\Словари");
    store_->failWrites = true;
    EXPECT_EQ(ini_->WriteInt(u"Window", u"y", 1), 0);
    EXPECT_EQ(ini_->WriteString(u"Window", u"y", u"1"), 0);
}

TEST_F(SettingsFileTest, RefusesEntriesThatWouldBreakTheLine) {
    EXPECT_EQ(ini_->WriteString(u"View", u"MemoList", u"a\r\n[Application]\r\nFlags=1"), 0);
    EXPECT_EQ(ini_->WriteString(u"View", u"Memo\nList", u"a"), 0);
    EXPECT_EQ(ini_->WriteString(u"Vi\rew", u"MemoList", u"a"), 0);
    EXPECT_EQ(ini_->WriteString(u"View", std::u16string_view(u"a\0b", 3), u"a"), 0);
    EXPECT_EQ(ini_->WriteString(u"", u"MemoList", u"a"), 0);
    EXPECT_EQ(ini_->WriteString(u"View", u"", u"a"), 0);
    EXPECT_EQ(store_->writes, 0);
    std::u16string path = u"C:\\a\nb.qdx";
    EXPECT_EQ(ini_->WriteDictionarySlot(&path, 0, 1), 0);
    EXPECT_EQ(ini_->WriteString(u"View", u"MemoList", u""), 1);  // an empty value is fine
}

struct MainStateCase {
    const char* name;
    std::u16string_view version, flags, cx, cy;
    int32_t valid;
    uint32_t expectedFlags;
    uint32_t expectedVersion;
};

class LoadMainStateTest : public SettingsFileTest, public testing::WithParamInterface<MainStateCase> {};

TEST_P(LoadMainStateTest, ValidOnlyWithVersionAndNonZeroSize) {
    const MainStateCase& c = GetParam();
    if (!c.version.empty()) Put(u"Application", u"Version", c.version);
    if (!c.flags.empty()) Put(u"Application", u"Flags", c.flags);
    if (!c.cx.empty()) Put(u"Window", u"cx", c.cx);
    if (!c.cy.empty()) Put(u"Window", u"cy", c.cy);
    EXPECT_EQ(ini_->LoadMainState(), 1);
    EXPECT_EQ(ini_->valid, c.valid);
    EXPECT_EQ(ini_->flags, c.expectedFlags);
    EXPECT_EQ(ini_->version, c.expectedVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadMainStateTest,
    testing::Values(MainStateCase{"Complete", u"11.11.0", u"16384", u"800", u"600", 1, 0x4000, 0x0B0B0000},
                    MainStateCase{"NoVersion", u"", u"16384", u"800", u"600", 0, 0x4000 | 0x8000, 0},
                    MainStateCase{"NothingAtAll", u"", u"", u"", u"", 0, 0x8000, 0},
                    MainStateCase{"ZeroWidth", u"11.11.0", u"2048", u"0", u"600", 0, 0x800, 0x0B0B0000},
                    MainStateCase{"NoHeight", u"11.11.0", u"", u"800", u"", 0, 0, 0x0B0B0000},
                    MainStateCase{"LettersForWidth", u"11.11.0", u"", u"wide", u"600", 0, 0, 0x0B0B0000},
                    MainStateCase{"NegativeSize", u"10.5", u"1", u"-800", u"-600", 1, 1, 0x0A050000},
                    MainStateCase{"BadVersionStillPresent", u"1.101", u"", u"800", u"600", 1, 0, 0}),
    [](const testing::TestParamInfo<MainStateCase>& info) { return info.param.name; });

TEST_F(SettingsFileTest, LoadMainStateReadsWindowAndView) {
    Put(u"Application", u"Version", u"11.11.0");
    Put(u"Window", u"x", u"-1280");
    Put(u"Window", u"y", u"-20");
    Put(u"Window", u"cx", u"1024");
    Put(u"Window", u"cy", u"700");
    Put(u"Window", u"cy2", u"250");
    Put(u"View", u"SearchOnListSwitch", u"0");
    ini_->LoadMainState();
    EXPECT_EQ(ini_->x, -1280);
    EXPECT_EQ(ini_->y, -20);
    EXPECT_EQ(ini_->cx, 1024);
    EXPECT_EQ(ini_->cy, 700);
    EXPECT_EQ(ini_->cy2, 250);
    EXPECT_EQ(ini_->searchOnListSwitch, 0);
    values_.clear();
    ini_->LoadMainState();
    EXPECT_EQ(ini_->searchOnListSwitch, 1);
    EXPECT_EQ(ini_->x, 0);
}

TEST_F(SettingsFileTest, SaveMainStateWritesWhatLoadReads) {
    ini_->flags = 0x29000;
    ini_->x = -1500;
    ini_->y = 40;
    ini_->cx = 900;
    ini_->cy = 650;
    ini_->cy2 = 210;
    EXPECT_EQ(ini_->SaveMainState(1), 1);
    EXPECT_EQ(Stored(u"Application", u"Version"), u"11.11.0");
    EXPECT_EQ(Stored(u"Application", u"Flags"), u"167936");
    EXPECT_EQ(Stored(u"Application", u"ShellInstall"), u"1");

    CIni reread(std::make_unique<MemoryProfileStore>(&values_));
    reread.LoadMainState();
    EXPECT_EQ(reread.valid, 1);
    EXPECT_EQ(reread.version, 0x0B0B0000u);
    EXPECT_EQ(reread.flags, 0x29000u);
    EXPECT_EQ(reread.x, -1500);
    EXPECT_EQ(reread.y, 40);
    EXPECT_EQ(reread.cx, 900);
    EXPECT_EQ(reread.cy, 650);
    EXPECT_EQ(reread.cy2, 210);
}

TEST_F(SettingsFileTest, SaveMainStateReportsAFailedWrite) {
    store_->failWrites = true;
    EXPECT_EQ(ini_->SaveMainState(0), 0);
    EXPECT_EQ(store_->writes, 8);  // every key is still tried
}

TEST_F(SettingsFileTest, DictionarySlotsRoundTrip) {
    std::u16string comma = u"C:\\Dicts, old\\a.qdx";
    std::u16string japanese = u"C:\\ユーザー\\辞書\\和英.qdx";
    EXPECT_EQ(ini_->WriteDictionarySlot(&comma, 0, 2), 1);
    EXPECT_EQ(ini_->WriteDictionarySlot(&japanese, 1, 0), 1);
    EXPECT_EQ(Stored(u"Dictionaries", u"File1"), u"C:\\Dicts, old\\a.qdx,2");
    EXPECT_EQ(Stored(u"Dictionaries", u"File2"), u"C:\\ユーザー\\辞書\\和英.qdx,0");

    std::u16string path = u"junk";
    int32_t state = 9;
    EXPECT_EQ(ini_->ReadDictionarySlot(path, 0, state), static_cast<int32_t>(comma.size() + 2));
    EXPECT_EQ(path, comma);
    EXPECT_EQ(state, 2);
    ini_->ReadDictionarySlot(path, 1, state);
    EXPECT_EQ(path, japanese);
    EXPECT_EQ(state, 0);

    EXPECT_EQ(ini_->ReadDictionarySlot(path, 2, state), 0);
    EXPECT_EQ(path, u"");
    EXPECT_EQ(state, 0);
}

TEST_F(SettingsFileTest, DictionarySlotWithoutStateIsAllPath) {
    Put(u"Dictionaries", u"File1", u"C:\\Dicts\\edict.qdx");
    std::u16string path;
    int32_t state = 5;
    ini_->ReadDictionarySlot(path, 0, state);
    EXPECT_EQ(path, u"C:\\Dicts\\edict.qdx");
    EXPECT_EQ(state, 0);
}

TEST_F(SettingsFileTest, NullDictionaryClearsTheSlotAndEmptyPathWritesNothing) {
    std::u16string path = u"C:\\a.qdx";
    ini_->WriteDictionarySlot(&path, 4, 1);
    EXPECT_EQ(ini_->WriteDictionarySlot(nullptr, 4, 1), 1);
    EXPECT_EQ(Stored(u"Dictionaries", u"File5"), u"");

    std::u16string empty;
    int writesBefore = store_->writes;
    EXPECT_EQ(ini_->WriteDictionarySlot(&empty, 5, 1), 1);
    EXPECT_EQ(store_->writes, writesBefore);
    EXPECT_EQ(Stored(u"Dictionaries", u"File6"), u"<missing>");

    store_->failWrites = true;
    EXPECT_EQ(ini_->WriteDictionarySlot(&path, 4, 1), 0);
}

}  // namespace
