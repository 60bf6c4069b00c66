// CRtfArticleBuilder's character writing and CRtfDocumentBuilder's head,
// chain and ways out.
#include "article/rtf_document.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <utility>

#include "article/display_attributes.h"
#include "article/rtf_font_class.h"
#include "common/app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/replacing_file.h"

namespace {

constexpr int kSlotCannotOpen = 603, kSlotCannotOpenCaption = 604;
constexpr int kSlotCannotWrite = 605, kSlotCannotWriteCaption = 606;
constexpr uint32_t kMessageBoxError = 0x10;   // MB_ICONHAND

// "prefix", a decimal number and "suffix", in place: the writes of a piece
// allocate nothing but the piece's own buffer, so they cannot throw when
// memory runs out. Every character of article text goes through here, so it
// is written by hand: a formatted print of each cost a fifth of an export.
struct Numbered {
    Numbered(std::string_view prefix, int64_t n, std::string_view suffix = {}) {
        char digits[24];
        char* first = digits + sizeof digits;
        uint64_t magnitude = n < 0 ? 0 - static_cast<uint64_t>(n) : static_cast<uint64_t>(n);
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0);
        if (n < 0) *--first = '-';
        Put(prefix);
        Put({first, static_cast<size_t>(digits + sizeof digits - first)});
        Put(suffix);
    }
    operator std::string_view() const { return {text, length}; }
    char text[48];
    size_t length = 0;

private:
    void Put(std::string_view part) {
        const size_t n = std::min(part.size(), sizeof text - length);
        if (n != 0) std::memcpy(text + length, part.data(), n);
        length += n;
    }
};

}  // namespace

// ---- CRtfArticleBuilder ----

CRtfArticleBuilder::~CRtfArticleBuilder() { document_.held_ -= capacity_; }

void CRtfArticleBuilder::FreeBuffer::operator()(char* p) const { std::free(p); }

void CRtfArticleBuilder::Fail() {
    // Out of memory: the piece stays empty from here on.
    failed_ = true;
    data_.reset();
    stored_ = nullptr;
    document_.held_ -= capacity_;
    length_ = capacity_ = 0;
}

bool CRtfArticleBuilder::Resize(size_t capacity) {
    if (capacity == capacity_) return true;
    CRtfDocumentBuilder& document = document_;
    // The head is never refused: a cut document still needs its head.
    const bool limited = this != document.head_.get();
    auto fits = [&](size_t more) {
        return !limited || more <= document.memoryLimit - std::min(document.memoryLimit, document.held_);
    };
    // A piece that starts out writes into the buffer the piece before gave
    // back, when the limit allows it: no allocation per article.
    if (!data_ && stored_ == nullptr && document.spare_) {
        std::unique_ptr<char, FreeBuffer> spare = std::move(document.spare_);
        const size_t spareCapacity = std::exchange(document.spareCapacity_, 0);
        if (fits(spareCapacity - capacity_)) {
            data_ = std::move(spare);
            document.held_ = document.held_ - capacity_ + spareCapacity;
            capacity_ = spareCapacity;
            if (capacity <= capacity_) return true;
        }
    }
    if (capacity > capacity_ && !fits(capacity - capacity_)) return false;
    char* moved = static_cast<char*>(std::realloc(data_.get(), capacity));
    if (moved == nullptr) return false;
    (void)data_.release();
    data_.reset(moved);
    // Bytes kept in the document's store move out with the piece's first growth.
    if (stored_ != nullptr) std::memcpy(moved, stored_, std::min(length_ + 1, capacity));
    stored_ = nullptr;
    document.held_ = document.held_ - capacity_ + capacity;
    capacity_ = capacity;
    return true;
}

bool CRtfArticleBuilder::Grow(size_t more) {
    if (failed_) return false;
    const size_t needed = length_ + more + 1;
    if (needed <= capacity_) return true;
    // Half as much again, so appends stay amortised; never a power-of-two
    // round-up, which kept up to twice a piece's size for its whole life.
    const size_t ample = capacity_ + capacity_ / 2;
    if (!Resize(std::max(needed, ample)) && !Resize(needed)) {
        Fail();
        return false;
    }
    data_.get()[length_] = 0;
    return true;
}

void CRtfArticleBuilder::Reserve(size_t bytes) {
    length_ = 0;
    if (stored_ != nullptr) {
        stored_ = nullptr;
        document_.held_ -= capacity_;
        capacity_ = 0;
    }
    if (data_) data_.get()[0] = 0;
    Grow(bytes);
}

void CRtfArticleBuilder::Fit() {
    if (failed_ || !data_) return;
    // The bytes go to the document's store and the buffer to the next
    // piece: a buffer of its own per article, shrunk when done, left the
    // heap so cut up that its allocations crawled through the scraps.
    const char* stored = document_.Store({data_.get(), length_ + 1});
    if (stored == nullptr) {
        Resize(length_ + 1);   // a shrink that fails keeps the larger buffer
        return;
    }
    document_.held_ = document_.held_ - capacity_ + length_ + 1;
    document_.spareCapacity_ = capacity_;
    document_.spare_ = std::move(data_);
    stored_ = stored;
    capacity_ = length_ + 1;
}

void CRtfArticleBuilder::AppendRaw(std::string_view rtf) {
    if (rtf.empty() || !Grow(rtf.size())) return;
    std::memcpy(data_.get() + length_, rtf.data(), rtf.size());
    length_ += rtf.size();
    data_.get()[length_] = 0;
}

void CRtfArticleBuilder::PutUnit(char16_t unit) { AppendRaw(Numbered("\\u", static_cast<int16_t>(unit))); }

void CRtfArticleBuilder::WriteCodePoint(uint32_t codePoint, char16_t high, char16_t unit) {
    int32_t fontClass = GetCharFontClass(codePoint);
    const RtfInstalledFonts fonts = document_.InstalledFonts();
    if (language != kRtfLanguageJapanese && (fontClass == kRtfClassGothic || fontClass == kRtfClassMincho)) {
        // BMP CJK outside Japanese text: the Chinese face. The ExtB faces
        // hold only the supplementary planes, so they are kept for those.
        fontClass = kRtfClassSimSun;
    }
    if (fontClass == kRtfClassExtB && !fonts.simSunExtB && fonts.pMingLiUExtB) fontClass = kRtfClassExtBTraditional;
    if ((flags & kRtfGothicFace) == 0) {
        if (fontClass == kRtfClassGothic) fontClass = kRtfClassMincho;
    } else if (fontClass == kRtfClassMincho) {
        fontClass = kRtfClassGothic;
    }
    const int32_t font = RtfFontNumberOfClass(fontClass);
    if (font != font_) {
        AppendRaw(Numbered("\\f", font));
        AppendRaw(Numbered("\\fs", fontSize * 2, " "));
        font_ = font;
    }
    if (high != 0) PutUnit(high);
    PutUnit(unit);
}

void CRtfArticleBuilder::AppendChar(char16_t unit) {
    if (unit >= 0xD800 && unit <= 0xDBFF) {
        pendingHigh_ = unit;
        return;
    }
    const char16_t high = pendingHigh_;
    pendingHigh_ = 0;
    if (unit < 0x20) {
        // Raw control bytes are no RTF text: a NUL would end the document
        // early and a raw line feed is ignored by readers.
        if (unit == u'\t') AppendRaw("\\tab ");
        else if (unit == u'\n') AppendRaw("\\line ");
        else return;
        lastChar_ = unit;
        return;
    }
    if (unit >= 0xDC00 && unit <= 0xDFFF && high != 0) {
        WriteCodePoint((static_cast<uint32_t>(high - 0xD7F7) << 10) + unit, high, unit);
    } else {
        WriteCodePoint(unit, 0, unit);
    }
    lastChar_ = unit;
}

void CRtfArticleBuilder::AppendText(std::u16string_view text) {
    for (char16_t unit : text) AppendChar(unit);
}

void CRtfArticleBuilder::AppendNumber(int32_t n) {
    const Numbered number("", n);
    for (char c : std::string_view(number)) AppendChar(static_cast<char16_t>(c));
}

void CRtfArticleBuilder::SetColor(uint32_t rgb) {
    if (rgb == 0) {
        AppendRaw("\\cf0");
        return;
    }
    const int32_t index = document_.AddColor(rgb);
    if (index < 0) return;
    AppendRaw(Numbered("\\cf", index + 1));
}

void CRtfArticleBuilder::SetColorClass(uint32_t colourClass) {
    for (const ColourClassRgb& c : kColourClassTable) {
        if (c.colourClass != colourClass) continue;
        SetColor(c.plain ? 0 : RtfRgb(c.red, c.green, c.blue));
        return;
    }
    SetColor(0);
}

void CRtfArticleBuilder::NewParagraph() {
    AppendRaw(kRtfParagraphEnd);
    ++paragraph;
}

void CRtfArticleBuilder::SetParagraphStyle(int32_t kind) {
    // The stylesheet defines the styles of kinds 1 to 14; a paragraph of
    // another kind (the EDICT grammar notes, 37) is in the Normal style 0.
    AppendRaw(Numbered("\\s", kind >= 1 && kind <= kRtfLastStyle ? kind : 0, " "));
    if (paragraph < 1 || failed_) return;
    try {
        if (paragraphKinds_.size() < static_cast<size_t>(paragraph))
            paragraphKinds_.resize(static_cast<size_t>(paragraph), 0);
    } catch (const std::bad_alloc&) {
        Fail();
        return;
    }
    paragraphKinds_[static_cast<size_t>(paragraph - 1)] = kind;
}

// ---- CRtfDocumentBuilder ----

CRtfDocumentBuilder::CRtfDocumentBuilder(uint32_t documentFlags, RtfInstalledFonts fonts)
    : flags(documentFlags), fonts_(fonts) {}

CRtfDocumentBuilder::~CRtfDocumentBuilder() = default;

CRtfArticleBuilder* CRtfDocumentBuilder::AddArticle() {
    // The renderer of the piece before is done with its reserve.
    if (!pieces_.empty()) pieces_.back()->Fit();
    std::unique_ptr<CRtfArticleBuilder> piece(new (std::nothrow) CRtfArticleBuilder(*this));
    if (!piece) {
        cut_ = true;
        return nullptr;
    }
    try {
        pieces_.push_back(std::move(piece));
    } catch (const std::bad_alloc&) {
        cut_ = true;
        return nullptr;
    }
    return pieces_.back().get();
}

bool CRtfDocumentBuilder::Cut() const {
    if (cut_) return true;
    for (const auto& piece : pieces_)
        if (piece->Failed()) return true;
    return false;
}

int32_t CRtfDocumentBuilder::AddColor(uint32_t rgb) {
    for (size_t i = 0; i < colours_.size(); ++i)
        if (colours_[i] == rgb) return static_cast<int32_t>(i);
    // The table grows as far as needed; colour numbers are written in full.
    try {
        colours_.push_back(rgb);
    } catch (const std::bad_alloc&) {
        return -1;
    }
    return static_cast<int32_t>(colours_.size() - 1);
}

const char* CRtfDocumentBuilder::Store(std::string_view bytes) {
    if (static_cast<size_t>(storeEnd_ - storeAt_) < bytes.size()) {
        const size_t size = std::max(kStoreChunkBytes, bytes.size());
        std::unique_ptr<char[]> chunk(new (std::nothrow) char[size]);
        if (!chunk) return nullptr;
        try {
            store_.push_back(std::move(chunk));
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
        storeAt_ = store_.back().get();
        storeEnd_ = storeAt_ + size;
    }
    char* at = storeAt_;
    std::memcpy(at, bytes.data(), bytes.size());
    storeAt_ += bytes.size();
    return at;
}

void CRtfDocumentBuilder::Complete() {
    if (head_) return;
    if (!pieces_.empty()) pieces_.back()->Fit();
    head_.reset(new (std::nothrow) CRtfArticleBuilder(*this));
    if (!head_) return;
    head_->AppendRaw(kRtfHeader);
    head_->AppendRaw(kRtfFontTable);
    if (!colours_.empty()) {
        head_->AppendRaw("{\\colortbl ;");
        for (uint32_t rgb : colours_) {
            head_->AppendRaw(Numbered("\\red", rgb & 0xFF));
            head_->AppendRaw(Numbered("\\green", (rgb >> 8) & 0xFF));
            head_->AppendRaw(Numbered("\\blue", (rgb >> 16) & 0xFF, ";"));
        }
        head_->AppendRaw("}");
    }
    if (flags & kRtfWithStyles) head_->AppendRaw(kRtfStylesheet);
    head_->AppendRaw((flags & kRtfViewKind4) ? kRtfGeneratorViewKind4 : kRtfGeneratorViewKind1);
    if (columns == 2) head_->AppendRaw("\\cols2");
    if (columns == 3) head_->AppendRaw("\\cols3");
    head_->Fit();
}

template <class Sink>
bool CRtfDocumentBuilder::ForEachPart(Sink&& sink) {
    Complete();
    if (head_ && !sink(head_->Bytes())) return false;
    for (size_t i = 0; i < pieces_.size(); ++i) {
        if (!sink(pieces_[i]->Bytes())) return false;
        if (i + 1 == pieces_.size()) break;
        for (int32_t b = 0; b < blankLines; ++b)
            if (!sink(kRtfParagraphEnd)) return false;
    }
    return sink(std::string_view("}"));
}

std::string CRtfDocumentBuilder::Document() {
    std::string whole;
    ForEachPart([&](std::string_view part) {
        whole += part;
        return true;
    });
    return whole;
}

std::string CRtfDocumentBuilder::Stretch(int32_t first, int32_t last) {
    Complete();
    std::string stretch(head_ ? head_->Bytes() : std::string_view());
    const int32_t end = std::min(last, PieceCount());
    for (int32_t i = std::max(first, 0); i < end; ++i) {
        stretch += pieces_[static_cast<size_t>(i)]->Bytes();
        if (i + 1 == PieceCount()) break;
        for (int32_t b = 0; b < blankLines; ++b) stretch += kRtfParagraphEnd;
    }
    return stretch + "}";
}

bool CRtfDocumentBuilder::WriteParts(const std::function<bool(std::string_view)>& sink) { return ForEachPart(sink); }

size_t CRtfDocumentBuilder::Size() {
    size_t total = 0;
    ForEachPart([&](std::string_view part) {
        total += part.size();
        return true;
    });
    return total;
}

int32_t CRtfDocumentBuilder::ToMemory(std::unique_ptr<char[]>& out) {
    out.reset();
    const size_t total = Size();
    if (total > 0x7FFFFFFF - 257) return 0;
    std::unique_ptr<char[]> block(new (std::nothrow) char[total + 257]);
    if (!block) return 0;
    size_t at = 0;
    ForEachPart([&](std::string_view part) {
        std::memcpy(block.get() + at, part.data(), part.size());
        at += part.size();
        return true;
    });
    block[at] = 0;
    out = std::move(block);
    return static_cast<int32_t>(at);
}

int32_t CRtfDocumentBuilder::SaveToFile(const char16_t* path) {
    // The new document goes under a temporary name and takes the old file's
    // place only once whole: a failed write never costs the user the file
    // the export was to replace.
    ReplacingFile file;
    if (path == nullptr || !file.Begin(path)) {
        App().ShowMessage(UIStringTable[kSlotCannotOpen], UIStringTable[kSlotCannotOpenCaption], kMessageBoxError);
        return 0;
    }
    // Line ends are written as CR LF here, so every build writes the same bytes.
    constexpr size_t kBufferBytes = 1 << 16;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[kBufferBytes + 2]);
    size_t buffered = 0;
    auto flush = [&]() {
        const bool whole = file.Write(buffer.get(), static_cast<int32_t>(buffered));
        buffered = 0;
        return whole;
    };
    const bool written = buffer && ForEachPart([&](std::string_view part) {
        for (char c : part) {
            if (c == '\n') buffer[buffered++] = '\r';
            buffer[buffered++] = c;
            if (buffered >= kBufferBytes && !flush()) return false;
        }
        return true;
    }) && flush();
    if (!written || !file.Commit()) {
        App().ShowMessage(UIStringTable[kSlotCannotWrite], UIStringTable[kSlotCannotWriteCaption], kMessageBoxError);
        return 0;
    }
    return 1;
}
