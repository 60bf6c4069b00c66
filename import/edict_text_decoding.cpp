// EUC-JP, Windows-1251 and JR-EDICT's mixed text decoded to UTF-16.
#include "import/edict_text_decoding.h"

#include "common/text/japanese_code_pages.h"

#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

constexpr uint8_t kSingleShift2 = 0x8E;  // half-width katakana follows
constexpr uint8_t kSingleShift3 = 0x8F;  // a JIS X 0212 pair follows
constexpr char16_t kGeta = 0x3013;       // 〓, stands for what cannot be decoded

constexpr char16_t kJisX0212[94 * 94] = {
#include "import/edict_jis_x0212_table.inc"
};

constexpr char16_t kWindows1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0098, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, 0x0410,
    0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A,
    0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444,
    0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

bool IsJisByte(uint8_t b) { return b >= 0xA1 && b <= 0xFE; }

// The bytes of the EUC-JP character at `i`, stepping as EucJpToShiftJis does.
size_t EucJpCharacterBytes(std::span<const uint8_t> bytes, size_t i) {
    const uint8_t b1 = bytes[i];
    if (i + 1 >= bytes.size()) return 1;
    const uint8_t b2 = bytes[i + 1];
    if (b1 == kSingleShift3 && IsJisByte(b2)) return i + 2 < bytes.size() && IsJisByte(bytes[i + 2]) ? 3 : 2;
    if (IsJisByte(b1) && IsJisByte(b2)) return 2;
    if (b1 == kSingleShift2 && b2 >= 0xA1 && b2 <= 0xDF) return 2;
    return 1;
}

// A run without JIS X 0212 characters, through Shift-JIS and code page 932.
void AppendThroughShiftJis(std::span<const uint8_t> run, std::u16string& out) {
    if (run.empty()) return;
    std::vector<uint8_t> sjis(run.begin(), run.end());
    const int32_t n = EucJpToShiftJis(sjis.data(), sjis.data(), static_cast<int32_t>(sjis.size()));
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    const int32_t units = ShiftJisToUnicode(sjis.data(), n, out.data() + at, n + 1);
    out.resize(at + static_cast<size_t>(units));
}

// The characters that decode alone, the same in any text around them: ASCII
// bytes, JIS X 0208 pairs and half-width katakana, each taken once through
// Shift-JIS and code page 932 (the system's converter in Windows builds).
// 0 where that gave other than one unit.
struct LoneCharacters {
    char16_t ascii[0x80];
    char16_t kana[0xDF - 0xA1 + 1];  // after 0x8E
    char16_t pairs[94 * 94];
};

char16_t DecodeAlone(std::initializer_list<uint8_t> euc) {
    uint8_t sjis[2];
    const int32_t n = EucJpToShiftJis(euc.begin(), sjis, static_cast<int32_t>(euc.size()));
    char16_t out[3];
    return ShiftJisToUnicode(sjis, n, out, 3) == 1 ? out[0] : 0;
}

const LoneCharacters& Lone() {
    static const LoneCharacters* const table = [] {
        auto* t = new LoneCharacters;
        for (uint8_t b = 0; b < 0x80; ++b) t->ascii[b] = DecodeAlone({b});
        for (uint8_t b = 0xA1; b <= 0xDF; ++b) t->kana[b - 0xA1] = DecodeAlone({kSingleShift2, b});
        for (uint8_t row = 0xA1; row <= 0xFE; ++row)
            for (uint8_t cell = 0xA1; cell <= 0xFE; ++cell)
                t->pairs[(row - 0xA1) * 94 + (cell - 0xA1)] = DecodeAlone({row, cell});
        return t;
    }();
    return *table;
}

// A run of lone characters, decoded from the table; false, with `out` as it
// was, at the first other byte. Shift-JIS holds each of them as whole
// characters and code page 932 decodes them one by one, so the run decodes as
// it would through Shift-JIS.
bool AppendLoneRun(std::span<const uint8_t> run, std::u16string& out) {
    const LoneCharacters& lone = Lone();
    const size_t at = out.size();
    out.resize(at + run.size());  // a character is at least one byte
    char16_t* next = out.data() + at;
    for (size_t i = 0; i < run.size();) {
        const uint8_t b = run[i];
        char16_t c = 0;
        if (b < 0x80) {
            c = lone.ascii[b];
            i += 1;
        } else if (i + 1 < run.size()) {
            const uint8_t b2 = run[i + 1];
            if (IsJisByte(b) && IsJisByte(b2)) c = lone.pairs[(b - 0xA1) * 94 + (b2 - 0xA1)];
            else if (b == kSingleShift2 && b2 >= 0xA1 && b2 <= 0xDF) c = lone.kana[b2 - 0xA1];
            i += 2;
        }
        if (c == 0) {
            out.resize(at);
            return false;
        }
        *next++ = c;
    }
    out.resize(static_cast<size_t>(next - out.data()));
    return true;
}

char16_t JisX0212Character(uint8_t row, uint8_t cell) {
    const char16_t c = kJisX0212[(row - 0xA1) * 94 + (cell - 0xA1)];
    return c != 0 ? c : kGeta;
}

}  // namespace

std::u16string DecodeEucJp(std::span<const uint8_t> bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    const auto appendRun = [&](std::span<const uint8_t> run) {
        if (!AppendLoneRun(run, out)) AppendThroughShiftJis(run, out);
    };
    // 0x8F is never the second or third byte of a character: each one found
    // starts one, a JIS X 0212 character when a JIS byte follows.
    size_t runStart = 0;
    for (size_t i = 0; i < bytes.size();) {
        const void* found = std::memchr(bytes.data() + i, kSingleShift3, bytes.size() - i);
        if (found == nullptr) break;
        i = static_cast<size_t>(static_cast<const uint8_t*>(found) - bytes.data());
        const size_t n = EucJpCharacterBytes(bytes, i);
        if (n > 1) {
            appendRun(bytes.subspan(runStart, i - runStart));
            out += n == 3 ? JisX0212Character(bytes[i + 1], bytes[i + 2]) : kGeta;
            runStart = i + n;
        }
        i += n;
    }
    appendRun(bytes.subspan(runStart));
    return out;
}

std::u16string DecodeWindows1251(std::span<const uint8_t> bytes) {
    std::u16string out(bytes.size(), u'\0');
    for (size_t i = 0; i < bytes.size(); ++i)
        out[i] = bytes[i] < 0x80 ? char16_t{bytes[i]} : kWindows1251High[bytes[i] - 0x80];
    return out;
}

std::u16string DecodeJrEdictMixedText(std::span<const uint8_t> bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    size_t i = 0;
    while (i < bytes.size()) {
        size_t slash = i;
        while (slash < bytes.size() && bytes[slash] != '/') ++slash;
        out += DecodeEucJp(bytes.subspan(i, slash - i));
        size_t lineEnd = slash;
        while (lineEnd < bytes.size() && bytes[lineEnd] != '\n') ++lineEnd;
        out += DecodeWindows1251(bytes.subspan(slash, lineEnd - slash));
        i = lineEnd;
    }
    return out;
}

size_t CountJisX0212Characters(std::span<const uint8_t> bytes) {
    size_t count = 0;
    for (size_t i = 0; i < bytes.size(); i += EucJpCharacterBytes(bytes, i))
        count += bytes[i] == kSingleShift3 && EucJpCharacterBytes(bytes, i) == 3;
    return count;
}
