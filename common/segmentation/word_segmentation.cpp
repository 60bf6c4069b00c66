// Word segments: reduced UAX #29 word rules walked forwards and backwards,
// WordAt and NextWord.
#include <algorithm>

#include "common/segmentation/text_segmentation.h"
#include "common/unicode/text_walk.h"

namespace {

constexpr int8_t kBidiNonspacingMark = 13;
constexpr int32_t kNone = -1;

bool IsLetterOrNumber(int32_t c) { return c == kWordALetter || c == kWordNumeric; }

// The pairs the forward rules join; pp is the class before p, n the class of
// the code point after q (kNone at either end).
bool JoinsForward(int32_t pp, int32_t p, int32_t q, int32_t n) {
    if (IsLetterOrNumber(p) && IsLetterOrNumber(q)) return true;
    if (p == kWordALetter && q == kWordMidLetter && n == kWordALetter) return true;
    if (pp == kWordALetter && p == kWordMidLetter && q == kWordALetter) return true;
    if (p == kWordExtendNumLet && (q == kWordExtendNumLet || IsLetterOrNumber(q))) return true;
    if (IsLetterOrNumber(p) && q == kWordExtendNumLet) return true;
    return false;
}

// The same walked from the right: l joins r; ll is the class before l, rr the
// class after r inside the segment found so far. Katakana also joins
// ExtendNumLet in this direction.
bool JoinsBackward(int32_t ll, int32_t l, int32_t r, int32_t rr) {
    if (l == kWordCR && r == kWordLF) return true;
    if (l == kWordKatakana && r == kWordExtendNumLet) return true;
    if (l == kWordExtendNumLet && r == kWordKatakana) return true;
    if (l == kWordALetter && r == kWordMidLetter) return rr == kWordALetter;
    return JoinsForward(ll, l, r, kNone);
}

}  // namespace

int32_t TextSegmenter::GetWordBreakProperty(char32_t cp) const {
    if (!tables_.word) return kWordOther;
    if (cp < kBreakTableCodePoints) return (*tables_.word)[cp];
    if (cp >= 0xE0001 && cp <= 0xE007F) return kWordFormat;
    if (cp >= 0xE0100 && cp <= 0xE01EF) return kWordExtend;
    return kWordOther;
}

namespace {

// Word-rule view of one text: classes and the attach rule.
struct WordText {
    const TextSegmenter& segmenter;
    const BreakProperties& tables;
    TextWalk walk;

    int32_t ClassAt(int32_t i) const { return segmenter.GetWordBreakProperty(walk.CodePointAt(i)); }
    // Extend, Format and bidi non-spacing marks of class Other attach to what precedes.
    bool Attaches(int32_t i) const { return AttachesAs(i, ClassAt(i)); }
    // The same, the class c of the code point at i known.
    bool AttachesAs(int32_t i, int32_t c) const {
        if (c == kWordExtend || c == kWordFormat) return true;
        if (c != kWordOther) return false;
        const char32_t cp = walk.CodePointAt(i);
        return cp < kBreakTableCodePoints && (*tables.bidi)[cp] == kBidiNonspacingMark;
    }
    // The start of the code point before i, past every attaching code point;
    // the first attaching one when they reach the start of the text.
    int32_t BaseBefore(int32_t i) const {
        int32_t k = walk.StartBefore(i);
        while (k > 0 && Attaches(k)) k = walk.StartBefore(k);
        return k;
    }
};

}  // namespace

int32_t TextSegmenter::NextWordBoundary(const char16_t* text, int32_t length, int32_t* start,
                                        int32_t* end) const {
    if (!text || !start || !end || !tables_.word || !tables_.bidi) return 0;
    WordText w{*this, tables_, TextWalk(text, length)};
    int32_t i = *start;
    if (i < 0 || i >= w.walk.length) return 0;
    int32_t pp = kNone, p = w.ClassAt(i);
    i = w.walk.Next(i);
    // Each code point's class is looked up once: the one after i is carried on as the next q.
    int32_t q = i < w.walk.length ? w.ClassAt(i) : kNone;
    while (i < w.walk.length) {
        const int32_t after = w.walk.Next(i);
        const int32_t n = after < w.walk.length ? w.ClassAt(after) : kNone;
        if (p == kWordCR && q == kWordLF) {
            pp = p;
            p = q;
        } else if (!w.AttachesAs(i, q)) {
            if (!JoinsForward(pp, p, q, n)) break;
            pp = p;
            p = q;
        }
        i = after;
        q = n;
    }
    *end = i;
    return 1;
}

int32_t TextSegmenter::PrevWordBoundary(const char16_t* text, int32_t length, int32_t* start,
                                        int32_t* position) const {
    if (!text || !start || !position || !tables_.word || !tables_.bidi) return 0;
    WordText w{*this, tables_, TextWalk(text, length)};
    if (w.walk.length <= 0 || *position < 0) return 0;
    int32_t i = w.walk.StartOf(std::min(*position, w.walk.length - 1));
    int32_t end = w.walk.Next(i);
    // Attaching code points belong to the base before them.
    while (i > 0 && w.Attaches(i)) i = w.walk.StartBefore(i);
    int32_t r = w.ClassAt(i), rr = kNone;
    while (i > 0) {
        int32_t k = w.BaseBefore(i);
        int32_t l = w.ClassAt(k);
        int32_t ll = k > 0 ? w.ClassAt(w.BaseBefore(k)) : kNone;
        if (!JoinsBackward(ll, l, r, rr)) break;
        i = k;
        rr = r;
        r = l;
    }
    *start = i;
    *position = end;
    return 1;
}

int32_t TextSegmenter::WordAt(const char16_t* text, int32_t length, int32_t position, int32_t* start,
                              int32_t* end) const {
    if (!text || !start || !end || length <= 0 || position < 0) return 0;
    int32_t forwardStart = position, forwardEnd = 0;
    bool forward = NextWordBoundary(text, length, &forwardStart, &forwardEnd) != 0;
    int32_t backwardStart = 0, backwardEnd = std::min(position, length - 1);
    bool backward = PrevWordBoundary(text, length, &backwardStart, &backwardEnd) != 0;
    if (forward && backward) {
        *start = backwardStart;
        *end = forwardEnd;
    } else if (forward) {
        *start = forwardStart;
        *end = forwardEnd;
    } else if (backward) {
        *start = backwardStart;
        *end = backwardEnd;
    } else {
        return 0;
    }
    return 1;
}

int32_t TextSegmenter::NextWord(const char16_t* text, int32_t length, int32_t* position, int32_t* end,
                                char16_t* word, int32_t maximum) const {
    if (!position || !end || !word || maximum < 0) return -1;
    // Leading enclosing marks, punctuation, symbols, separators and controls
    // are not part of a word.
    const auto leadsNoWord = [&](char16_t u) {
        const int32_t category = tables_.category ? tables_.category(u) : -1;
        return u == 0 || category == 8 || (category >= 13 && category <= 26);
    };
    const bool tables = text && tables_.word && tables_.bidi;
    const WordText w{*this, tables_, TextWalk(text, length)};
    int32_t from = *position;
    for (;;) {
        // A unit of class Other joins nothing after it: without an attaching
        // code point next, it is a segment of its own, passed over here when
        // it leads no word (most blanks and punctuation between words).
        if (tables && from >= 0 && from < w.walk.length) {
            const char16_t u = text[from];
            if ((u < 0xD800 || u > 0xDFFF) && (*tables_.word)[u] == kWordOther &&
                (from + 1 >= w.walk.length || !w.Attaches(from + 1)) && leadsNoWord(u)) {
                ++from;
                continue;
            }
        }
        int32_t segmentStart = from, segmentEnd = 0;
        if (!NextWordBoundary(text, length, &segmentStart, &segmentEnd)) return -1;
        int32_t copied = 0;
        for (int32_t i = segmentStart; i < segmentEnd && copied < maximum; ++i) {
            char16_t u = text[i];
            if (copied == 0 && leadsNoWord(u)) continue;
            word[copied++] = u;
        }
        word[copied] = 0;
        if (copied > 0) {
            *position = segmentStart;
            *end = segmentEnd;
            return copied;
        }
        from = segmentEnd;
    }
}
