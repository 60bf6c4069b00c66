#include "book/win/book_fonts.h"

#include <algorithm>
#include <vector>

#include "book/book_model.h"

namespace {

// Faces by slot: the CJK and Korean slots take a Japanese face, the others
// a Western one (the system links missing scripts to fonts that have them).
const wchar_t* FaceOfSlot(int32_t slot) {
    switch (slot) {
    case 3: case 7: case 9: return L"MS UI Gothic";
    case 14: case 15: return L"Arial";
    default: return L"Tahoma";
    }
}

HFONT MakeFont(HDC dc, const wchar_t* face, int32_t points, int weight, bool italic) {
    const int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    return CreateFontW(height, 0, 0, 0, weight, italic, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

}  // namespace

BookFonts::BookFonts(int32_t points, FontChooser chooser, void* context) {
    dc_ = CreateCompatibleDC(nullptr);
    if (points <= 0) points = 10;
    for (int32_t slot = 1; slot <= 16; ++slot) {
        HFONT chosen = chooser ? chooser(slot, context) : nullptr;
        owned_[slot] = chosen == nullptr;
        slots_[slot] = chosen ? chosen : MakeFont(dc_, FaceOfSlot(slot), points, FW_NORMAL, false);
    }
    for (int k = 0; k < 2; ++k) {
        LOGFONTW base{};
        GetObjectW(slots_[k == 0 ? 1 : 8], sizeof base, &base);
        base.lfWeight = FW_BOLD;
        bold_[k] = CreateFontIndirectW(&base);
        base.lfWeight = FW_NORMAL;
        base.lfItalic = TRUE;
        italic_[k] = CreateFontIndirectW(&base);
    }
    // Lines are as high as the larger of the two book fonts (slots 8 and 9).
    lineHeight_ = 1;
    for (int32_t slot : {8, 9}) {
        TEXTMETRICW metrics{};
        HGDIOBJ old = SelectObject(dc_, slots_[slot]);
        GetTextMetricsW(dc_, &metrics);
        SelectObject(dc_, old);
        lineHeight_ = std::max<int32_t>(lineHeight_, metrics.tmHeight + metrics.tmExternalLeading);
        if (slot == 8) averageWidth_ = std::max<int32_t>(1, metrics.tmAveCharWidth);
    }
}

BookFonts::~BookFonts() {
    for (int32_t slot = 1; slot <= 16; ++slot)
        if (owned_[slot] && slots_[slot]) DeleteObject(slots_[slot]);
    for (int k = 0; k < 2; ++k) {
        DeleteObject(bold_[k]);
        DeleteObject(italic_[k]);
    }
    if (dc_) DeleteDC(dc_);
}

HFONT BookFonts::FontFor(uint32_t attribute) const {
    int32_t slot = static_cast<int32_t>((attribute & book_attr::kFontMask) >> book_attr::kFontShift);
    if (slot < 1 || slot > 16) slot = 8;
    if (slot == 1 || slot == 8) {
        const int k = slot == 1 ? 0 : 1;
        if (attribute & 0x2) return bold_[k];
        if (attribute & 0x4) return italic_[k];
    }
    return slots_[slot];
}

void BookFonts::Measure(const char16_t* text, int32_t length, uint32_t attribute, int32_t* rightEdges) {
    if (length <= 0) return;
    HGDIOBJ old = SelectObject(dc_, FontFor(attribute));
    SIZE size{};
    std::vector<INT> edges(static_cast<size_t>(length));
    if (!GetTextExtentExPointW(dc_, reinterpret_cast<const wchar_t*>(text), length, 0, nullptr, edges.data(), &size)) {
        for (int32_t i = 0; i < length; ++i) edges[static_cast<size_t>(i)] = (i + 1) * averageWidth_;
    }
    SelectObject(dc_, old);
    for (int32_t i = 0; i < length; ++i) rightEdges[i] = edges[static_cast<size_t>(i)];
}
