// Draws the pictures the program's resources name: image strips of
// toolbar, tab, list-row and editor bitmaps (the pictures of pictures.h,
// dictionary_pictures.h and editor_pictures.h; an index no window shows stays
// the strip's transparent colour) and the program's icons. `ui_images <folder>` writes
// bitmap111.bmp, bitmap147.bmp, bitmap150.bmp, bitmap154.bmp, bitmap156.bmp,
// icon127.ico, icon129.ico and icon157.ico into the folder.
//
// BMP written (24 bits, bottom-up):
// | offset | size | field                                  |
// |--------|------|----------------------------------------|
// | 0      | 2    | "BM"                                   |
// | 2      | 4    | file size                              |
// | 10     | 4    | offset of the pixels (54)              |
// | 14     | 40   | BITMAPINFOHEADER (width, height, 1, 24) |
// | 54     | ...  | rows padded to 4 bytes, last row first  |
//
// ICO written (the pictures of icon_pictures.h): ICONDIR (6 bytes: 0, 1,
// count), one 16-byte ICONDIRENTRY per size, then per size a 32-bit
// BITMAPINFOHEADER image (height doubled), its BGRA rows bottom-up and a
// 1-bit AND mask, rows bottom-up, set where a pixel is wholly transparent.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "dictionary_pictures.h"
#include "editor_pictures.h"
#include "icon_pictures.h"
#include "pictures.h"

namespace {

struct Rgb {
    uint8_t r, g, b;
};

struct Image {
    int width, height;
    std::vector<Rgb> pixels;  // top row first
    Image(int w, int h, Rgb fill) : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}
    void Set(int x, int y, Rgb c) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = c;
    }
};

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void PutInfoHeader(std::vector<uint8_t>& out, int width, int height, int bits, uint32_t imageBytes) {
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0);
    Put32(out, imageBytes);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

Rgb PictureColour(char letter, Rgb transparent) {
    switch (letter) {
    case 'k': return {0, 0, 0};
    case 'd': return {0x60, 0x60, 0x60};
    case 'l': return {0xA8, 0xA8, 0xA8};
    case 'w': return {0xFF, 0xFF, 0xFF};
    case 'W': return {0xF8, 0xF8, 0xF8};
    case 'p': return {0xFF, 0xFF, 0xF0};
    case 'r': return {0xD0, 0x20, 0x20};
    case 'g': return {0x20, 0xA0, 0x20};
    case 'b': return {0x20, 0x50, 0xC0};
    case 'y': return {0xF0, 0xC0, 0x20};
    case 'o': return {0x90, 0x50, 0x20};
    case 'm': return {0xFF, 0xA3, 0xA7};  // the editor's reading and idiom colour
    case 'c': return {0x99, 0xD9, 0xEA};  // the editor's kanji-word colour
    case 'e': return {0xD3, 0xF9, 0xBC};  // the editor's example colour
    case 'L': return {0xDC, 0xDC, 0xDC};  // the editor's letter-word colour
    default: return transparent;
    }
}

// Draws the picture of `index` into its cell: 1 drawn, 0 none for the
// index, -1 when its rows do not fill the cell.
int DrawPicture(Image& image, std::span<const Picture> pictures, int left, int cellWidth, int cellHeight, int index,
                 Rgb transparent) {
    for (const Picture& picture : pictures) {
        if (picture.index != index) continue;
        if (std::strlen(picture.rows) != static_cast<size_t>(cellWidth * cellHeight)) return -1;
        for (int y = 0; y < cellHeight; ++y)
            for (int x = 0; x < cellWidth; ++x)
                image.Set(left + x, y, PictureColour(picture.rows[y * cellWidth + x], transparent));
        return 1;
    }
    return 0;
}

std::vector<uint8_t> BmpBytes(const Image& image) {
    int rowBytes = (image.width * 3 + 3) & ~3;
    uint32_t pixelBytes = static_cast<uint32_t>(rowBytes) * image.height;
    std::vector<uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, 54 + pixelBytes);
    Put32(out, 0);
    Put32(out, 54);
    PutInfoHeader(out, image.width, image.height, 24, pixelBytes);
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            const Rgb& c = image.pixels[static_cast<size_t>(y) * image.width + x];
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (int pad = image.width * 3; pad < rowBytes; ++pad) out.push_back(0);
    }
    return out;
}

// One icon image: the picture drawn at `size`, BGRA rows bottom-up, then
// the AND mask with a 1 over each wholly transparent pixel (for the
// programs that draw icons without their alpha).
std::vector<uint8_t> IconImageBytes(const std::vector<icon_pictures::Layer>& picture, int size) {
    const std::vector<icon_pictures::Rgba> pixels = icon_pictures::Draw(picture, size);
    std::vector<uint8_t> out;
    const int maskRow = ((size + 31) / 32) * 4;
    PutInfoHeader(out, size, size * 2, 32, static_cast<uint32_t>(size * size * 4 + maskRow * size));
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) {
            const icon_pictures::Rgba& c = pixels[static_cast<size_t>(y) * size + x];
            out.insert(out.end(), {c.b, c.g, c.r, c.a});
        }
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskRow), 0);
        for (int x = 0; x < size; ++x)
            if (pixels[static_cast<size_t>(y) * size + x].a == 0) row[static_cast<size_t>(x / 8)] |= 0x80 >> (x % 8);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

std::vector<uint8_t> IcoBytes(const std::vector<icon_pictures::Layer>& picture, const std::vector<int>& sizes) {
    std::vector<std::vector<uint8_t>> images;
    for (int size : sizes) images.push_back(IconImageBytes(picture, size));
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(sizes.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(sizes.size());
    for (size_t i = 0; i < sizes.size(); ++i) {
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(static_cast<uint8_t>(sizes[i]));
        out.push_back(0);
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, offset);
        offset += static_cast<uint32_t>(images[i].size());
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

struct Strip {
    const char* name;
    int cellWidth, cellHeight, count;
    Rgb transparent;
    std::span<const Picture> pictures;  // drawn pictures; the other cells stay transparent
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_images <output folder>\n");
        return 2;
    }
    std::string folder = argv[1];
    const Rgb grey{0xC0, 0xC0, 0xC0}, white{0xFF, 0xFF, 0xFF};
    const Strip strips[] = {
        {"bitmap111.bmp", 16, 16, 54, grey, kToolbarPictures},  // toolbars 1-3
        {"bitmap147.bmp", 16, 16, 22, grey, kDictionaryToolbarPictures},  // dictionaries dialog toolbar
        {"bitmap150.bmp", 24, 18, 17, white, kTabPictures},               // tab strip
        {"bitmap154.bmp", 16, 16, 32, grey, kEditorPictures},             // article editor toolbar and margin
        {"bitmap156.bmp", 16, 16, 14, grey, kDictionaryRowPictures},      // installed and server list rows
    };
    for (const Strip& strip : strips) {
        Image image(strip.cellWidth * strip.count, strip.cellHeight, strip.transparent);
        for (int i = 0; i < strip.count; ++i) {
            int drawn = DrawPicture(image, strip.pictures, i * strip.cellWidth, strip.cellWidth, strip.cellHeight, i,
                                    strip.transparent);
            if (drawn < 0) {
                std::fprintf(stderr, "ui_images: picture %d of %s does not fill its cell\n", i, strip.name);
                return 1;
            }
        }
        if (!WriteFile(folder + "/" + strip.name, BmpBytes(image))) {
            std::fprintf(stderr, "ui_images: cannot write %s\n", strip.name);
            return 1;
        }
    }
    const struct {
        const char* name;
        std::vector<icon_pictures::Layer> picture;
        std::vector<int> sizes;
    } icons[] = {{"icon127.ico", icon_pictures::ProgramPicture(), {48, 32, 16}},  // the program, its windows
                 {"icon129.ico", icon_pictures::ProgramPicture(), {32, 16}},      // notification area
                 {"icon157.ico", icon_pictures::EditorPicture(), {48, 32, 16}}};  // article editor
    for (const auto& icon : icons) {
        if (!WriteFile(folder + "/" + icon.name, IcoBytes(icon.picture, icon.sizes))) {
            std::fprintf(stderr, "ui_images: cannot write %s\n", icon.name);
            return 1;
        }
    }
    return 0;
}
