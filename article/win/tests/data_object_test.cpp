// The drag's data object, format enumerator and drop source driven by Wine's
// own OLE: put on the clipboard with OleSetClipboard and read back through
// OleGetClipboard, the plain clipboard and a RichEdit's paste; the requests
// refused; failed and empty renders; two renders giving two independent
// blocks; the enumerator's bounds; the drop source's answers.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <richedit.h>

#include <memory>
#include <string>

#include "article/article_export.h"
#include "article/win/article_drag.h"
#include "article/win/clipboard_render.h"
#include "article/win/data_object.h"
#include "article/win/drop_source.h"
#include "article/win/enum_format_etc.h"
#include "article/win/rtf_rich_edit.h"
#include "article/win/tests/clipboard_retry.h"
#include "article/win/tests/line_records.h"

namespace {

std::string BlockBytes(HGLOBAL block) {
    const auto* data = static_cast<const char*>(GlobalLock(block));
    std::string bytes(data, GlobalSize(block));
    GlobalUnlock(block);
    return bytes;
}

FORMATETC Request(CLIPFORMAT format, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT) {
    return {format, nullptr, aspect, -1, tymed};
}

template <class T> struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p != nullptr) p->Release();
    }
};

class ArticleDataObject : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        records.lines = LineRecords::Numbered(40);
        options.formatColored = 1;
        options.addBlankLines = 3;  // the clipboard's document has none all the same
        ASSERT_EQ(CreateArticleDataObject(
                      [this](UINT format, HGLOBAL* block) {
                          ++renders;
                          ArticleExportBuilder builder;
                          return RenderSelectionForClipboard(format, records, options, builder, block);
                      },
                      &data.p),
                  S_OK);
        ExportOptions flat = options;
        flat.addBlankLines = 0;
        ArticleExportBuilder builder;
        std::unique_ptr<char[]> bytes;
        const int32_t size = builder.BuildRtf(records, flat)->ToMemory(bytes);
        expectedRtf.assign(bytes.get(), static_cast<size_t>(size));
        expectedRtf += '\0';
        expectedText = builder.BuildText(records, TextLineEnds::CrLf);
    }
    void TearDown() override {
        if (data.p != nullptr) data.p->Release();
        data.p = nullptr;
        OleUninitialize();
    }

    LineRecords records;
    ExportOptions options;
    ComPtr<IDataObject> data;
    int renders = 0;
    std::string expectedRtf;
    std::u16string expectedText;
};

TEST_F(ArticleDataObject, OleClipboardEnumeratesAndRendersBothFormats) {
    ASSERT_EQ(Patiently([&] { return OleSetClipboard(data.p); }), S_OK);
    ComPtr<IDataObject> pasted;
    ASSERT_EQ(OleGetClipboard(&pasted.p), S_OK);

    ComPtr<IEnumFORMATETC> formats;
    ASSERT_EQ(pasted.p->EnumFormatEtc(DATADIR_GET, &formats.p), S_OK);
    std::vector<CLIPFORMAT> offered;
    FORMATETC format;
    while (formats.p->Next(1, &format, nullptr) == S_OK) offered.push_back(format.cfFormat);
    ASSERT_GE(offered.size(), 2u);
    EXPECT_EQ(offered[0], RichTextClipboardFormat());
    EXPECT_EQ(offered[1], CF_UNICODETEXT);

    FORMATETC rtf = Request(static_cast<CLIPFORMAT>(RichTextClipboardFormat()));
    STGMEDIUM medium = {};
    ASSERT_EQ(pasted.p->GetData(&rtf, &medium), S_OK);
    EXPECT_EQ(BlockBytes(medium.hGlobal).substr(0, expectedRtf.size()), expectedRtf);
    ReleaseStgMedium(&medium);

    FORMATETC text = Request(CF_UNICODETEXT);
    ASSERT_EQ(pasted.p->GetData(&text, &medium), S_OK);
    const std::string bytes = BlockBytes(medium.hGlobal);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes.data())), expectedText);
    ReleaseStgMedium(&medium);

    // The plain clipboard, after OLE rendered everything into it.
    ASSERT_EQ(Patiently(OleFlushClipboard), S_OK);
    ASSERT_TRUE(OpenClipboardPatiently());
    ClipboardClosed closed;
    HANDLE plain = GetClipboardData(CF_UNICODETEXT);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(std::u16string(static_cast<const char16_t*>(GlobalLock(plain))), expectedText);
    GlobalUnlock(plain);
}

TEST_F(ArticleDataObject, RichEditPastesTheDocumentsText) {
    HMODULE library = LoadLibraryW(L"Riched20.dll");
    ASSERT_NE(library, nullptr);
    auto makeEdit = [] {
        return CreateWindowExW(0, L"RichEdit20W", L"", WS_POPUP | ES_MULTILINE, 0, 0, 400, 300, nullptr, nullptr,
                               nullptr, nullptr);
    };
    HWND pasted = makeEdit(), streamed = makeEdit();
    ASSERT_TRUE(pasted && streamed);
    ASSERT_EQ(Patiently([&] { return OleSetClipboard(data.p); }), S_OK);
    SendMessageW(pasted, EM_PASTESPECIAL, RichTextClipboardFormat(), 0);

    ExportOptions flat = options;
    flat.addBlankLines = 0;
    ArticleExportBuilder builder;
    ASSERT_EQ(StreamToRichEdit(*builder.BuildRtf(records, flat), streamed), 1);
    auto text = [](HWND edit) {
        std::wstring out(static_cast<size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
        out.resize(static_cast<size_t>(GetWindowTextW(edit, out.data(), static_cast<int>(out.size()))));
        return out;
    };
    EXPECT_GT(text(streamed).size(), 1000u);
    // A paste keeps the document's last paragraph mark, a stream replaces the control's own with it.
    auto trimmed = [](std::wstring s) {
        while (!s.empty() && (s.back() == L'\r' || s.back() == L'\n')) s.pop_back();
        return s;
    };
    EXPECT_EQ(trimmed(text(pasted)), trimmed(text(streamed)));
    EXPECT_NE(text(pasted).find(L"word39\u3000meaning 39"), std::wstring::npos);
    Patiently([] { return OleSetClipboard(nullptr); });
    DestroyWindow(pasted);
    DestroyWindow(streamed);
    FreeLibrary(library);
}

TEST_F(ArticleDataObject, RefusesWhatItDoesNotOffer) {
    FORMATETC stream = Request(CF_UNICODETEXT, TYMED_ISTREAM);
    FORMATETC thumbnail = Request(CF_UNICODETEXT, TYMED_HGLOBAL, DVASPECT_THUMBNAIL);
    FORMATETC ansi = Request(CF_TEXT);
    FORMATETC both = Request(CF_UNICODETEXT, TYMED_HGLOBAL | TYMED_ISTREAM);
    STGMEDIUM medium = {};
    EXPECT_EQ(data.p->GetData(&stream, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data.p->GetData(&thumbnail, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data.p->GetData(&ansi, &medium), DV_E_FORMATETC);
    EXPECT_EQ(data.p->QueryGetData(&stream), DV_E_FORMATETC);
    EXPECT_EQ(data.p->QueryGetData(&both), S_OK);
    EXPECT_EQ(data.p->GetData(nullptr, &medium), E_INVALIDARG);
    EXPECT_EQ(data.p->GetData(&both, nullptr), E_INVALIDARG);
    EXPECT_EQ(renders, 0);
}

TEST_F(ArticleDataObject, TwoRendersGiveTwoIndependentBlocks) {
    FORMATETC rtf = Request(static_cast<CLIPFORMAT>(RichTextClipboardFormat()));
    STGMEDIUM first = {}, second = {};
    ASSERT_EQ(data.p->GetData(&rtf, &first), S_OK);
    ASSERT_EQ(data.p->GetData(&rtf, &second), S_OK);
    EXPECT_EQ(renders, 2);
    EXPECT_NE(first.hGlobal, second.hGlobal);
    EXPECT_EQ(first.pUnkForRelease, nullptr);
    ASSERT_EQ(BlockBytes(first.hGlobal), BlockBytes(second.hGlobal));
    static_cast<char*>(GlobalLock(first.hGlobal))[0] = 'X';
    GlobalUnlock(first.hGlobal);
    EXPECT_EQ(BlockBytes(second.hGlobal).substr(0, expectedRtf.size()), expectedRtf);
    ReleaseStgMedium(&first);
    ReleaseStgMedium(&second);
}

// A failed or empty render is never reported as success with a null block.
TEST(ArticleDataObjectRender, FailureAndNothingToGiveAreErrors) {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    for (HRESULT answer : {E_OUTOFMEMORY, DV_E_FORMATETC, S_OK}) {
        ComPtr<IDataObject> data;
        ASSERT_EQ(CreateArticleDataObject([answer](UINT, HGLOBAL* block) { *block = nullptr; return answer; },
                                          &data.p),
                  S_OK);
        FORMATETC text = Request(CF_UNICODETEXT);
        STGMEDIUM medium = {};
        EXPECT_EQ(data.p->GetData(&text, &medium), answer == S_OK ? E_OUTOFMEMORY : answer);
        EXPECT_EQ(medium.hGlobal, nullptr);
    }
    // No articles, or articles of blanks alone: nothing to give in either format.
    LineRecords none, blank;
    blank.lines = {u" ", u"\u3000 \u3000"};
    ArticleExportBuilder builder;
    for (LineRecords* records : {&none, &blank}) {
        HGLOBAL block = nullptr;
        EXPECT_EQ(RenderSelectionForClipboard(CF_UNICODETEXT, *records, {}, builder, &block), DV_E_FORMATETC);
        EXPECT_EQ(RenderSelectionForClipboard(RichTextClipboardFormat(), *records, {}, builder, &block), DV_E_FORMATETC);
        EXPECT_EQ(block, nullptr);
    }
    OleUninitialize();
}

TEST(FormatEnumerator, NextSkipResetAndCloneKeepWithinTheList) {
    DVTARGETDEVICE device = {};
    device.tdSize = sizeof device;
    FORMATETC formats[2] = {{CF_TEXT, &device, DVASPECT_CONTENT, -1, TYMED_HGLOBAL},
                            {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}};
    ComPtr<IEnumFORMATETC> list;
    ASSERT_EQ(CreateEnumFormatEtc(2, formats, &list.p), S_OK);
    FORMATETC out[3] = {};
    ULONG fetched = 99;
    EXPECT_EQ(list.p->Next(3, out, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 2u);
    ASSERT_NE(out[0].ptd, nullptr);
    EXPECT_NE(out[0].ptd, &device);  // a copy the caller frees
    CoTaskMemFree(out[0].ptd);
    EXPECT_EQ(out[1].cfFormat, CF_UNICODETEXT);

    EXPECT_EQ(list.p->Reset(), S_OK);
    EXPECT_EQ(list.p->Skip(5), S_FALSE);
    fetched = 99;
    EXPECT_EQ(list.p->Next(1, out, &fetched), S_FALSE);  // past the end: nothing copied
    EXPECT_EQ(fetched, 0u);

    EXPECT_EQ(list.p->Reset(), S_OK);
    EXPECT_EQ(list.p->Skip(1), S_OK);
    ComPtr<IEnumFORMATETC> clone;
    ASSERT_EQ(list.p->Clone(&clone.p), S_OK);
    EXPECT_EQ(clone.p->Next(1, out, &fetched), S_OK);
    EXPECT_EQ(out[0].cfFormat, CF_UNICODETEXT);
}

TEST(DropSource, EscapeCancelsAndButtonUpDrops) {
    ComPtr<IDropSource> source;
    ASSERT_EQ(CreateDropSource(&source.p), S_OK);
    EXPECT_EQ(source.p->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
    EXPECT_EQ(source.p->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
    EXPECT_EQ(source.p->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
}

}  // namespace
