// Where a capture of the text under the mouse cursor hands what it found: the
// text and the index of the character under the pointer, which the program
// translates (12 characters either side of the caret, the run about it).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ostrel::japanese {

using CaptureTranslate = std::function<void(const std::u16string& text, int32_t caret)>;

}  // namespace ostrel::japanese
