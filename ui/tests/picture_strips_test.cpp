// The picture strips of the dictionaries dialog's toolbar, the installed and
// server list rows and the article editor's toolbar and kind margin, loaded
// from the program's resources and masked as the windows mask them: every
// image a window shows is a picture of its own, not a blank or numbered
// square, and no two images of a strip look alike. The program's, the
// notification area's and the editor's icons hold a picture at every size
// the resources give, not a frame round a white square. The strips are also
// drawn enlarged on the screen and saved for people to look at.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "common/tests/test_paths.h"
#include "common/win/tests/screen_ink.h"
#include "resources/program/resource_ids.h"

namespace {

constexpr COLORREF kMask = RGB(0xC0, 0xC0, 0xC0);
constexpr uint32_t kFace = 0xECE9D8;  // a button face the mask colour must not show through

struct StripUse {
    int bitmap;
    const char* name;
    std::vector<int> images;  // every image index the windows show
};

const StripUse kStrips[] = {
    {IDB_DICTIONARIES_TOOLBAR, "dictionaries toolbar", {6, 7, 4, 21, 15, 16, 20, 2}},
    {IDB_BOOK_IMAGES, "installed and server list rows", {1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 13}},
    {IDB_EDITOR_IMAGES, "editor toolbar and margin",
     {11, 12, 13, 7, 6, 8, 9, 10, 29, 30, 31, 28, 18, 22, 21, 14, 23, 25, 26, 27}},
};

// One image of the list drawn on the face colour, as 0x00RRGGBB, row by row.
std::vector<uint32_t> DrawnImage(HIMAGELIST list, int index) {
    return screen_ink::DrawnPixels(16, 16, kFace, [&](HDC dc) { ImageList_Draw(list, index, dc, 0, 0, ILD_NORMAL); });
}

// The numbered square the strips once held for images nobody had drawn: a
// frame of one colour from (2, 2) to (13, 13).
bool IsNumberedSquare(const std::vector<uint32_t>& pixels) {
    const uint32_t frame = pixels[2 * 16 + 2];
    if (frame == kFace) return false;
    for (int i = 2; i <= 13; ++i)
        if (pixels[2 * 16 + i] != frame || pixels[13 * 16 + i] != frame || pixels[i * 16 + 2] != frame ||
            pixels[i * 16 + 13] != frame)
            return false;
    return true;
}

class StripWindow {
public:
    StripWindow() {
        WNDCLASSW type{};
        type.lpfnWndProc = DefWindowProcW;
        type.hInstance = GetModuleHandleW(nullptr);
        type.hbrBackground = CreateSolidBrush(RGB(0xEC, 0xE9, 0xD8));
        type.lpszClassName = L"OstrelPictureStrips";
        RegisterClassW(&type);
        window_ = CreateWindowExW(WS_EX_TOPMOST, type.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1100, 200,
                                  nullptr, nullptr, type.hInstance, nullptr);
        // Its first paint is done before the pictures are drawn on it.
        MSG message;
        for (int i = 0; i < 20; ++i) {
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
            Sleep(10);
        }
    }
    ~StripWindow() { DestroyWindow(window_); }

    // Draws image `index` three times its size in column `column` of row `row`.
    void Show(HIMAGELIST list, int index, int row, int column) {
        HDC target = GetDC(window_);
        HDC memory = CreateCompatibleDC(target);
        HBITMAP cell = CreateCompatibleBitmap(target, 16, 16);
        HGDIOBJ old = SelectObject(memory, cell);
        RECT all{0, 0, 16, 16};
        HBRUSH face = CreateSolidBrush(RGB(0xEC, 0xE9, 0xD8));
        FillRect(memory, &all, face);
        DeleteObject(face);
        ImageList_Draw(list, index, memory, 0, 0, ILD_NORMAL);
        StretchBlt(target, 8 + column * 52, 8 + row * 60, 48, 48, memory, 0, 0, 16, 16, SRCCOPY);
        SelectObject(memory, old);
        DeleteObject(cell);
        DeleteDC(memory);
        ReleaseDC(window_, target);
        GdiFlush();
    }

private:
    HWND window_ = nullptr;
};

TEST(PictureStrips, EveryShownImageIsAPictureOfItsOwn) {
    StripWindow window;
    for (int row = 0; row < static_cast<int>(std::size(kStrips)); ++row) {
        const StripUse& strip = kStrips[row];
        HIMAGELIST list = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(strip.bitmap), 16, 0, kMask,
                                               IMAGE_BITMAP, LR_CREATEDIBSECTION);
        ASSERT_NE(list, nullptr) << strip.name;
        std::vector<std::vector<uint32_t>> drawn;
        for (size_t k = 0; k < strip.images.size(); ++k) {
            const int index = strip.images[k];
            std::vector<uint32_t> pixels = DrawnImage(list, index);
            ASSERT_EQ(pixels.size(), 256u);
            size_t ink = 0, mask = 0;
            for (uint32_t p : pixels) {
                ink += p != kFace;
                mask += p == 0xC0C0C0;
            }
            EXPECT_GE(ink, 12u) << strip.name << ": image " << index << " is blank";
            EXPECT_EQ(mask, 0u) << strip.name << ": image " << index << " shows the mask colour";
            EXPECT_FALSE(IsNumberedSquare(pixels)) << strip.name << ": image " << index << " is a numbered square";
            for (size_t j = 0; j < drawn.size(); ++j)
                EXPECT_NE(pixels, drawn[j]) << strip.name << ": images " << strip.images[j] << " and " << index
                                            << " look alike";
            drawn.push_back(std::move(pixels));
            window.Show(list, index, row, static_cast<int>(k));
        }
        ImageList_Destroy(list);
    }
    const std::string shots = BinaryPath("/ui/picture-strips");
    std::filesystem::create_directories(shots);
    screen_ink::SaveScreenshot(std::filesystem::path(shots + "/strips.png").wstring());
}

// The sizes an icon resource holds, from its group directory.
std::vector<int> IconSizes(int icon) {
    std::vector<int> sizes;
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(icon), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    if (!found) return sizes;
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(module, found)));
    const DWORD length = SizeofResource(module, found);
    if (!bytes || length < 6) return sizes;
    const int count = bytes[4] | bytes[5] << 8;
    for (int k = 0; k < count && 6 + 14 * (k + 1) <= static_cast<int>(length); ++k)
        sizes.push_back(bytes[6 + 14 * k] == 0 ? 256 : bytes[6 + 14 * k]);
    return sizes;
}

// Icon `icon` drawn at `size` pixels on the face colour, as 0x00RRGGBB.
std::vector<uint32_t> DrawnIcon(int icon, int size) {
    HICON handle = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(icon), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    if (!handle) return {};
    std::vector<uint32_t> pixels = screen_ink::DrawnPixels(
        size, size, kFace, [&](HDC dc) { DrawIconEx(dc, 0, 0, handle, size, size, 0, nullptr, DI_NORMAL); });
    DestroyIcon(handle);
    return pixels;
}

TEST(PictureStrips, TheIconsArePicturesAtEverySize) {
    const struct {
        int icon;
        const char* name;
        std::vector<int> sizes;
    } icons[] = {{IDI_PROGRAM, "program", {48, 32, 16}}, {IDI_TRAY, "notification area", {32, 16}},
                 {IDI_EDITOR, "editor", {48, 32, 16}}};
    std::vector<std::vector<uint32_t>> drawn;
    for (const auto& icon : icons) {
        EXPECT_EQ(IconSizes(icon.icon), icon.sizes) << icon.name;
        for (int size : icon.sizes) {
            const std::vector<uint32_t> pixels = DrawnIcon(icon.icon, size);
            ASSERT_EQ(pixels.size(), static_cast<size_t>(size * size)) << icon.name << " at " << size;
            // A picture: many colours, and its middle no white square.
            const std::set<uint32_t> colours(pixels.begin(), pixels.end());
            EXPECT_GE(colours.size(), size >= 32 ? 24u : 8u) << icon.name << " at " << size;
            size_t white = 0, middle = 0;
            for (int y = size / 3; y < size - size / 3; ++y)
                for (int x = size / 3; x < size - size / 3; ++x, ++middle) white += pixels[y * size + x] == 0xFFFFFF;
            EXPECT_LT(white * 10, middle * 9) << icon.name << " at " << size << ": a white square in the middle";
            // The editor's is a picture of its own (the tray's is the program's).
            if (icon.icon != IDI_TRAY) {
                for (const auto& other : drawn)
                    EXPECT_NE(other, pixels) << icon.name << " at " << size << " looks like another icon";
                drawn.push_back(pixels);
            }
        }
    }
}

}  // namespace
