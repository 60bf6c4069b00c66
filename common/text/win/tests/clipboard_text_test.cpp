// GetClipboardText against a real clipboard (Wine with a display): the test
// puts CF_UNICODETEXT blocks there itself.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/text/win/clipboard_text.h"

namespace {

// Replaces the clipboard's contents with one CF_UNICODETEXT block of exactly
// `bytes` bytes taken from `data`; an empty clipboard for null data.
bool PutOnClipboard(const void* data, size_t bytes) {
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    bool ok = true;
    if (data != nullptr) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
        ok = block != nullptr;
        if (ok) {
            std::memcpy(GlobalLock(block), data, bytes);
            GlobalUnlock(block);
            ok = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
            if (!ok) GlobalFree(block);
        }
    }
    CloseClipboard();
    return ok;
}

TEST(GetClipboardText, CopiesTheUnicodeTextIntoANewBuffer) {
    std::u16string text = u"辞書 dictionary словарь";
    ASSERT_TRUE(PutOnClipboard(text.c_str(), (text.size() + 1) * sizeof(char16_t)));
    char16_t* buffer = nullptr;
    uint32_t length = 0;
    EXPECT_EQ(GetClipboardText(&buffer, &length), static_cast<int32_t>(text.size()));
    EXPECT_EQ(length, text.size());
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(std::u16string(buffer), text);
    delete[] buffer;
}

TEST(GetClipboardText, StopsAtTheFirstZeroInsideTheBlock) {
    const char16_t text[] = {u'a', u'b', 0, u'c', 0};
    ASSERT_TRUE(PutOnClipboard(text, sizeof text));
    ClipboardText got = ReadClipboardText();
    EXPECT_EQ(got.length, 2u);
    EXPECT_EQ(std::u16string(got.text.get()), u"ab");
}

TEST(GetClipboardText, EmptyTextGivesZeroAndNoBuffer) {
    const char16_t empty[] = {0};
    ASSERT_TRUE(PutOnClipboard(empty, sizeof empty));
    char16_t* buffer = reinterpret_cast<char16_t*>(1);
    uint32_t length = 7;
    EXPECT_EQ(GetClipboardText(&buffer, &length), 0);
    EXPECT_EQ(buffer, nullptr);
    EXPECT_EQ(length, 0u);
}

TEST(GetClipboardText, NoTextOnTheClipboardGivesZeroAndNoBuffer) {
    ASSERT_TRUE(PutOnClipboard(nullptr, 0));
    char16_t* buffer = reinterpret_cast<char16_t*>(1);
    uint32_t length = 7;
    EXPECT_EQ(GetClipboardText(&buffer, &length), 0);
    EXPECT_EQ(buffer, nullptr);
}

}  // namespace
