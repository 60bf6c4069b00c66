// LoadTatoebaSource: three passes over the sentences file and two over the
// links file, never holding either whole. Memory is the one-byte-per-id
// language table, the used links, a window of 1,000,000 id -> line ordinals
// and the kept lines.
#include "import/tatoeba_source_loader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "common/base/bin_file.h"
#include "common/text/utf8.h"
#include "import/source_text_checks.h"

namespace {

constexpr uint32_t kMaximumIdDigits = 9;
constexpr uint32_t kWindowIds = 1000000;
constexpr uint32_t kOrdinalMark = 0x80000000u;
constexpr uint32_t kNoOrdinal = 0xFFFFFFFFu;
constexpr uint8_t kHeadsLink = 16;
constexpr uint8_t kHeadword = 1;  // language 1; languages 2..4 are 2, 4, 8
constexpr uint8_t kTranslationMarkShift = 4;  // 2, 4, 8 -> 32, 64, 128
constexpr std::u16string_view kMissingLinks = u"Required file not found: %s";
constexpr std::u16string_view kNoPairs = u"Не найдено ни одной пары предложений для заданного сочетания языков";
constexpr std::u16string_view kUnsorted = u"The sentences file is not sorted by id: %s comes after %s.";

// The lines of a file read `pieceBytes` at a time; a line cut by a piece's
// end is carried into the next. Lines come without LF and a CR before it.
class PieceLines {
public:
    PieceLines(std::u16string_view path, size_t pieceBytes) : file_(nullptr), piece_(std::max<size_t>(pieceBytes, 1)) {
        const std::u16string zeroTerminated(path);
        open_ = file_.SetPath(zeroTerminated.c_str()) && file_.OpenRead() >= 0;
    }
    bool Opened() const { return open_; }
    bool Failed() const { return failed_; }

    // The next line, valid until the next call; false at the end or on a read error.
    bool Next(std::string_view& line) {
        for (;;) {
            const size_t feed = pending_.find('\n', at_);
            if (feed != pending_.npos) {
                line = Cut(at_, feed);
                at_ = feed + 1;
                return true;
            }
            if (ended_) {
                if (at_ >= pending_.size()) return false;
                line = Cut(at_, pending_.size());
                at_ = pending_.size();
                return true;
            }
            pending_.erase(0, at_);
            at_ = 0;
            const int32_t count = file_.Read(piece_.data(), static_cast<int32_t>(std::min<size_t>(piece_.size(), INT32_MAX)));
            if (count <= 0) {
                ended_ = true;
                failed_ = file_.LastError() != 0;
                if (failed_) return false;
            } else {
                pending_.append(piece_.data(), static_cast<size_t>(count));
            }
        }
    }

private:
    std::string_view Cut(size_t begin, size_t end) const {
        if (end > begin && pending_[end - 1] == '\r') --end;
        return {pending_.data() + begin, end - begin};
    }

    BinFile file_;
    std::vector<char> piece_;
    std::string pending_;
    size_t at_ = 0;
    bool open_ = false;
    bool ended_ = false;
    bool failed_ = false;
};

// A decimal id of 1 to 9 digits; false for anything else.
bool ParseId(std::string_view field, uint32_t& id) {
    if (field.empty() || field.size() > kMaximumIdDigits) return false;
    id = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return false;
        id = id * 10 + static_cast<uint32_t>(c - '0');
    }
    return true;
}

struct SentenceLine {
    uint32_t id = 0;
    std::string_view language;
};

bool SplitSentence(std::string_view line, SentenceLine& sentence) {
    const size_t tab = line.find('\t');
    if (tab == line.npos || !ParseId(line.substr(0, tab), sentence.id)) return false;
    const std::string_view rest = line.substr(tab + 1);
    sentence.language = rest.substr(0, rest.find('\t'));
    return true;
}

bool SplitLink(std::string_view line, uint32_t& first, uint32_t& second) {
    const size_t tab = line.find('\t');
    if (tab == line.npos) return false;
    std::string_view tail = line.substr(tab + 1);
    tail = tail.substr(0, tail.find('\t'));
    return ParseId(line.substr(0, tab), first) && ParseId(tail, second);
}

std::u16string WithArgument(std::u16string_view format, std::u16string_view argument) {
    std::u16string text(format);
    const size_t at = text.find(u"%s");
    if (at != text.npos) text.replace(at, 2, argument);
    return text;
}

std::u16string Decimal(uint32_t value) {
    const std::string digits = std::to_string(value);
    return {digits.begin(), digits.end()};
}

struct Pair {
    uint32_t headword;     // a sentence id, then a line ordinal with kOrdinalMark
    uint32_t translation;
    uint8_t rank;          // 1, 2 or 3: the translation's language
};

class TatoebaLoad {
public:
    TatoebaLoad(const TatoebaLanguages& languages, std::u16string_view path, size_t pieceBytes, TatoebaProgress progress)
        : path_(path), links_(TatoebaLinksPath(path)), pieceBytes_(pieceBytes), progress_(progress) {
        for (size_t i = 0; i < languages.size(); ++i) codes_[i] = Utf16ToUtf8(languages[i]).substr(0, 3);
    }

    const TatoebaNotes& Notes() const { return notes_; }

    bool Run(std::u16string& prepared, std::u16string& message) {
        if (!PieceLines(links_, pieceBytes_).Opened()) {
            message = WithArgument(kMissingLinks, links_);
            return false;
        }
        Report(10);
        if (!FindLargestId(message) || !FillLanguageTable() || !CollectPairs()) return false;
        if (pairs_.empty()) {
            message = kNoPairs;
            return false;
        }
        OrderRunsByLanguage();
        if (!KeepLines(message)) return false;
        Report(700);
        return Prepare(prepared);
    }

private:
    void Report(int32_t perMille) const {
        if (progress_.report != nullptr) progress_.report(progress_.context, perMille);
    }
    uint8_t LanguageBit(std::string_view field) const {
        uint8_t bit = 0;
        for (size_t i = 0; i < codes_.size(); ++i)
            if (!codes_[i].empty() && field.substr(0, 3) == codes_[i]) bit = static_cast<uint8_t>(1u << i);
        return bit;
    }
    uint8_t Table(uint32_t id) const { return id < tableSize_ ? table_[id] : 0; }

    // Also the pass that checks the text is UTF-8 (a file in another
    // encoding would give sentences of U+FFFD) and counts the lines that
    // are no sentence.
    bool FindLargestId(std::u16string& message) {
        PieceLines lines(path_, pieceBytes_);
        if (!lines.Opened()) return false;
        bool any = false;
        uint32_t largest = 0;
        SentenceLine sentence;
        int64_t number = 0;
        for (std::string_view line; lines.Next(line);) {
            ++number;
            if (FirstLineNotUtf8({reinterpret_cast<const uint8_t*>(line.data()), line.size()}) != 0) {
                message = LineNotInEncodingText(number, u"UTF-8");
                return false;
            }
            if (SplitSentence(line, sentence)) {
                largest = std::max(largest, sentence.id);
                any = true;
            } else {
                ++notes_.skippedLines;
            }
        }
        if (lines.Failed()) return false;
        tableSize_ = any ? size_t{largest} + 1 : 0;
        notes_.lastId = largest;
        Report(200);
        return true;
    }

    bool FillLanguageTable() {
        table_.reset(new (std::nothrow) uint8_t[std::max<size_t>(tableSize_, 1)]());
        if (!table_) return false;
        PieceLines lines(path_, pieceBytes_);
        if (!lines.Opened()) return false;
        SentenceLine sentence;
        for (std::string_view line; lines.Next(line);)
            if (SplitSentence(line, sentence) && sentence.id < tableSize_) table_[sentence.id] = LanguageBit(sentence.language);
        Report(300);
        return !lines.Failed();
    }

    // The links pass twice: once counting, once storing
    // into room of exactly that size.
    bool CollectPairs() {
        size_t count = 0;
        counting_ = true;
        if (!WalkLinks([&](uint32_t, uint32_t, uint8_t) { ++count; })) return false;
        counting_ = false;
        Report(400);
        try {
            pairs_.reserve(count);
        } catch (const std::bad_alloc&) {
            return false;
        }
        const bool read = WalkLinks([&](uint32_t first, uint32_t second, uint8_t rank) {
            if (pairs_.size() < count) pairs_.push_back({first, second, rank});
        });
        Report(500);
        return read;
    }

    template <typename Use>
    bool WalkLinks(Use use) {
        PieceLines lines(links_, pieceBytes_);
        if (!lines.Opened()) return false;
        uint32_t first = 0, second = 0;
        for (std::string_view line; lines.Next(line);) {
            if (!SplitLink(line, first, second)) {
                notes_.skippedLines += counting_;
                continue;
            }
            // Sentences past the last one of a file sorted by id are missing from it.
            if (counting_ && (first >= tableSize_ || second >= tableSize_)) ++notes_.linksPastEnd;
            if ((Table(first) & kHeadword) == 0) continue;
            const uint8_t language = Table(second);
            for (uint8_t rank = 1; rank <= 3; ++rank) {
                const uint8_t bit = static_cast<uint8_t>(1u << rank);
                if ((language & bit) == 0) continue;
                table_[first] |= kHeadsLink;
                table_[second] |= static_cast<uint8_t>(bit << kTranslationMarkShift);
                use(first, second, rank);
                break;
            }
        }
        return !lines.Failed();
    }

    void OrderRunsByLanguage() {
        for (size_t begin = 0; begin < pairs_.size();) {
            size_t end = begin + 1;
            while (end < pairs_.size() && pairs_[end].headword == pairs_[begin].headword) ++end;
            std::stable_sort(pairs_.begin() + static_cast<ptrdiff_t>(begin), pairs_.begin() + static_cast<ptrdiff_t>(end),
                             [](const Pair& a, const Pair& b) { return a.rank < b.rank; });
            begin = end;
        }
        Report(600);
    }

    // The ids of the window that have kept lines become their ordinals.
    void ReplaceWindowIds() {
        auto replace = [&](uint32_t& id) {
            if ((id & kOrdinalMark) != 0 || id < windowBase_ || id - windowBase_ >= kWindowIds) return;
            const uint32_t ordinal = window_[id - windowBase_];
            if (ordinal != kNoOrdinal) id = ordinal | kOrdinalMark;
        };
        for (Pair& pair : pairs_) {
            replace(pair.headword);
            replace(pair.translation);
        }
        std::fill(window_.begin(), window_.end(), kNoOrdinal);
    }

    bool KeepLines(std::u16string& message) {
        try {
            window_.assign(kWindowIds, kNoOrdinal);
        } catch (const std::bad_alloc&) {
            return false;
        }
        PieceLines lines(path_, pieceBytes_);
        if (!lines.Opened()) return false;
        uint32_t ordinal = 0;
        uint32_t previous = 0;
        SentenceLine sentence;
        for (std::string_view line; lines.Next(line);) {
            if (!SplitSentence(line, sentence) || Table(sentence.id) < kHeadsLink) continue;
            if (sentence.id < windowBase_) {
                message = WithArgument(WithArgument(kUnsorted, Decimal(sentence.id)), Decimal(previous));
                return false;
            }
            if (sentence.id - windowBase_ >= kWindowIds) {
                ReplaceWindowIds();
                windowBase_ = sentence.id / kWindowIds * kWindowIds;
            }
            window_[sentence.id - windowBase_] = ordinal++;
            previous = sentence.id;
            try {
                kept_.append(line);
                kept_ += '\n';
            } catch (const std::bad_alloc&) {
                return false;
            }
        }
        if (lines.Failed()) return false;
        ReplaceWindowIds();
        std::vector<uint32_t>().swap(window_);
        return true;
    }

    bool Prepare(std::u16string& prepared) {
        std::u16string text = Utf8ToUtf16(kept_);
        std::string().swap(kept_);
        Report(800);
        std::vector<uint32_t> lineStarts;
        lineStarts.push_back(0);
        for (size_t i = 0; i < text.size(); ++i)
            if (text[i] == u'\n' && i + 1 < text.size()) lineStarts.push_back(static_cast<uint32_t>(i + 1));
        Report(900);
        std::vector<uint32_t> words;
        words.push_back(0);
        for (const Pair& pair : pairs_) {
            // A pair whose sentence was never met again (the file changed
            // between the passes) has no line: it is left out.
            if ((pair.headword & pair.translation & kOrdinalMark) == 0) continue;
            const uint32_t headword = pair.headword & ~kOrdinalMark, translation = pair.translation & ~kOrdinalMark;
            if (headword >= lineStarts.size() || translation >= lineStarts.size()) continue;
            words.push_back(lineStarts[headword]);
            words.push_back(lineStarts[translation]);
        }
        words[0] = static_cast<uint32_t>(words.size() * 4);
        prepared.assign(words.size() * 2 + text.size(), u'\0');
        std::memcpy(prepared.data(), words.data(), words.size() * 4);
        std::memcpy(prepared.data() + words.size() * 2, text.data(), text.size() * 2);
        Report(1000);
        return true;
    }

    std::u16string path_;
    std::u16string links_;
    size_t pieceBytes_;
    TatoebaProgress progress_;
    std::array<std::string, 4> codes_;
    std::unique_ptr<uint8_t[]> table_;
    size_t tableSize_ = 0;
    std::vector<Pair> pairs_;
    std::vector<uint32_t> window_;
    uint32_t windowBase_ = 0;
    std::string kept_;
    TatoebaNotes notes_;
    bool counting_ = false;   // the first of the two passes over the links
};

}  // namespace

std::u16string TatoebaLinksPath(std::u16string_view path) {
    const size_t folderEnd = path.find_last_of(u"/\\");
    const size_t nameBegin = folderEnd == path.npos ? 0 : folderEnd + 1;
    const size_t dot = path.rfind(u'.');
    const std::u16string_view extension = dot != path.npos && dot >= nameBegin ? path.substr(dot) : std::u16string_view();
    std::u16string links(path.substr(0, nameBegin));
    links += u"links";
    links += extension;
    return links;
}

bool LoadTatoebaSource(const TatoebaLanguages& languages, std::u16string_view path, std::u16string& prepared,
                       std::u16string& message, size_t pieceBytes, TatoebaProgress progress, TatoebaNotes* notes) {
    prepared.clear();
    message.clear();
    try {
        TatoebaLoad load(languages, path, pieceBytes, progress);
        const bool loaded = load.Run(prepared, message);
        if (notes != nullptr) *notes = load.Notes();
        return loaded;
    } catch (const std::bad_alloc&) {
        prepared.clear();
        return false;
    }
}
