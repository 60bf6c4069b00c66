// The two general index-text preparers.
#include "article/index_text.h"

#include "article/display_attributes.h"

namespace {

bool IsAsciiLetterOrDigit(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9');
}

// Bits that a kept character gets for itself: comma and semicolon.
uint16_t PunctuationBits(char16_t c) {
    if (c == u';') return kFieldSemicolon;
    if (c == u',') return kFieldComma;
    return 0;
}

// Writes kept characters and their bits; the start mark of dropped
// characters waits for the next kept one.
class IndexTextOutput {
public:
    IndexTextOutput(char16_t* out, int32_t capacity, uint16_t* bits)
        : out_(out), capacity_(capacity < 0 ? 0 : capacity), bits_(bits) {}

    bool Full() const { return length_ >= capacity_; }
    int32_t Length() const { return length_; }
    bool LastIsBlank() const { return length_ == 0 || out_[length_ - 1] == u' '; }

    void NoteInput(uint16_t inputBits) {
        if (inputBits & kFieldElementStart) startPending_ = true;
    }
    // `inputBits` belong to the input position, which is never before the
    // output position, so reading them before writing is safe in place.
    void Keep(char16_t c, uint16_t inputBits, uint16_t extra) {
        uint16_t b = static_cast<uint16_t>(inputBits | extra | PunctuationBits(c));
        if (startPending_) {
            b |= kFieldElementStart;
            startPending_ = false;
        }
        out_[length_] = c;
        if (bits_) bits_[length_] = b;
        ++length_;
    }
    int32_t Finish() {
        if (length_ > 0 && out_[length_ - 1] < 33) --length_;
        return length_;
    }

private:
    char16_t* out_;
    int32_t capacity_;
    uint16_t* bits_;
    int32_t length_ = 0;
    bool startPending_ = false;
};

// Whether a ">" closes the tag opened at `open` before the next element
// starts (a character marked as an element start) or the text ends. The
// answer holds for every "<" up to the place where the scan stopped, which
// `scan` keeps, so a run of unclosed "<" is scanned once.
struct TagScan {
    int32_t stop = -1;     // the ">" found, or where the element or text ended
    bool closed = false;
};

bool TagIsClosed(const char16_t* text, int32_t length, const uint16_t* bits, int32_t open, TagScan& scan) {
    if (open < scan.stop) return scan.closed;
    scan.closed = false;
    scan.stop = length;
    for (int32_t i = open + 1; i < length; ++i) {
        if (bits && (bits[i] & kFieldElementStart)) {
            scan.stop = i;
            return false;
        }
        if (text[i] == u'>') {
            scan.stop = i;
            scan.closed = true;
            return true;
        }
    }
    return false;
}

}  // namespace

int32_t PrepareIndexTextWords(char16_t* out, int32_t capacity, const char16_t* text, int32_t length,
                              uint16_t* bits) {
    if (!out || !text || length <= 0) return 0;
    IndexTextOutput output(out, capacity, bits);
    bool escape = false, inTag = false, italic = false, inBrackets = false;
    TagScan tagScan;
    for (int32_t i = 0; i < length && !output.Full(); ++i) {
        char16_t c = text[i];
        uint16_t inputBits = bits ? bits[i] : 0;
        output.NoteInput(inputBits);
        if (inTag) {
            if (c == u'>') inTag = false;
            continue;
        }
        if (escape) {
            if (IsAsciiLetterOrDigit(c)) continue;
            escape = false;
        }
        if (c == u'{' || c == u'}') continue;
        if (c == u'\\') {
            escape = true;
            continue;
        }
        if (c == u'_') {
            italic = !italic;
            continue;
        }
        if (c == u'<' && TagIsClosed(text, length, bits, i, tagScan)) {
            inTag = true;
            if (i + 1 < length && text[i + 1] == u'i') italic = true;
            if (i + 2 < length && text[i + 1] == u'/' && text[i + 2] == u'i') italic = false;
            continue;
        }
        if (c == u' ' && output.LastIsBlank()) continue;
        if (c == u'(') inBrackets = true;
        if (c == u')') inBrackets = false;
        uint16_t extra = static_cast<uint16_t>((inBrackets ? kFieldInBrackets : 0) | (italic ? kFieldItalic : 0));
        output.Keep(c, inputBits, extra);
    }
    return output.Finish();
}

int32_t PrepareIndexTextDefault(char16_t* out, int32_t capacity, const char16_t* text, int32_t length,
                                uint16_t* bits) {
    if (!out || !text || length <= 0) return 0;
    IndexTextOutput output(out, capacity, bits);
    int32_t depth = 0;
    for (int32_t i = 0; i < length && !output.Full(); ++i) {
        char16_t c = text[i];
        uint16_t inputBits = bits ? bits[i] : 0;
        output.NoteInput(inputBits);
        if (c == u' ' && output.LastIsBlank()) continue;
        if (c == u'(' || c == u'{') ++depth;
        output.Keep(c, inputBits, depth > 0 ? kFieldInBrackets : 0);
        if ((c == u')' || c == u'}') && depth > 0) --depth;
    }
    return output.Finish();
}
