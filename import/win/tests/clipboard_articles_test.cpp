// ReadClipboardText on the real clipboard under Wine: Unicode and ANSI text
// come back with their terminator counted; an empty clipboard is refused
// with the box of "Add articles from clipboard".
#include "import/win/clipboard_articles.h"

#include "common/tests/fake_app_context.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

namespace {

void PutOnClipboard(UINT format, const void* bytes, size_t size) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    if (bytes) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
        SetClipboardData(format, block);
    }
    CloseClipboard();
}

TEST(ReadClipboardText, UnicodeAndAnsiTextCountTheirTerminator) {
    FakeAppContext app;
    ScopedAppContext scope(app);
    const char16_t unicode[] = u"{\\a {\\k 猫}}";
    PutOnClipboard(CF_UNICODETEXT, unicode, sizeof unicode);
    std::unique_ptr<char16_t[]> text;
    EXPECT_EQ(ReadClipboardText(text), 12);
    EXPECT_EQ(std::u16string(text.get()), unicode);

    const char ansi[] = "{\\a {\\k cat}}";
    PutOnClipboard(CF_TEXT, ansi, sizeof ansi);
    EXPECT_EQ(ReadClipboardText(text), static_cast<int32_t>(sizeof ansi));
    EXPECT_EQ(std::u16string(text.get()), u"{\\a {\\k cat}}");
    EXPECT_TRUE(app.messages.empty());
}

TEST(ReadClipboardText, EmptyClipboardIsRefusedWithItsBox) {
    FakeAppContext app;
    ScopedAppContext scope(app);
    PutOnClipboard(CF_TEXT, nullptr, 0);
    std::unique_ptr<char16_t[]> text;
    EXPECT_EQ(ReadClipboardText(text), 0);
    EXPECT_EQ(text, nullptr);
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, u"Clipboard does not contain text data!");
    EXPECT_EQ(app.messages[0].caption, u"Add articles from clipboard");
}

}  // namespace
