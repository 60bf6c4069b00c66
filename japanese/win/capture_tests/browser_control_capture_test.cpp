// The web browser control capture under Wine: an "Internet Explorer_Server"
// window inside a browser frame, a page of fake HTML objects with C vtables
// (fake_html.h), the shell's browser windows behind a registered class
// object, and the zoom from the browser, the stored factor or neither.
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <iostream>

#include "capture_test_support.h"
#include "fake_html.h"

namespace ostrel::japanese::testing {
namespace {

HtmlScene* g_scene = nullptr;

LRESULT CALLBACK ServerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static const UINT documentMessage = RegisterWindowMessageW(L"WM_HTML_GETOBJECT");
    if (message == documentMessage && g_scene)
        return LresultFromObject(__uuidof(IHTMLDocument), wParam, g_scene->Document());
    return DefWindowProcW(window, message, wParam, lParam);
}

// Whether Wine hands a document across LresultFromObject / ObjectFromLresult
// (it needs the engine's interface marshaling, which Debian's Wine may lack);
// when not, the tests give the capture the document through its seam.
bool WineMarshalsDocuments() {
    static const bool marshals = [] {
        HtmlScene scene;
        LRESULT handle = LresultFromObject(__uuidof(IHTMLDocument), 0, scene.Document());
        bool works = false;
        if (handle > 0) {
            IUnknown* back = nullptr;
            works = SUCCEEDED(ObjectFromLresult(handle, __uuidof(IHTMLDocument), 0, reinterpret_cast<void**>(&back))) &&
                    back == scene.Document();
            if (back) back->Release();
        }
        std::cout << "Wine " << (works ? "marshals" : "does not marshal")
                  << " the document through LresultFromObject\n";
        return works;
    }();
    return marshals;
}

// The shell's browser windows as a class object of this process.
class ShellWindowsFactory : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        if (!g_scene) return E_UNEXPECTED;
        return g_scene->ShellWindows()->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

class BrowserControlCaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTestClass(L"Internet Explorer_Server", ServerProc);
        g_scene = &scene_;
        scene_.page = Page(60);
        scene_.pointAt = 30;
        frame_ = MakeWindow(L"IEFrame", {200, 200, 600, 500}, L"Page - Browser");
        shell_ = MakeWindow(L"Shell DocObject View", {}, L"", frame_);
        server_ = MakeWindow(L"Internet Explorer_Server", {}, L"", shell_);
        centre_ = CentreOf(frame_);
        scene_.browserWindows[1] = frame_;
        if (!WineMarshalsDocuments())
            step_.browser.documentFromWindow = [](HWND) {
                ComPtr<IHTMLDocument> document;
                g_scene->Document()->QueryInterface(__uuidof(IHTMLDocument), document.OutVoid());
                return document;
            };
        step_.browser.displayLogPixels = [this](HWND) { return logPixels_; };
    }
    void TearDown() override {
        DestroyWindow(frame_);
        Pump();
        g_scene = nullptr;
    }
    static std::u16string Page(size_t length) {
        const std::u16string sentence = u"今日は良い天気ですね。散歩に行きましょう。";
        std::u16string page;
        while (page.size() < length) page += sentence;
        return page.substr(0, length);
    }
    // The capture's translations after the pointer rests at the centre (moved by dx).
    std::vector<Translation> Capture(int dx = 0) {
        host_.translations.clear();
        scene_.moveToPoint.clear();
        scene_.elementFromPoint.clear();
        RestPointerAt(step_, centre_.x + dx, centre_.y);
        EXPECT_EQ(scene_.HeldReferences(), 0);  // everything released on every path
        return host_.translations;
    }
    POINT LastMove() const { return scene_.moveToPoint.empty() ? POINT{-1, -1} : scene_.moveToPoint.back(); }

    HtmlScene scene_;
    HWND frame_ = nullptr, shell_ = nullptr, server_ = nullptr;
    POINT centre_{};
    int32_t logPixels_ = 96;
    RecordingHost host_;
    UnderCursorStep step_{host_};
};

TEST_F(BrowserControlCaptureTest, TheTextAroundThePointIsReadAtTheZoomedPoint) {
    scene_.zoom = 125;
    EXPECT_EQ(Capture(), (std::vector<Translation>{{scene_.page.substr(10, 40), 20}}));
    // The pointer relative to the control (200, 150), times 100/125.
    EXPECT_EQ(LastMove().x, 160);
    EXPECT_EQ(LastMove().y, 120);
    ASSERT_FALSE(scene_.elementFromPoint.empty());
    EXPECT_EQ(scene_.elementFromPoint.back().x, 160);
}

TEST_F(BrowserControlCaptureTest, ABreakAfterThePointJoinsKanaAndEndsALatinWord) {
    scene_.leftBefore = 300;  // the text after the point starts a new line
    scene_.leftAfter = 0;
    scene_.page = u"\r\n 日本語の本\r\nです。";
    scene_.pointAt = 8;
    EXPECT_EQ(Capture(), (std::vector<Translation>{{u"日本語の本です。", 5}}));
    scene_.page = u"日本語の本\r\nword list";
    scene_.pointAt = 5;
    EXPECT_EQ(Capture(1), (std::vector<Translation>{{u"日本語の本  word list", 5}}));
}

TEST_F(BrowserControlCaptureTest, ATextInputGivesItsWholeTextWithTheCaretAtItsStart) {
    scene_.element = HtmlScene::Element::kTextInput;
    scene_.field = u"  \r\n検索する言葉";
    EXPECT_EQ(Capture(), (std::vector<Translation>{{u"検索する言葉", 0}}));
    EXPECT_TRUE(scene_.moveToPoint.empty());
    // A text area is read like the page around the point.
    scene_.element = HtmlScene::Element::kTextArea;
    EXPECT_EQ(Capture(1), (std::vector<Translation>{{scene_.page.substr(10, 40), 20}}));
}

TEST_F(BrowserControlCaptureTest, AHostedControlScalesTheBrowserZoomByThePixelsPerInch) {
    scene_.frameWindow = false;
    scene_.zoom = 100;
    logPixels_ = 120;  // zoom 125
    ASSERT_EQ(Capture().size(), 1u);
    EXPECT_EQ(LastMove().x, 160);
    EXPECT_EQ(LastMove().y, 120);
}

// HKEY_CURRENT_USER of this process moved to a scratch key for one test, so
// the stored zoom factor never touches the prefix's own settings.
class ScratchCurrentUser {
public:
    ScratchCurrentUser() {
        RegCreateKeyExW(HKEY_CURRENT_USER, kScratch, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &scratch_, nullptr);
        EXPECT_EQ(RegOverridePredefKey(HKEY_CURRENT_USER, scratch_), ERROR_SUCCESS);
    }
    ~ScratchCurrentUser() {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(scratch_);
        RegDeleteTreeW(HKEY_CURRENT_USER, kScratch);
    }
    void SetZoomFactor(DWORD factor) {
        HKEY zoom = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\Zoom", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &zoom, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(zoom, L"ZoomFactor", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&factor), sizeof factor);
        RegCloseKey(zoom);
    }

private:
    static constexpr const wchar_t* kScratch = L"Software\\OstrelCaptureTestScratch";
    HKEY scratch_ = nullptr;
};

TEST_F(BrowserControlCaptureTest, WithoutABrowserZoomTheStoredFactorHoldsAndAZeroPixelCountDividesNothing) {
    scene_.zoom = 0;  // ExecWB refuses
    ScratchCurrentUser user;
    Capture();
    EXPECT_EQ(LastMove().x, 200);  // no factor: 100
    user.SetZoomFactor(100000);
    Capture(1);
    EXPECT_EQ(LastMove().x, 201);
    user.SetZoomFactor(125000);
    Capture(2);
    EXPECT_EQ(LastMove().x, 202 * 100 / 125);
    // A display that reports 0 pixels per inch: the screen's count instead.
    logPixels_ = 0;
    HDC screen = GetDC(nullptr);
    int32_t screenPixels = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    int32_t zoom = 125000 / (96000 / (screenPixels > 0 ? screenPixels : 96));
    Capture(3);
    EXPECT_EQ(LastMove().x, 203 * 100 / zoom);
}

TEST_F(BrowserControlCaptureTest, AFramesetIsReadThroughTheFrameWithAnElementAtThePoint) {
    scene_.withBody = false;
    scene_.frameScreen = {250, 230};
    EXPECT_EQ(Capture(), (std::vector<Translation>{{scene_.page.substr(10, 40), 20}}));
    EXPECT_EQ(scene_.frameDocumentsAsked, 2);  // the first frame refused its document
    EXPECT_EQ(LastMove().x, centre_.x - 250);
    EXPECT_EQ(LastMove().y, centre_.y - 230);
}

class ShellBrowserTest : public BrowserControlCaptureTest {
protected:
    void SetUp() override {
        BrowserControlCaptureTest::SetUp();
        step_.browser.documentFromWindow = [](HWND) { return ComPtr<IHTMLDocument>(); };
        other_ = MakeWindow(L"IEFrame", {0, 0, 50, 50}, L"Elsewhere - Browser");
        scene_.browserWindows[0] = other_;
        ASSERT_TRUE(SUCCEEDED(CoRegisterClassObject(__uuidof(ShellWindows), &factory_, CLSCTX_INPROC_SERVER |
                                                    CLSCTX_LOCAL_SERVER, REGCLS_MULTIPLEUSE, &cookie_)));
    }
    void TearDown() override {
        CoRevokeClassObject(cookie_);
        DestroyWindow(other_);
        BrowserControlCaptureTest::TearDown();
    }
    ShellWindowsFactory factory_;
    DWORD cookie_ = 0;
    HWND other_ = nullptr;
};

TEST_F(ShellBrowserTest, TheShellBrowserHoldingThePointGivesTheDocument) {
    EXPECT_EQ(Capture(), (std::vector<Translation>{{scene_.page.substr(10, 40), 20}}));
    EXPECT_EQ(LastMove().x, 200);  // relative to the "Shell…" window
    EXPECT_EQ(LastMove().y, 150);

    // Without a "Shell…" window on the way: the browser's place and frame.
    DestroyWindow(shell_);
    server_ = MakeWindow(L"Internet Explorer_Server", {}, L"", frame_);
    scene_.browserLeft = 190;
    scene_.browserTop = 150;
    scene_.frameWidth = 16;
    scene_.frameHeight = 90;
    ASSERT_EQ(Capture(1).size(), 1u);
    EXPECT_EQ(LastMove().x, centre_.x + 1 - 16 - 190 + 8);
    EXPECT_EQ(LastMove().y, centre_.y - 90 - 150 + 45);

    // A browser elsewhere alone: nothing.
    scene_.browserWindows[1] = other_;
    EXPECT_TRUE(Capture(2).empty());
}

}  // namespace
}  // namespace ostrel::japanese::testing
