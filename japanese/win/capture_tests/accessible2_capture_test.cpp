// The IAccessible2 capture under Wine: a "Chrome_WidgetWin_1" window answers
// WM_GETOBJECT(OBJID_CLIENT) with LresultFromObject, Wine's own
// AccessibleObjectFromPoint finds the fake there, and the fake's
// IAccessible2 service gives a text object laid out as the C binding.
#include <windows.h>
#include <oleacc.h>
#include <servprov.h>

#include <gtest/gtest.h>

#include <cstring>

#include "capture_test_support.h"
#include "japanese/win/accessible2.h"
#include "vtable_trap.h"

namespace ostrel::japanese::testing {
namespace {

// The accessible text a browser would give: its characters, the offset it
// reports at any point and how often it fails before answering.
struct FakeTextState {
    std::u16string text;
    long offset = 0;
    int offsetFailures = 0;
    int extentsAsked = 0;
    std::vector<std::pair<long, long>> textAsked;
    LONG references = 0;
};

struct FakeText {
    IAccessibleText face;  // first: the address the capture holds
    FakeTextState* state;
};

FakeTextState* StateOf(IAccessibleText* self) { return reinterpret_cast<FakeText*>(self)->state; }

HRESULT STDMETHODCALLTYPE TextQueryInterface(IAccessibleText* self, REFIID iid, void** out) {
    *out = nullptr;
    if (iid != IID_IUnknown && iid != kIidAccessibleText) return E_NOINTERFACE;
    *out = self;
    ++StateOf(self)->references;
    return S_OK;
}
ULONG STDMETHODCALLTYPE TextAddRef(IAccessibleText* self) { return ++StateOf(self)->references; }
ULONG STDMETHODCALLTYPE TextRelease(IAccessibleText* self) { return --StateOf(self)->references; }
HRESULT STDMETHODCALLTYPE TextExtents(IAccessibleText* self, long offset, long coordinates, long* x, long* y,
                                      long* width, long* height) {
    ++StateOf(self)->extentsAsked;
    if (offset != 0 || coordinates != kScreenCoordinates) return E_INVALIDARG;
    *x = *y = 0;
    *width = *height = 10;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextOffsetAtPoint(IAccessibleText* self, long, long, long coordinates, long* offset) {
    FakeTextState* state = StateOf(self);
    if (coordinates != kScreenCoordinates) return E_INVALIDARG;
    if (state->offsetFailures > 0) {
        --state->offsetFailures;
        *offset = -1;
        return S_FALSE;  // a browser that has not laid the text out yet
    }
    *offset = state->offset;
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextGetText(IAccessibleText* self, long start, long end, BSTR* text) {
    FakeTextState* state = StateOf(self);
    RecordCall(state->textAsked, std::pair<long, long>(start, end));
    long size = static_cast<long>(state->text.size());
    if (start < 0 || end > size || start > end) return E_INVALIDARG;
    *text = SysAllocStringLen(reinterpret_cast<const wchar_t*>(state->text.data()) + start, end - start);
    return S_OK;
}
HRESULT STDMETHODCALLTYPE TextCount(IAccessibleText* self, long* count) {
    *count = static_cast<long>(StateOf(self)->text.size());
    return S_OK;
}

const IAccessibleTextVtbl* TextTable() {
    static const IAccessibleTextVtbl table = [] {
        void* slots[sizeof(IAccessibleTextVtbl) / sizeof(void*)];
        FillWithTraps(slots);
        IAccessibleTextVtbl made;
        std::memcpy(&made, slots, sizeof made);
        made.QueryInterface = TextQueryInterface;
        made.AddRef = TextAddRef;
        made.Release = TextRelease;
        made.get_characterExtents = TextExtents;
        made.get_offsetAtPoint = TextOffsetAtPoint;
        made.get_text = TextGetText;
        made.get_nCharacters = TextCount;
        return made;
    }();
    return &table;
}

// The IAccessible2 object behind the service: it answers IAccessibleText
// when the test gives it one.
class FakeAccessible2 : public IUnknown {
public:
    FakeText* text = nullptr;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == kIidAccessible2) *out = static_cast<IUnknown*>(this);
        else if (iid == kIidAccessibleText && text) *out = &text->face;
        if (!*out) return E_NOINTERFACE;
        if (*out == this) AddRef();
        else text->face.AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }
    LONG references = 1;
};

// The client object the window hands out: it is the object at every point
// (CHILDID_SELF) and offers the IAccessible2 service.
class FakeAccessible : public IAccessible, public IServiceProvider {
public:
    FakeAccessible2* accessible2 = nullptr;
    std::vector<POINT> hitTests;
    LONG references = 1;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IServiceProvider)
            *out = static_cast<IServiceProvider*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--references); }

    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** out) override {
        *out = nullptr;
        if (service != kIidAccessible2 || !accessible2) return E_NOINTERFACE;
        return accessible2->QueryInterface(iid, out);
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
        RecordCall(hitTests, POINT{x, y});
        VariantInit(child);
        child->vt = VT_I4;
        child->lVal = CHILDID_SELF;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT) override {
        *left = *top = 0;
        *width = *height = 4000;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT, VARIANT* role) override {
        role->vt = VT_I4;
        role->lVal = ROLE_SYSTEM_DOCUMENT;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT, VARIANT* state) override {
        state->vt = VT_I4;
        state->lVal = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
        *parent = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
        *child = nullptr;
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT, BSTR* name) override {
        *name = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override {
        *value = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
        *file = nullptr;
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override {
        VariantInit(child);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override {
        VariantInit(children);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* text) override {
        *text = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(long, VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
        VariantInit(end);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }
};

FakeAccessible* g_client = nullptr;
int g_clientRequests = 0;

LRESULT CALLBACK BrowserProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT && g_client) {
        ++g_clientRequests;
        return LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(g_client));
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::u16string PageText(size_t length) {
    // Embedded objects (images, links) stand in the text as U+FFFC.
    std::u16string text = u"\uFFFC見出し\uFFFC";
    const std::u16string body = u"これは日本語の文章です。ブラウザーの中の言葉を訳します。";
    while (text.size() < length) text += body;
    return text.substr(0, length);
}

class Accessible2CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClass(L"Chrome_WidgetWin_1", BrowserProc);
        state_.text = PageText(100);
        text_.face.lpVtbl = TextTable();
        text_.state = &state_;
        accessible2_.text = &text_;
        client_.accessible2 = &accessible2_;
        g_client = &client_;
        g_clientRequests = 0;
        top_ = MakeWindow(L"Chrome_WidgetWin_1", {150, 150, 550, 450}, L"Page - Browser");
        page_ = MakeWindow(L"Chrome_RenderWidgetHostHWND", {}, L"", top_);
        centre_ = CentreOf(top_);
    }
    void TearDown() override {
        DestroyWindow(top_);
        Pump();
        g_client = nullptr;
        EXPECT_EQ(state_.references, 0);  // every text object released
    }
    std::vector<Translation> CaptureWithOffset(long offset, int dx = 0) {
        state_.offset = offset;
        host_.translations.clear();
        RestPointerAt(step_, centre_.x + dx, centre_.y);
        return host_.translations;
    }

    FakeTextState state_;
    FakeText text_{};
    FakeAccessible2 accessible2_;
    FakeAccessible client_;
    HWND top_ = nullptr;
    HWND page_ = nullptr;
    POINT centre_{};
    RecordingHost host_;
    UnderCursorStep step_{host_};
};

TEST_F(Accessible2CaptureTest, TheWindowAroundTheOffsetIsTranslatedWithTheOffsetClampedFirst) {
    const std::u16string& text = state_.text;
    EXPECT_EQ(CaptureWithOffset(5), (std::vector<Translation>{{text.substr(0, 25), 5}}));
    EXPECT_EQ(CaptureWithOffset(90, 1), (std::vector<Translation>{{text.substr(70, 30), 20}}));
    // Offsets the browser reports beyond its text land on its last character.
    for (long beyond : {100L, 110L}) {
        auto got = CaptureWithOffset(beyond, static_cast<int>(beyond));
        ASSERT_EQ(got, (std::vector<Translation>{{text.substr(79, 21), 20}})) << beyond;
        EXPECT_EQ(got[0].text[got[0].caret], text[99]);
    }
    EXPECT_EQ(state_.extentsAsked, 0);
}

TEST_F(Accessible2CaptureTest, TheParentIsPrimedOnceAtItsClientCorner) {
    CaptureWithOffset(50);
    RECT client{};
    GetClientRect(top_, &client);
    MapWindowPoints(top_, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ASSERT_EQ(client_.hitTests.size(), 2u);
    EXPECT_EQ(client_.hitTests[0].x, client.left + 1);
    EXPECT_EQ(client_.hitTests[0].y, client.top + 1);
    EXPECT_EQ(client_.hitTests[1].x, centre_.x);
    CaptureWithOffset(50, 3);
    ASSERT_EQ(client_.hitTests.size(), 3u);  // the same parent: no second priming
    EXPECT_EQ(client_.hitTests[2].x, centre_.x + 3);
    EXPECT_EQ(state_.textAsked.back(), (std::pair<long, long>(30, 70)));
}

TEST_F(Accessible2CaptureTest, AFailedOffsetAsksForTheFirstExtentsAndOnceMore) {
    state_.offsetFailures = 1;
    EXPECT_EQ(CaptureWithOffset(40).size(), 1u);
    EXPECT_EQ(state_.extentsAsked, 1);
    state_.offsetFailures = 2;  // still failing after the extents: nothing
    EXPECT_TRUE(CaptureWithOffset(40, 1).empty());
    EXPECT_EQ(state_.extentsAsked, 2);
}

TEST_F(Accessible2CaptureTest, AnObjectWithoutTextOrWithoutTheServiceGivesNothing) {
    accessible2_.text = nullptr;
    EXPECT_TRUE(CaptureWithOffset(10).empty());
    client_.accessible2 = nullptr;
    EXPECT_TRUE(CaptureWithOffset(10, 1).empty());
    state_.text.clear();
    accessible2_.text = &text_;
    client_.accessible2 = &accessible2_;
    EXPECT_TRUE(CaptureWithOffset(0, 2).empty());  // no characters
    EXPECT_GT(g_clientRequests, 0);
}

}  // namespace
}  // namespace ostrel::japanese::testing
