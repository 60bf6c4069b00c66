// The whole Latin transcription of a reading, for tests over many readings.
#pragma once

#include <string>
#include <string_view>

#include "common/text/kana_transcription.h"

inline std::u16string LatinRomaji(std::u16string_view kana) {
    std::u16string out(kana.size() * 6 + 8, u'\0');   // at most 6 letters per kana
    int32_t n = KanaToRomaji(out.data(), kana.data(), static_cast<int32_t>(kana.size()),
                             static_cast<int32_t>(out.size()), kTranscribeLatin);
    out.resize(static_cast<size_t>(n));
    return out;
}
