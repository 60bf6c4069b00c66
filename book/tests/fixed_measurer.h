// A measurer for the layout tests: every unit is 10 pixels wide, or as
// wide as `wide` says for one unit; lines are 16 pixels high.
#pragma once

#include "book/book_layout.h"

class FixedMeasurer : public TextMeasurer {
public:
    void Measure(const char16_t* text, int32_t length, uint32_t, int32_t* rightEdges) override {
        int32_t x = 0;
        for (int32_t i = 0; i < length; ++i) rightEdges[i] = x += text[i] == wideUnit ? wide : 10;
    }
    int32_t LineHeight() override { return 16; }
    int32_t AverageCharWidth() override { return 10; }

    char16_t wideUnit = 0;
    int32_t wide = 10;
};
