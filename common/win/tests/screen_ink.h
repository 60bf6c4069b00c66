// What a window test needs to tell real glyphs from empty boxes: the ink of
// part of the screen, a check that different characters of each script are
// drawn as glyphs of their own, and a screenshot for people to look at.
// Counting dark pixels is not enough: the box a face draws for a character it
// lacks is ink too, and two lacking characters draw the same box.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace screen_ink {

// The pixels of a rectangle that differ from its background (its commonest
// colour), row by row: text in any colour on any background.
struct Ink {
    int width = 0;
    int height = 0;
    std::vector<bool> marked;

    size_t Count() const {
        size_t n = 0;
        for (bool m : marked) n += m;
        return n;
    }
    bool operator==(const Ink& other) const = default;
};

namespace detail {

// The screen's pixels in `box` (screen coordinates) as 0x00RRGGBB, row by row.
inline std::vector<uint32_t> ScreenPixels(const RECT& box) {
    int width = box.right - box.left, height = box.bottom - box.top;
    std::vector<uint32_t> pixels;
    if (width <= 0 || height <= 0) return pixels;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
        SelectObject(memory, old);
        const auto* bgra = static_cast<const uint32_t*>(bits);
        pixels.assign(bgra, bgra + static_cast<size_t>(width) * height);
        for (uint32_t& p : pixels) p &= 0xFFFFFF;
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

inline int ColourDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift < 24; shift += 8)
        d += std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    return d;
}

inline void PutBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

inline void PutPngChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    std::string body = std::string(type, 4) + data;
    out += body;
    PutBigEndian(out, static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(body.data()),
                                                  static_cast<uInt>(body.size()))));
}

}  // namespace detail

// The ink of a rectangle of the screen. Anti-aliased edges count when they
// stand clearly apart from the background.
inline Ink InkOnScreen(const RECT& box) {
    Ink ink;
    std::vector<uint32_t> pixels = detail::ScreenPixels(box);
    if (pixels.empty()) return ink;
    ink.width = box.right - box.left;
    ink.height = box.bottom - box.top;
    std::map<uint32_t, size_t> counts;
    for (uint32_t p : pixels) ++counts[p];
    uint32_t background = 0;
    size_t most = 0;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, background = colour;
    ink.marked.reserve(pixels.size());
    for (uint32_t p : pixels) ink.marked.push_back(detail::ColourDistance(p, background) > 96);
    return ink;
}

// Columns from the first to the last inked one: how wide a text is drawn.
inline int InkWidth(const Ink& ink) {
    int first = ink.width, last = -1;
    for (int y = 0; y < ink.height; ++y)
        for (int x = 0; x < ink.width; ++x)
            if (ink.marked[static_cast<size_t>(y) * ink.width + x]) {
                if (x < first) first = x;
                if (x > last) last = x;
            }
    return last >= first ? last - first + 1 : 0;
}

// The ink of a window's client area, or of `clientPart` of it (client
// coordinates). The window must be visible and uncovered.
inline Ink InkOf(HWND window, const RECT* clientPart = nullptr) {
    RECT box{};
    if (clientPart)
        box = *clientPart;
    else
        GetClientRect(window, &box);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&box), 2);
    return InkOnScreen(box);
}

// Two different characters of a script, in the forms the program shows.
struct ScriptSamples {
    const char* script;
    std::wstring first, second;
};

inline const std::vector<ScriptSamples>& AllScripts() {
    static const std::vector<ScriptSamples> scripts = {
        {"Latin", L"w", L"g"},
        {"Cyrillic", L"\u0416", L"\u0434"},  // Ж, д
        {"kana", L"\u3042", L"\u306D"},      // あ, ね
        {"kanji", L"\u732B", L"\u8A9E"},     // 猫, 語
    };
    return scripts;
}

// An unassigned code point: no face has a glyph for it, so every face draws
// its box (or nothing) there.
inline constexpr wchar_t kNoGlyph[] = L"\u0378";

// `draw(text)` puts `text` on the surface under test, repaints it and returns
// the ink of the place where it is drawn (the same place each time). Passes
// when, for each script, both samples leave ink, differ from each other and
// differ from the character no face has.
inline ::testing::AssertionResult DrawsRealGlyphs(const std::function<Ink(const std::wstring&)>& draw,
                                                  const std::vector<ScriptSamples>& scripts = AllScripts()) {
    Ink box = draw(kNoGlyph);
    std::string faults;
    for (const ScriptSamples& s : scripts) {
        Ink first = draw(s.first), second = draw(s.second);
        std::string name = s.script;
        if (first.Count() == 0 || second.Count() == 0)
            faults += name + ": nothing drawn; ";
        else if (first == second)
            faults += name + ": two different characters drawn alike (boxes); ";
        else if (first == box || second == box)
            faults += name + ": drawn as the box of a missing glyph; ";
    }
    if (faults.empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << faults;
}

// What `draw` paints on a bitmap of `width` x `height` filled with
// `background` (0x00RRGGBB): its pixels as 0x00RRGGBB, row by row.
inline std::vector<uint32_t> DrawnPixels(int width, int height, uint32_t background,
                                         const std::function<void(HDC)>& draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(info.bmiHeader), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<uint32_t> pixels;
    if (bitmap) {
        HGDIOBJ old = SelectObject(dc, bitmap);
        auto* bgra = static_cast<uint32_t*>(bits);
        std::fill(bgra, bgra + width * height, background);
        draw(dc);
        GdiFlush();
        pixels.assign(bgra, bgra + width * height);
        for (uint32_t& p : pixels) p &= 0xFFFFFF;
        SelectObject(dc, old);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    return pixels;
}

// Saves the whole screen as an RGB PNG file, for people to look at.
inline bool SaveScreenshot(const std::wstring& path) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    std::vector<uint32_t> pixels = detail::ScreenPixels(screen);
    if (pixels.empty()) return false;
    std::string rows;
    rows.reserve(pixels.size() * 3 + screen.bottom);
    for (LONG y = 0; y < screen.bottom; ++y) {
        rows += '\0';  // no filter
        for (LONG x = 0; x < screen.right; ++x) {
            uint32_t p = pixels[static_cast<size_t>(y) * screen.right + x];
            rows += static_cast<char>((p >> 16) & 0xFF);
            rows += static_cast<char>((p >> 8) & 0xFF);
            rows += static_cast<char>(p & 0xFF);
        }
    }
    uLongf packedSize = compressBound(static_cast<uLong>(rows.size()));
    std::string packed(packedSize, '\0');
    if (compress(reinterpret_cast<Bytef*>(packed.data()), &packedSize, reinterpret_cast<const Bytef*>(rows.data()),
                 static_cast<uLong>(rows.size())) != Z_OK)
        return false;
    packed.resize(packedSize);
    std::string header;
    detail::PutBigEndian(header, static_cast<uint32_t>(screen.right));
    detail::PutBigEndian(header, static_cast<uint32_t>(screen.bottom));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8-bit RGB
    std::string png = "\x89PNG\r\n\x1a\n";
    detail::PutPngChunk(png, "IHDR", header);
    detail::PutPngChunk(png, "IDAT", packed);
    detail::PutPngChunk(png, "IEND", "");
    std::ofstream file(path.c_str(), std::ios::binary);
    file.write(png.data(), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(file);
}

}  // namespace screen_ink
