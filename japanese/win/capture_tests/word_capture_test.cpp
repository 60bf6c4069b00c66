// The word processor capture under Wine: fake documents registered under
// file monikers in Wine's running object table, found through the caption of
// an "OpusApp" window and read through automation by name.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <memory>

#include "capture_test_support.h"
#include "fake_dispatch.h"
#include "japanese/capture_rules.h"

namespace ostrel::japanese::testing {
namespace {

// A running document: its text, the character the pointer is over, the
// range's start and end, and what the word processor is asked.
struct FakeDocument {
    std::u16string text;
    int32_t pointAt = 0;
    int32_t rangeLength = 1;  // a paragraph's range can be long
    bool refuseStart = false;
    int32_t start = 0;
    int32_t end = 0;
    std::vector<std::pair<int32_t, int32_t>> rangeFromPoint;  // (rgvarg[0], rgvarg[1])
    FakeDispatch* document = nullptr;
    std::vector<FakeDispatch*> owned;
    DWORD cookie = 0;

    ~FakeDocument() {
        for (FakeDispatch* object : owned) object->Release();
    }
};

HRESULT PutOrGet(int32_t& field, bool refuse, const std::vector<VARIANT>& arguments, WORD flags, VARIANT* result) {
    if (flags & DISPATCH_PROPERTYPUT) {
        if (refuse) return DISP_E_EXCEPTION;
        if (arguments.size() != 1 || arguments[0].vt != VT_I4) return DISP_E_TYPEMISMATCH;
        field = arguments[0].lVal;
        return S_OK;
    }
    result->vt = VT_I4;
    result->lVal = field;
    return S_OK;
}

// Document → Windows → Item(1) → RangeFromPoint(x, y) → Start, End, Text.
std::unique_ptr<FakeDocument> MakeDocument(std::u16string text, int32_t pointAt) {
    auto fake = std::make_unique<FakeDocument>();
    FakeDocument* scene = fake.get();
    scene->text = std::move(text);
    scene->pointAt = pointAt;
    FakeDispatch* range = FakeDispatch::Make();
    range->On(L"Start", [scene](const auto& arguments, WORD flags, VARIANT* result) {
        return PutOrGet(scene->start, scene->refuseStart, arguments, flags, result);
    });
    range->On(L"End", [scene](const auto& arguments, WORD flags, VARIANT* result) {
        return PutOrGet(scene->end, false, arguments, flags, result);
    });
    range->On(L"Text", [scene](const auto&, WORD, VARIANT* result) {
        int32_t end = std::min<int32_t>(scene->end, static_cast<int32_t>(scene->text.size()));
        std::u16string piece = scene->text.substr(scene->start, end - scene->start);
        result->vt = VT_BSTR;
        result->bstrVal = SysAllocStringLen(reinterpret_cast<const wchar_t*>(piece.data()), piece.size());
        return S_OK;
    });
    FakeDispatch* window = FakeDispatch::Make();
    window->On(L"RangeFromPoint", [scene, range](const std::vector<VARIANT>& arguments, WORD flags, VARIANT* result) {
        if (flags != DISPATCH_METHOD || arguments.size() != 2) return DISP_E_BADPARAMCOUNT;
        scene->rangeFromPoint.emplace_back(arguments[0].lVal, arguments[1].lVal);
        scene->start = scene->pointAt;
        scene->end = scene->pointAt + scene->rangeLength;
        range->AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = range;
        return S_OK;
    });
    FakeDispatch* windows = FakeDispatch::Make();
    windows->IntProperty(L"Count", 1);
    windows->On(L"Item", [window](const std::vector<VARIANT>& arguments, WORD, VARIANT* result) {
        if (arguments.size() != 1 || arguments[0].vt != VT_I4 || arguments[0].lVal != 1) return DISP_E_BADINDEX;
        window->AddRef();
        result->vt = VT_DISPATCH;
        result->pdispVal = window;
        return S_OK;
    });
    FakeDispatch* document = FakeDispatch::Make();
    document->ObjectProperty(L"Windows", windows);
    scene->document = document;
    scene->owned = {document, windows, window, range};
    return fake;
}

class WordCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(GetRunningObjectTable(0, table_.Out())));
    }
    void TearDown() override {
        for (FakeDocument* document : registered_) table_->Revoke(document->cookie);
        if (app_) DestroyWindow(app_);
        Pump();
    }
    // Registers the document as running under `path`.
    void Register(FakeDocument& document, const wchar_t* path, bool fileMoniker = true) {
        ComPtr<IMoniker> moniker;
        HRESULT made = fileMoniker ? CreateFileMoniker(path, moniker.Out()) : CreateItemMoniker(L"!", path, moniker.Out());
        ASSERT_TRUE(SUCCEEDED(made));
        ASSERT_TRUE(SUCCEEDED(table_->Register(0, document.document, moniker.Get(), &document.cookie)));
        registered_.push_back(&document);
    }
    // A word processor window with the caption and its page as a child.
    void OpenWindow(const wchar_t* caption) {
        app_ = MakeWindow(L"OpusApp", {120, 120, 520, 420}, caption);
        MakeWindow(L"_WwG", {}, L"", app_);
    }
    std::vector<Translation> CaptureAtCentre(UnderCursorStep& step) {
        POINT centre = CentreOf(app_);
        RestPointerAt(step, centre.x, centre.y);
        return host_.translations;
    }

    ComPtr<IRunningObjectTable> table_;
    std::vector<FakeDocument*> registered_;
    HWND app_ = nullptr;
    RecordingHost host_;
};

std::u16string Sample(size_t length) {
    const std::u16string pattern = u"吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。";
    std::u16string text;
    while (text.size() < length) text += pattern;
    return text.substr(0, length);
}

TEST_F(WordCaptureTest, TheRangeAtThePointIsWidenedTwentyEachSideAndItsCaretKept) {
    auto report = MakeDocument(Sample(80), 30);
    Register(*report, L"C:\\docs\\Report.docx");
    OpenWindow(L"Report.docx - Word");
    UnderCursorStep step(host_);
    auto translations = CaptureAtCentre(step);
    ASSERT_EQ(translations, (std::vector<Translation>{{report->text.substr(10, 41), 20}}));
    // RangeFromPoint(x, y) arrives last first: y in rgvarg[0], x in rgvarg[1].
    POINT centre = CentreOf(app_);
    ASSERT_EQ(report->rangeFromPoint.size(), 1u);
    EXPECT_EQ(report->rangeFromPoint[0], (std::pair<int32_t, int32_t>(centre.y, centre.x)));

    // Five characters into the document: from its start, caret 5.
    report->pointAt = 5;
    host_.translations.clear();
    RestPointerAt(step, centre.x + 1, centre.y);
    EXPECT_EQ(host_.translations, (std::vector<Translation>{{report->text.substr(0, 26), 5}}));
}

TEST_F(WordCaptureTest, ARefusedStartWriteStillTranslatesTheWordAtThePoint) {
    auto report = MakeDocument(Sample(80), 30);
    report->refuseStart = true;
    Register(*report, L"C:\\docs\\Report.docx");
    OpenWindow(L"Report.docx - Word");
    UnderCursorStep step(host_);
    auto translations = CaptureAtCentre(step);
    ASSERT_EQ(translations.size(), 1u);
    const Translation& got = translations[0];
    ASSERT_LT(got.caret, static_cast<int32_t>(got.text.size()));
    EXPECT_EQ(got.text[got.caret], report->text[30]);
    EXPECT_EQ(got, (Translation{report->text.substr(30, 21), 0}));
}

TEST_F(WordCaptureTest, TheLongestNameInTheCaptionWinsAndNamesThatCannotBeDocumentsAreNotBound) {
    auto data = MakeDocument(Sample(300), 100);
    auto a = MakeDocument(u"aaaa", 1);
    auto hidden = MakeDocument(u"hidden", 1);
    auto item = MakeDocument(u"item", 1);
    Register(*a, L"C:\\docs\\a.docx");
    Register(*hidden, L"C:\\docs\\.data");
    Register(*item, L"{data}", false);
    Register(*data, L"C:\\docs\\data.final.docx");
    OpenWindow(L"data.final.docx - Word");
    UnderCursorStep step(host_);
    auto translations = CaptureAtCentre(step);
    ASSERT_EQ(translations.size(), 1u);
    EXPECT_EQ(translations[0].caret, 20);
    EXPECT_EQ(translations[0].text, data->text.substr(80, 41));
    for (FakeDocument* unused : {a.get(), hidden.get(), item.get()}) EXPECT_TRUE(unused->document->lookedUp.empty());
    EXPECT_EQ(host_.notesPosted, 0);
}

TEST_F(WordCaptureTest, ALongRangeIsCutTo255Characters) {
    auto report = MakeDocument(Sample(600), 300);
    report->rangeLength = 400;  // the whole paragraph from the point
    Register(*report, L"C:\\docs\\Long.docx");
    OpenWindow(L"Long.docx - Word");
    UnderCursorStep step(host_);
    auto translations = CaptureAtCentre(step);
    EXPECT_EQ(translations, (std::vector<Translation>{{report->text.substr(280, 255), 20}}));
}

TEST_F(WordCaptureTest, WithoutAMatchingDocumentTheNoteComesOnceAfterTheStep) {
    auto other = MakeDocument(Sample(40), 10);
    Register(*other, L"C:\\docs\\Other.docx");
    OpenWindow(L"Missing.docx - Word");
    for (bool elevated : {false, true}) {
        host_.notesPosted = 0;
        host_.rest = {};
        UnderCursorStep step(host_);
        step.word.isElevated = [elevated] { return elevated; };
        std::vector<std::wstring> shown;
        step.word.messageBox = [&](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
            shown.push_back(caption);
            shown.push_back(text);
            EXPECT_EQ(type, static_cast<UINT>(MB_OK));
            return IDOK;
        };
        POINT centre = CentreOf(app_);
        RestPointerAt(step, centre.x, centre.y);
        EXPECT_TRUE(shown.empty());  // never inside the step
        EXPECT_EQ(host_.notesPosted, 1);
        step.ShowPendingNote();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0], std::wstring(std::begin(kWordNoteCaption), std::end(kWordNoteCaption) - 1));
        std::u16string_view expected = WordNoteText(elevated);
        EXPECT_EQ(shown[1], std::wstring(expected.begin(), expected.end()));
        // Later misses say nothing.
        RestPointerAt(step, centre.x + 1, centre.y);
        step.ShowPendingNote();
        EXPECT_EQ(host_.notesPosted, 1);
        EXPECT_EQ(shown.size(), 2u);
    }
    EXPECT_TRUE(host_.translations.empty());
    EXPECT_TRUE(other->document->lookedUp.empty());
}

}  // namespace
}  // namespace ostrel::japanese::testing
