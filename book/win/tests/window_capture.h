// A book column's pixels for the window tests: the window paints itself
// into a bitmap as it paints the screen, kept as a bitmap file beside the
// test's other files.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

// The window's pixels as the screen shows them (0x00BBGGRR), and a copy as a bitmap file.
struct Capture {
    int32_t width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y * width + x)]; }
    // The first row holding `colour`, -1 when none.
    int32_t FirstRowWith(COLORREF colour) const {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x)
                if (At(x, y) == colour) return y;
        return -1;
    }
    int32_t Colours() const {
        std::vector<COLORREF> seen;
        for (COLORREF c : pixels)
            if (std::find(seen.begin(), seen.end(), c) == seen.end() && seen.size() < 64) seen.push_back(c);
        return static_cast<int32_t>(seen.size());
    }
};

inline Capture CaptureWindow(HWND window, const std::filesystem::path& file) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    RECT r{};
    GetClientRect(window, &r);
    Capture capture;
    capture.width = r.right;
    capture.height = r.bottom;
    HDC dc = GetDC(window);
    HDC memory = CreateCompatibleDC(dc);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    // The window paints itself into the capture, as it paints the screen;
    // its caret, which blinks, is left out.
    const bool caret = HideCaret(window);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    BitBlt(memory, 0, 0, r.right, r.bottom, dc, 0, 0, SRCCOPY);
    if (caret) ShowCaret(window);
    const auto* p = static_cast<const uint32_t*>(bits);
    for (int32_t i = 0; i < r.right * r.bottom; ++i) {
        const uint32_t bgra = p[i];
        capture.pixels.push_back(RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF));
    }
    BITMAPFILEHEADER head{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + r.right * r.bottom * 4),
                          0, 0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&head), sizeof head);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), static_cast<std::streamsize>(r.right) * r.bottom * 4);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, dc);
    return capture;
}

