// RtfTextReader: a byte-at-a-time reader, so a document may come in parts.
#include "article/rtf_text.h"

#include <algorithm>
#include <array>

#include "article/rtf_document.h"

namespace {

// Groups whose first control word names one of these hold no document text.
constexpr std::array<std::string_view, 9> kDestinations = {
    "fonttbl", "colortbl", "stylesheet", "info", "pict", "object", "header", "footer", "listtable"};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int HexValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

RtfTextReader::RtfTextReader() : groups_(1) {}

void RtfTextReader::Put(char16_t unit) {
    if (groups_.back().skipped) return;
    if (pendingSkip_ > 0) {
        --pendingSkip_;
        return;
    }
    text_ += unit;
}

void RtfTextReader::Symbol(char c) {
    const bool first = groupStart_;
    groupStart_ = false;
    switch (c) {
    case '*':
        if (first) groups_.back().skipped = true;
        break;
    case '~': Put(u'\u00A0'); break;
    case '_': Put(u'\u2011'); break;
    case '\\': case '{': case '}': Put(static_cast<char16_t>(c)); break;
    case '\r': case '\n':  // a backslash before a line end is a paragraph end
        if (!groups_.back().skipped) text_ += u"\r\n";
        break;
    default: break;   // "\-" (optional hyphen) and the like show nothing
    }
}

void RtfTextReader::EndWord() {
    const bool first = groupStart_;
    groupStart_ = false;
    Group& group = groups_.back();
    const int64_t value = negative_ ? -number_ : number_;
    if (first && std::find(kDestinations.begin(), kDestinations.end(), word_) != kDestinations.end()) {
        group.skipped = true;
    } else if (word_ == "u" && hasNumber_) {
        // A signed 16-bit value: "\u-255" is U+FF01.
        const char16_t unit = static_cast<char16_t>(static_cast<uint16_t>(static_cast<int16_t>(value)));
        Put(unit);
        if (!group.skipped) pendingSkip_ = group.unicodeSkip;
    } else if (word_ == "uc" && hasNumber_) {
        group.unicodeSkip = static_cast<int32_t>(std::clamp<int64_t>(value, 0, 16));
    } else if (!group.skipped) {
        pendingSkip_ = 0;   // a stand-in is never a control word of these
        if (word_ == "par" || word_ == "line") text_ += u"\r\n";
        else if (word_ == "tab") text_ += u'\t';
    }
    word_.clear();
    number_ = 0;
    negative_ = hasNumber_ = false;
}

size_t RtfTextReader::ReadUnicodeWord(std::string_view rtf, size_t at) {
    // "\u", a signed decimal and its end, all within this part; else 0 and
    // the byte walk reads it (a word may be split between parts).
    size_t i = at + 2;
    const bool negative = i < rtf.size() && rtf[i] == '-';
    if (negative) ++i;
    const size_t digits = i;
    int64_t value = 0;
    for (; i < rtf.size() && IsDigit(rtf[i]); ++i) value = std::min<int64_t>(value * 10 + (rtf[i] - '0'), INT32_MAX);
    if (i == digits || i >= rtf.size()) return 0;
    groupStart_ = false;
    Put(static_cast<char16_t>(static_cast<uint16_t>(static_cast<int16_t>(negative ? -value : value))));
    if (!groups_.back().skipped) pendingSkip_ = groups_.back().unicodeSkip;
    return rtf[i] == ' ' ? i + 1 : i;   // the delimiter belongs to the word
}

void RtfTextReader::Read(std::string_view rtf) {
    for (size_t i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        // The builder writes nearly every character as "\u" and its value:
        // those are read at once rather than byte by byte.
        if (state_ == State::Text && c == '\\' && i + 1 < rtf.size() && rtf[i + 1] == 'u') {
            if (const size_t next = ReadUnicodeWord(rtf, i)) {
                i = next - 1;
                continue;
            }
        }
        switch (state_) {
        case State::Word:
            if (IsLetter(c) && word_.size() < 32) {
                word_ += c;
                continue;
            }
            if (c == '-' || IsDigit(c)) {
                negative_ = c == '-';
                hasNumber_ = c != '-';
                number_ = c == '-' ? 0 : c - '0';
                state_ = State::Number;
                continue;
            }
            EndWord();
            state_ = State::Text;
            if (c == ' ') continue;  // the delimiter belongs to the word
            break;
        case State::Number:
            if (IsDigit(c)) {
                hasNumber_ = true;
                number_ = std::min<int64_t>(number_ * 10 + (c - '0'), INT32_MAX);
                continue;
            }
            EndWord();
            state_ = State::Text;
            if (c == ' ') continue;
            break;
        case State::Escape:
            if (IsLetter(c)) {
                word_ = c;
                state_ = State::Word;
            } else if (c == '\'') {
                state_ = State::HexHigh;
            } else {
                Symbol(c);
                state_ = State::Text;
            }
            continue;
        case State::HexHigh:
            hex_ = std::max(HexValue(c), 0) << 4;
            state_ = State::HexLow;
            continue;
        case State::HexLow:
            groupStart_ = false;
            // The builder writes no 8-bit text; a byte is taken as Latin-1.
            Put(static_cast<char16_t>(hex_ | std::max(HexValue(c), 0)));
            state_ = State::Text;
            continue;
        case State::Text:
            break;
        }
        // Text state.
        switch (c) {
        case '\\': state_ = State::Escape; break;
        case '{':
            groups_.push_back(groups_.back());
            groupStart_ = true;
            break;
        case '}':
            if (groups_.size() > 1) groups_.pop_back();
            groupStart_ = false;
            break;
        case '\r': case '\n': break;   // line ends in RTF are no text
        default:
            groupStart_ = false;
            Put(static_cast<char16_t>(static_cast<unsigned char>(c)));
            break;
        }
    }
}

bool HoldsVisibleText(std::u16string_view text) {
    return text.find_first_not_of(u" \t\r\n\u00A0\u3000") != std::u16string_view::npos;
}

bool DocumentHoldsText(CRtfDocumentBuilder& document) {
    RtfTextReader reader;
    size_t looked = 0;
    bool found = false;
    document.WriteParts([&](std::string_view part) {
        reader.Read(part);
        const std::u16string_view text = reader.Text();
        found = HoldsVisibleText(text.substr(looked));
        looked = text.size();
        return !found;
    });
    return found;
}
