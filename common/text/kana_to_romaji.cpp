// KanaToRomaji: kana to Latin or Cyrillic letters for readings in lists and
// articles. The transcription is written straight into the caller's buffer
// through a writer that keeps counting past its end, so any input is safe and
// the caller still learns the whole length.
#include "common/text/kana_transcription.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string_view>

namespace {

struct KanaRow {
    const char16_t* cyrillic;
    const char16_t* latin;
};

constexpr KanaRow kKanaRows[] = {
#include "common/text/kana_romaji_table.inc"
};
constexpr char16_t kFirstKana = 0x3041;
static_assert(std::size(kKanaRows) == 0x3096 - kFirstKana + 1);

constexpr char16_t kProlongedSound = 0x30FC;   // ー
constexpr char16_t kSmallTsu = 0x3063;         // っ
constexpr char16_t kSyllabicN = 0x3093;        // ん
constexpr char16_t kSmallA = 0x3041, kSmallI = 0x3043, kSmallE = 0x3047, kSmallO = 0x3049;
constexpr char16_t kSmallYa = 0x3083, kSmallYu = 0x3085, kSmallYo = 0x3087;
constexpr char16_t kYa = 0x3084, kI = 0x3044, kYu = 0x3086, kYo = 0x3088;

// Writes the logical transcription into out[0 .. capacity) and counts the
// rest. The last few logical units are kept apart, because the rules look
// back at them (and may take one back) even when they fell beyond the buffer.
class TranscriptionWriter {
public:
    TranscriptionWriter(char16_t* out, int32_t outSize)
        : out_(out), capacity_(outSize > 0 ? outSize - 1 : 0), hasRoom_(out != nullptr && outSize > 0) {}

    void Put(char16_t unit) {
        if (length_ < capacity_) out_[static_cast<size_t>(length_)] = unit;
        recent_[static_cast<size_t>(length_) % recent_.size()] = unit;
        ++length_;
    }
    void Put(const char16_t* text) {
        for (; *text > 0x20; ++text) Put(*text);
    }
    // The unit `back` places before the end (1 = the last), 0 when none.
    char16_t Last(int64_t back = 1) const {
        if (back > length_ || back > static_cast<int64_t>(recent_.size())) return 0;
        return recent_[static_cast<size_t>(length_ - back) % recent_.size()];
    }
    // Takes back the last unit when it is one of `units`.
    void DropLastIfAny(std::initializer_list<char16_t> units) {
        char16_t last = Last();
        for (char16_t u : units)
            if (last != 0 && last == u) {
                --length_;
                return;
            }
    }
    // Terminates what fits and returns the whole length (at most INT32_MAX).
    int32_t Finish() {
        if (hasRoom_) out_[static_cast<size_t>(length_ < capacity_ ? length_ : capacity_)] = 0;
        return static_cast<int32_t>(std::min<int64_t>(length_, INT32_MAX));
    }

private:
    char16_t* out_;
    int64_t capacity_;                   // units that fit before the terminator
    bool hasRoom_;                       // out can take at least the terminator
    int64_t length_ = 0;                 // logical length so far; up to 6 per input unit
    std::array<char16_t, 16> recent_{};  // the last logical units, ring-indexed
};

bool IsOneOf(char16_t c, std::u16string_view set) { return c != 0 && set.find(c) != set.npos; }

// Letters that a preceding っ doubles.
bool IsGeminatingLetter(char16_t c, bool cyrillic) {
    return cyrillic ? IsOneOf(c, u"бвгдкмнпрстцч") : IsOneOf(c, u"bwgdkmnprstc");
}

// ー repeats the vowel (or n) just written.
void WriteProlongedSound(TranscriptionWriter& w, bool cyrillic) {
    char16_t prev = w.Last();
    if (!cyrillic) {
        w.Put(IsOneOf(prev, u"aeioun") ? prev : kProlongedSound);
        return;
    }
    if (IsOneOf(prev, u"ая")) w.Put(u'а');
    else if (IsOneOf(prev, u"еэ")) w.Put(u'э');
    else if (prev == u'и') w.Put(u'и');
    else if (prev == u'н') w.Put(u'н');
    else if (IsOneOf(prev, u"оё")) w.Put(u'о');
    else if (IsOneOf(prev, u"ую")) w.Put(u'у');
    else w.Put(kProlongedSound);
}

// ゃ, ゅ, ょ fuse with the syllable before: kiゃ -> kya, shiゃ -> sha, jiゅ -> ju.
void WriteSmallY(TranscriptionWriter& w, char16_t kana, bool cyrillic) {
    if (cyrillic) {
        if (kana == kSmallYu) w.DropLastIfAny({u'и', u'э'});
        else w.DropLastIfAny({u'и'});
        w.Put(kana == kSmallYa ? u'я' : kana == kSmallYu ? u'ю' : u'ё');
        return;
    }
    if (kana == kSmallYu) w.DropLastIfAny({u'i', u'e'});
    else w.DropLastIfAny({u'i'});
    char16_t last = w.Last();
    bool fused = last == u'j' || (last == u'h' && IsOneOf(w.Last(2), u"sc"));
    if (!fused) w.Put(u'y');
    w.Put(kana == kSmallYa ? u'a' : kana == kSmallYu ? u'u' : u'o');
}

// ぃ, ぇ, ぁ, ぉ replace the vowel before them: teぃ -> ti, fuぁ -> fa.
void WriteSmallVowel(TranscriptionWriter& w, char16_t kana, bool cyrillic) {
    switch (kana) {
    case kSmallI:
        w.DropLastIfAny(cyrillic ? std::initializer_list<char16_t>{u'э', u'у'}
                                 : std::initializer_list<char16_t>{u'e', u'u'});
        w.Put(cyrillic ? u'и' : u'i');
        break;
    case kSmallE:
        w.DropLastIfAny({cyrillic ? u'и' : u'i'});
        w.Put(cyrillic ? u'е' : u'e');
        break;
    default:   // ぁ, ぉ
        w.DropLastIfAny({cyrillic ? u'у' : u'u'});
        if (kana == kSmallA) w.Put(cyrillic ? u'а' : u'a');
        else w.Put(cyrillic ? u'о' : u'o');
        break;
    }
}

enum class Pending { kNothing, kSokuon, kSyllabicN };

void WritePendingN(TranscriptionWriter& w, bool cyrillic) { w.Put(cyrillic ? u'н' : u'n'); }

// A syllable after ん: Latin n (n' before や, い, ゆ, よ); Cyrillic м before
// labials, else н, and ъ before や, い, ゆ, よ.
void WriteSyllabicNBefore(TranscriptionWriter& w, char16_t kana, const char16_t* letters,
                          bool cyrillic) {
    bool beforeGlide = kana == kYa || kana == kI || kana == kYu || kana == kYo;
    if (!cyrillic) {
        w.Put(u'n');
        if (beforeGlide) w.Put(u'\'');
        return;
    }
    w.Put(IsOneOf(letters[0], u"бмпф") ? u'м' : u'н');
    if (beforeGlide) w.Put(u'ъ');
}

}  // namespace

int32_t KanaToRomaji(char16_t* out, const char16_t* kana, int32_t length, int32_t outSize,
                     uint32_t flags) {
    bool cyrillic = (flags & kTranscribeCyrillic) != 0;
    if (!cyrillic && (flags & kTranscribeLatin) == 0) return 0;
    if (out == nullptr) outSize = 0;

    TranscriptionWriter w(out, outSize);
    Pending pending = Pending::kNothing;
    for (int32_t i = 0; kana != nullptr && (length < 0 || i < length) && kana[i] != 0; ++i) {
        char16_t c = kana[i];
        if (c == kProlongedSound) {
            if (pending == Pending::kSyllabicN) {
                WritePendingN(w, cyrillic);
                pending = Pending::kNothing;
            }
            WriteProlongedSound(w, cyrillic);
            continue;
        }
        bool hiragana = c >= kFirstKana && c <= kSyllabicN;
        bool katakana = c >= 0x30A1 && c <= 0x30F6;
        if (!hiragana && !katakana) {
            if (pending == Pending::kSyllabicN) WritePendingN(w, cyrillic);
            pending = Pending::kNothing;
            w.Put(c);
            continue;
        }
        if (katakana) c = static_cast<char16_t>(c - 0x60);

        if (c == kSmallYa || c == kSmallYu || c == kSmallYo) {
            WriteSmallY(w, c, cyrillic);
        } else if (c == kSmallA || c == kSmallI || c == kSmallE || c == kSmallO) {
            WriteSmallVowel(w, c, cyrillic);
        } else if (c == kSmallTsu || c == kSyllabicN) {
            // ん before another ん or っ is written now rather than lost.
            if (pending == Pending::kSyllabicN) WritePendingN(w, cyrillic);
            pending = c == kSmallTsu ? Pending::kSokuon : Pending::kSyllabicN;
        } else {
            const KanaRow& row = kKanaRows[c - kFirstKana];
            const char16_t* letters = cyrillic ? row.cyrillic : row.latin;
            if (pending == Pending::kSokuon && IsGeminatingLetter(letters[0], cyrillic))
                w.Put(letters[0]);
            else if (pending == Pending::kSyllabicN)
                WriteSyllabicNBefore(w, c, letters, cyrillic);
            pending = Pending::kNothing;
            w.Put(letters);
        }
    }
    if (pending == Pending::kSyllabicN) WritePendingN(w, cyrillic);
    else if (pending == Pending::kSokuon) w.Put(u'\'');
    return w.Finish();
}

uint32_t ResolveTranscriptionScript(uint32_t appFlags) {
    if ((appFlags & (kTranscribeCyrillic | kTranscribeLatin)) != 0) return appFlags;
    return appFlags | ((appFlags & kEnglishInterfaceFlag) != 0 ? kTranscribeLatin
                                                               : kTranscribeCyrillic);
}
