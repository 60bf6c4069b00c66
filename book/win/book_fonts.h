// The book fonts of a reader: 16 slots by script (plus bold and italic forms
// of the first and the eighth) and a measurer over them for the layout.
#pragma once

#include <windows.h>

#include <cstdint>

#include "book/book_layout.h"

class BookFonts : public TextMeasurer {
public:
    // `chooser` gives a slot's font (null: a face of the reader's own at `points`).
    using FontChooser = HFONT (*)(int32_t slot, void* context);
    BookFonts(int32_t points, FontChooser chooser, void* context);
    ~BookFonts() override;
    BookFonts(const BookFonts&) = delete;
    BookFonts& operator=(const BookFonts&) = delete;

    // The font of an attribute's slot, bold and italic.
    HFONT FontFor(uint32_t attribute) const;
    HDC MeasuringDc() const { return dc_; }

    void Measure(const char16_t* text, int32_t length, uint32_t attribute, int32_t* rightEdges) override;
    int32_t LineHeight() override { return lineHeight_; }
    int32_t AverageCharWidth() override { return averageWidth_; }

private:
    HFONT slots_[17] = {};
    bool owned_[17] = {};
    HFONT bold_[2] = {}, italic_[2] = {};  // forms of slots 1 and 8
    HDC dc_ = nullptr;
    int32_t lineHeight_ = 16;
    int32_t averageWidth_ = 8;
};
