// CRichEdit over a real RichEdit 2.0 control under a real top-level window:
// text round trips (long texts, supplementary planes, line ends), the two
// script faces, selections, redraw, the font height, pasted text evened out,
// the bounded streams and a control that failed to create.
#include <gtest/gtest.h>

#include <windows.h>
#include <richedit.h>

#include <memory>
#include <string>

#include "article/win/rich_edit.h"
#include "article/win/rich_edit_stream.h"
#include "article/win/tests/recording_view_host.h"
#include "article/win/tests/rich_edit_window.h"
#include "common/tests/edict_files.h"

namespace {

class CRichEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 500, 400, nullptr, nullptr, nullptr,
                                  nullptr);
        ASSERT_NE(parent_, nullptr);
        edit_ = std::make_unique<CRichEdit>(parent_, true, 7, 0, 0, 480, 360, true);
        ASSERT_NE(edit_->Window(), nullptr);
    }
    void TearDown() override {
        edit_.reset();
        if (parent_) DestroyWindow(parent_);
    }
    HWND Control() const { return edit_->Window(); }

    RecordingViewHost host_;
    HWND parent_ = nullptr;
    std::unique_ptr<CRichEdit> edit_;
};

TEST_F(CRichEditTest, LongRealTextAndSupplementaryCharactersComeBackUnchanged) {
    std::u16string text;  // EDICT lines with CR LF ends, well past 64 KiB
    const std::vector<uint8_t> bytes = ReadEdictFile("edict");
    for (std::span<const uint8_t> line : SplitLines(bytes))
        if (text.size() < 80000) text += DecodeEucJpLine(line) + u"\r\n";
    if (text.empty()) GTEST_SKIP() << "edict not installed";
    text += u"\U00020B9F\U0002A6B2 end";
    ASSERT_GT(text.size() * 2, 65536u * 2);
    EXPECT_EQ(edit_->SetText(text.c_str()), static_cast<int32_t>(text.size()));
    EXPECT_EQ(CRichEdit::GetTextUtf16(Control()), text);
    EXPECT_FALSE(SendMessageW(Control(), EM_GETMODIFY, 0, 0));
    // Null text leaves the control alone; an empty one empties it, as Clear does.
    EXPECT_EQ(edit_->SetText(static_cast<const char16_t*>(nullptr)), 0);
    EXPECT_EQ(CRichEdit::GetTextUtf16(Control()), text);
    EXPECT_EQ(edit_->SetText(u""), 0);
    EXPECT_TRUE(CRichEdit::GetTextUtf16(Control()).empty());
    edit_->SetText(u"abc");
    edit_->Clear();
    EXPECT_TRUE(ControlText(Control()).empty());
}

TEST_F(CRichEditTest, LatinRunsAndJapaneseRunsGetTheirFaces) {
    // Line ends shift control positions: a CR LF pair is one unit in the control.
    const std::u16string text = u"ねこ cat\r\n猫\nкот\U00020B9F";
    edit_->SetText(text.c_str());
    EXPECT_EQ(ControlText(Control()), u"ねこ cat\r猫\rкот\U00020B9F");
    const struct {
        LONG position;
        const wchar_t* face;
        BYTE charset;
    } expected[] = {{0, L"MS Gothic", 128}, {1, L"MS Gothic", 128}, {2, L"Tahoma", 204},
                    {5, L"Tahoma", 204},    {7, L"MS Gothic", 128}, {9, L"Tahoma", 204},
                    {11, L"Tahoma", 204},   {12, L"MS Gothic", 128}};
    for (const auto& unit : expected) {
        const CHARFORMAT2W format = UnitFormat(Control(), unit.position);
        EXPECT_EQ(std::wstring(format.szFaceName), unit.face) << unit.position;
        EXPECT_EQ(format.bCharSet, unit.charset) << unit.position;
        EXPECT_EQ(format.yHeight, 200) << unit.position;
    }
    edit_->SetFontSize(280);  // all text, and the texts after
    EXPECT_EQ(UnitFormat(Control(), 7).yHeight, 280);
    edit_->SetText(u"xy");
    EXPECT_EQ(UnitFormat(Control(), 1).yHeight, 280);
}

TEST_F(CRichEditTest, SelectedTextNeedsASelectionMadeEitherWay) {
    edit_->SetText(u"ねこ【猫】\U00020B9F");
    SendMessageW(Control(), EM_SETSEL, 2, 2);
    EXPECT_TRUE(CRichEdit::GetSelectedText(Control()).empty());
    SendMessageW(Control(), EM_SETSEL, 5, 0);  // made backwards: the caret at the start
    EXPECT_EQ(CRichEdit::GetSelectedText(Control()), u"ねこ【猫】");
    SendMessageW(Control(), EM_SETSEL, 5, 7);
    EXPECT_EQ(CRichEdit::GetSelectedText(Control()), u"\U00020B9F");
}

TEST_F(CRichEditTest, PlainTextWithoutRedrawLeavesRedrawOff) {
    SendMessageW(Control(), EM_SETREADONLY, TRUE, 0);
    edit_->SetPlainText(u"abc", false, false);
    EXPECT_FALSE(GetWindowLongW(Control(), GWL_STYLE) & WS_VISIBLE);
    // Read-only stays as it was.
    EXPECT_TRUE(GetWindowLongW(Control(), GWL_STYLE) & ES_READONLY);
    edit_->SetPlainText(u"abc", true, true);
    EXPECT_TRUE(GetWindowLongW(Control(), GWL_STYLE) & WS_VISIBLE);
    // SetText makes the control editable.
    edit_->SetText(u"abc");
    EXPECT_FALSE(GetWindowLongW(Control(), GWL_STYLE) & ES_READONLY);
}

// Pasted through the clipboard as RTF: a 20-point red run and a 10.5-point
// run after typed text, in an input box whose font has 10 points.
TEST_F(CRichEditTest, PastedFarSizeAndColourEvenOutANearSizeStays) {
    edit_->SetText(u"ab");
    ASSERT_TRUE(PutRtfOnClipboard(parent_, "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
                                           "\\f0\\fs40\\cf1 big\\fs21\\cf0 near}"));
    SendMessageW(Control(), EM_SETSEL, 2, 2);
    SendMessageW(Control(), WM_PASTE, 0, 0);
    ASSERT_EQ(ControlText(Control()), u"abbignear");
    ASSERT_EQ(UnitFormat(Control(), 2).crTextColor, RGB(255, 0, 0));
    edit_->ReformatInputText();
    for (LONG i = 0; i < 9; ++i) {
        const CHARFORMAT2W format = UnitFormat(Control(), i);
        EXPECT_EQ(format.yHeight, i >= 5 ? 210 : 200) << i;
        EXPECT_TRUE((format.dwEffects & CFE_AUTOCOLOR) || format.crTextColor == 0) << i;
    }
}

TEST_F(CRichEditTest, StreamsStopAtTheirCapacity) {
    edit_->SetText(u"0123456789");
    char16_t out[4] = {u'x', u'x', u'x', u'x'};  // capacity 6 bytes of 8
    RichEditStreamResult result = StreamOutOfRichEdit(Control(), SF_TEXT | SF_UNICODE, out, 6);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.bytes, 6);
    EXPECT_EQ(std::u16string(out, 4), u"012x");  // nothing written past the capacity

    // In: only the bytes given are read, however much the control asks for.
    const char16_t text[] = u"abcdef";
    result = StreamIntoRichEdit(Control(), SF_TEXT | SF_UNICODE, text, 6);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.bytes, 6);
    EXPECT_EQ(ControlText(Control()), u"abc");
}

TEST(RichEditWithoutControl, EveryOperationDoesNothing) {
    RecordingViewHost host;
    CRichEdit edit(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF0)), true, 1, 0, 0, 10, 10, true);
    ASSERT_EQ(edit.Window(), nullptr);
    EXPECT_EQ(edit.Document(), nullptr);
    EXPECT_EQ(edit.StoryRange(), nullptr);
    EXPECT_EQ(edit.SetText(u"abc"), 0);
    EXPECT_EQ(edit.SetPlainText(u"abc", true, true), 0);
    edit.Clear();
    edit.SetFontSize(300);
    edit.ReformatInputText();
    EXPECT_TRUE(CRichEdit::GetTextUtf16(edit.Window()).empty());
    EXPECT_TRUE(CRichEdit::GetSelectedText(edit.Window()).empty());
    EXPECT_FALSE(UpdateEditMenuState(nullptr, edit.Window(), true, -1));
}

}  // namespace
