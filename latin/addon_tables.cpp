// Reading ADDONS.LAT into the addon tables, and the prefix, suffix and
// tackon matching rules.
#include "latin/addon_tables.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "latin/latin_host.h"
#include "latin/latin_options.h"

AddonTables g_addons;

namespace {

constexpr int kMaxLine = 100;
constexpr int kFirstReadSize = 40000;
constexpr int kMaxAddonsSize = 4 << 20;   // far beyond what 370 entries need

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

// Line reader over the text: a last line without LF is a line too.
class LineReader {
public:
    LineReader(const char* text, int length) : text_(text), end_(text + length), p_(text) {}
    bool Next(std::string* line) {
        if (p_ >= end_) return false;
        ++line_;
        const char* start = p_;
        while (p_ < end_ && *p_ != '\n') ++p_;
        line->assign(start, p_);
        if (p_ < end_) ++p_;
        return true;
    }
    // The line last read, from 1.
    int Line() const { return line_; }
private:
    const char* text_;
    const char* end_;
    const char* p_;
    int line_ = 0;
};

std::string Trimmed(const std::string& s, bool front) {
    size_t b = 0, e = s.size();
    if (front) while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// The next head line: comment and blanks cut; false at the end of the text.
bool NextHeadLine(LineReader& reader, std::string* head) {
    std::string line;
    while (reader.Next(&line)) {
        if (line.size() > kMaxLine) line.resize(kMaxLine);
        size_t comment = line.find("--");
        if (comment != std::string::npos) line.resize(comment);
        *head = Trimmed(line, true);
        if (!head->empty()) return true;
    }
    return false;
}

// A parts or meaning line: trailing blanks dropped, leading kept.
bool NextBodyLine(LineReader& reader, std::string* body) {
    std::string line;
    if (!reader.Next(&line)) return false;
    if (line.size() > kMaxLine) line.resize(kMaxLine);
    *body = Trimmed(line, false);
    return !body->empty();
}

void CopyText(char* out, const std::string& text, size_t capacity) {
    size_t n = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(out, text.data(), n);
    out[n] = 0;
}

const char* SkipBlanks(const char* p) {
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}

int32_t ReadPartOfSpeech(const char*& p) {
    p = SkipBlanks(p);
    return ParseEnumName(p, kPartOfSpeechCodes, &p);
}

// Reads a fix head ("PREFIX com m"): text to the first blank, then the
// connect character.
void ReadFixHead(const std::string& rest, char* text, size_t capacity, char* connect) {
    size_t end = 0;
    while (end < rest.size() && !IsBlank(rest[end])) ++end;
    CopyText(text, rest.substr(0, end < kMaxAddonText ? end : kMaxAddonText), capacity);
    *connect = 0;
    for (size_t i = end; i < rest.size(); ++i) {
        if (!IsBlank(rest[i])) {
            *connect = rest[i];
            break;
        }
    }
}

bool EqualsUV(char addon, char word) {
    if (addon == 'u' || addon == 'v') return word == 'u' || word == 'v';
    return addon == word;
}

bool HeadMatches(const char* word, const char* text, int length) {
    for (int i = 0; i < length; ++i) {
        if (!EqualsUV(text[i], word[i])) return false;
    }
    return true;
}

void CopyWord(char* out, const char* word, int length) {
    std::memcpy(out, word, length);
    out[length] = 0;
}

int BoundedLength(const char* word) {
    int n = 0;
    while (n < 255 && word[n] != 0) ++n;
    return n;
}

}  // namespace

int ParseAddons(const char* text, int length, AddonTables* tables, LatinDataFault* fault) {
    AddonTables& t = *tables;
    t = AddonTables{};
    LineReader reader(text, length);
    auto refuse = [&](std::string what) {
        if (fault != nullptr) *fault = {"ADDONS.LAT", reader.Line(), 0, std::move(what)};
        return 1;
    };
    // A NUL would cut an entry short where the code reads it as a C string.
    if (const void* nul = std::memchr(text, 0, static_cast<size_t>(length > 0 ? length : 0))) {
        const char* at = static_cast<const char*>(nul);
        const int line = 1 + static_cast<int>(std::count(text, at, '\n'));
        const char* lineStart = at;
        while (lineStart > text && lineStart[-1] != '\n') --lineStart;
        if (fault != nullptr)
            *fault = {"ADDONS.LAT", line, 0, "a NUL byte at column " + std::to_string(at - lineStart + 1)};
        return 1;
    }
    std::string head, parts, meaning;
    while (NextHeadLine(reader, &head)) {
        const char* p = head.c_str();
        const int32_t kind = ParseEnumName(p, kPartOfSpeechCodes, &p);
        if (kind != POS_TACKON && kind != POS_PREFIX && kind != POS_SUFFIX)
            return refuse("\"" + head.substr(0, 40) + "\" is not a TACKON, PREFIX or SUFFIX line");
        const std::string rest = *p == 0 ? std::string() : std::string(p + 1);
        if (!NextBodyLine(reader, &parts)) return refuse("the entry has no line of parts after its head");
        if (!NextBodyLine(reader, &meaning)) return refuse("the entry has no meaning line after its parts");

        const int index = t.meaningCount;
        bool stored = false;
        if (kind == POS_TACKON) {
            TackonRecord record;
            std::string tackonText = Trimmed(rest.substr(0, kMaxAddonText), true);
            CopyText(record.text, tackonText, sizeof record.text);
            ParsePartEntry(parts.c_str(), &record.entry, nullptr);
            record.meaningIndex = index;
            const bool packon = record.entry.partOfSpeech == POS_PACK &&
                                (record.entry.first == 1 || record.entry.first == 2) &&
                                meaning.compare(0, 9, "PACKON w/") == 0;
            // An empty text would match every word, so such an entry is refused.
            if (record.text[0] == 0) {
            } else if (packon && t.packonCount < kMaxPackons) {
                t.packons[t.packonCount++] = record;
                stored = true;
            } else if (!packon && t.tackonCount < kMaxTackons) {
                t.tackons[t.tackonCount++] = record;
                stored = true;
            }
        } else if (kind == POS_PREFIX) {
            PrefixRecord record;
            ReadFixHead(rest, record.text, sizeof record.text, &record.connect);
            const char* q = parts.c_str();
            record.rootPartOfSpeech = ReadPartOfSpeech(q);
            record.resultPartOfSpeech = ReadPartOfSpeech(q);
            record.meaningIndex = index;
            meaning = Trimmed(meaning, true);
            const bool pronoun = record.rootPartOfSpeech == POS_PACK;
            if (record.text[0] == 0) {
            } else if (pronoun && t.pronounPrefixCount < kMaxPronounPrefixes) {
                t.pronounPrefixes[t.pronounPrefixCount++] = record;
                stored = true;
            } else if (!pronoun && t.prefixCount < kMaxPrefixes) {
                t.prefixes[t.prefixCount++] = record;
                stored = true;
            }
        } else {
            SuffixRecord record;
            ReadFixHead(rest, record.text, sizeof record.text, &record.connect);
            const char* q = parts.c_str();
            record.rootPartOfSpeech = ReadPartOfSpeech(q);
            record.rootStemKey = ReadNumber(q, &q);
            q = SkipBlanks(q);
            // The result's PartEntry is a fixed 24-column field.
            ParsePartEntry(q, &record.result, &q);
            record.resultStemKey = ReadNumber(q, &q);
            record.meaningIndex = index;
            if (record.text[0] != 0 && t.suffixCount < kMaxSuffixes) {
                t.suffixes[t.suffixCount++] = record;
                stored = true;
            }
        }
        if (!stored) {
            ++t.skipped;
            continue;
        }
        if (index < kMaxAddonMeanings) CopyText(t.meanings[index], meaning, kMeaningWidth + 1);
        ++t.meaningCount;
    }
    return 0;
}

int LoadAddons() {
    if (g_latinHost.readAddons == nullptr) {
        g_addons = AddonTables{};
        return 1;
    }
    // A full buffer may hold only the start of the record: read again larger.
    std::vector<char> buffer;
    int size = kFirstReadSize;
    for (int capacity = kFirstReadSize;; capacity *= 2) {
        buffer.assign(capacity, 0);
        size = capacity;
        if (g_latinHost.readAddons(buffer.data(), &size) != 0) {
            g_addons = AddonTables{};
            return 1;
        }
        if (size < 0 || size > capacity) size = 0;
        if (size < capacity || capacity >= kMaxAddonsSize) break;
    }
    // The tables parsed from the same text before are taken again as they
    // were parsed: a bridge loads the data again before each text.
    static std::string parsedFrom;
    static AddonTables parsed;
    static int parseStatus = 1;
    const std::string_view text(buffer.data(), static_cast<size_t>(size));
    if (text != parsedFrom || parseStatus != 0) {
        parseStatus = ParseAddons(buffer.data(), size, &parsed);
        parsedFrom = text;
    }
    g_addons = parsed;
    return parseStatus;
}

int PrefixMatches(char* out, const char* word, const PrefixRecord& prefix) {
    const int wordLength = BoundedLength(word);
    const int length = static_cast<int>(std::strlen(prefix.text));
    CopyWord(out, word, wordLength);
    if (g_developerOptions[USE_PREFIXES] == 0 || length < 1 || wordLength <= length) return 0;
    if (!HeadMatches(word, prefix.text, length)) return 0;
    if (static_cast<unsigned char>(prefix.connect) > 32 && word[length] != prefix.connect) return 0;
    CopyWord(out, word + length, wordLength - length);
    return 1;
}

namespace {

// The word without text at its end, when text (and the connect character
// before it) stands there; an empty text matches nothing, since it would
// "match" every word and a tackon try would recurse on it for ever.
int StripTail(char* out, const char* word, const char* text, char connect, DeveloperOption option) {
    const int wordLength = BoundedLength(word);
    const int length = static_cast<int>(std::strlen(text));
    CopyWord(out, word, wordLength);
    if (g_developerOptions[option] == 0 || length < 1 || wordLength <= length) return 0;
    const int at = wordLength - length;
    if (!HeadMatches(word + at, text, length)) return 0;
    if (static_cast<unsigned char>(connect) > 32 && word[at - 1] != connect) return 0;
    CopyWord(out, word, at);
    return 1;
}

}  // namespace

int SuffixMatches(char* out, const char* word, const SuffixRecord& suffix) {
    return StripTail(out, word, suffix.text, suffix.connect, USE_SUFFIXES);
}

int TackonMatches(char* out, const char* word, const TackonRecord& tackon) {
    return StripTail(out, word, tackon.text, 0, USE_TACKONS);
}
