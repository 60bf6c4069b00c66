// The RTF document builder: a chain of article pieces, each an 8-bit RTF
// buffer that a renderer fills, and the document that puts the head (fonts,
// colours, styles, generator line, columns) in front of them, blank lines
// between them and the closing brace behind, and hands the whole out to a
// file, a memory block or (article/win/rtf_rich_edit.h) a rich edit control.
// Every character of article text is written as a "\u" control word, so the
// document is 7-bit ASCII and depends on no code page.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// Head texts, exact.
inline constexpr std::string_view kRtfHeader = "{\\rtf1\\ansi\\ansicpg1251\\uc0\\deff0\\deflang1049";
inline constexpr std::string_view kRtfFontTable =
    "{\\fonttbl{\\f0\\fswiss\\fprq1\\fcharset0 Arial;}{\\f1\\fmodern\\fprq1\\fcharset128 MS UI Gothic;}"
    "{\\f2\\fmodern\\fprq1\\fcharset128 MS Mincho;}{\\f3\\fswiss\\fprq1\\fcharset129 Gulim;}"
    "{\\f4\\fswiss\\fprq1\\fcharset134 SimSun;}{\\f5\\fswiss\\fprq1\\fcharset136 PMingLiU;}"
    "{\\f6\\fswiss\\fprq1\\fcharset2 Wingdings;}{\\f7\\fswiss\\fprq1\\fcharset0 Mangal;}"
    "{\\f8\\fswiss\\fprq1\\fcharset0 Latha;}{\\f9\\fswiss\\fprq1\\fcharset0 Arial Unicode MS;}"
    "{\\f10\\fswiss\\fprq1\\fcharset134 SimSun-ExtB;}{\\f11\\fswiss\\fprq1\\fcharset136 PMingLiU-ExtB;}}";
inline constexpr std::string_view kRtfStylesheet =
    "{\\stylesheet {\\f4\\fs20 \\snext0 Normal;}{\\s1 \\sbasedon0\\snext1 style 1;}"
    "{\\s2 \\sbasedon0\\snext1 style 2;}{\\s3 \\sbasedon0\\snext3 Rading;}{\\s4 \\sbasedon0\\snext4 Kanji;}"
    "{\\s5 \\sbasedon0\\snext5 Sense;}{\\s6 \\sbasedon0\\snext6 Derived;}{\\s7 \\sbasedon0\\snext7 Example;}"
    "{\\s8 \\sbasedon0\\snext8 Russian;}{\\s9 \\sbasedon0\\snext9 Note;}{\\s10 \\sbasedon0\\snext10 Idioma;}"
    "{\\s11 \\sbasedon0\\snext11 On;}{\\s12 \\sbasedon0\\snext12 Kun;}{\\s13 \\sbasedon0\\snext13 SSense;}"
    "{\\s14 \\sbasedon0\\snext14 Param;}}";
// The highest style number the stylesheet defines.
inline constexpr int32_t kRtfLastStyle = 14;
inline constexpr std::string_view kRtfGeneratorViewKind4 = "{\\*\\generator Ostrel 5.1;}\\viewkind4\\uc0\\pard";
inline constexpr std::string_view kRtfGeneratorViewKind1 = "{\\*\\generator Ostrel 5.1;}\\viewkind1\\uc0\\pard";
inline constexpr std::string_view kRtfParagraphEnd = "\\par\n";

// Document flags (the rest of the word belongs to the renderers).
inline constexpr uint32_t kRtfViewKind4 = 0x2;
inline constexpr uint32_t kRtfWithStyles = 0x100;

// Piece languages.
inline constexpr int32_t kRtfLanguageNone = 0;
inline constexpr int32_t kRtfLanguageChinese = 4;
inline constexpr int32_t kRtfLanguageJapanese = 17;
inline constexpr int32_t kRtfLanguageLatin = 118;

// Piece flag: Japanese text in the Gothic face instead of Mincho.
inline constexpr uint32_t kRtfGothicFace = 0x2;

// Packs a colour as the table keeps it: red in the low byte, then green, blue.
constexpr uint32_t RtfRgb(uint32_t red, uint32_t green, uint32_t blue) { return red | (green << 8) | (blue << 16); }

// The fonts for supplementary ideographs the system has; the application
// asks the system at start-up, tests say what they need.
struct RtfInstalledFonts {
    bool simSunExtB = false;
    bool pMingLiUExtB = false;
};

class CRtfDocumentBuilder;

// One article's RTF. Appends never fail loudly: when memory runs out the
// piece is emptied and stays empty. A piece holds what it holds: when the
// next piece is added (Fit) its bytes move to the document's store and its
// buffer, with the reserve a renderer asked for, goes to the next piece.
class CRtfArticleBuilder {
public:
    explicit CRtfArticleBuilder(CRtfDocumentBuilder& document) : document_(document) {}
    CRtfArticleBuilder(const CRtfArticleBuilder&) = delete;
    CRtfArticleBuilder& operator=(const CRtfArticleBuilder&) = delete;
    virtual ~CRtfArticleBuilder();

    // Makes room for `bytes` and empties the piece.
    void Reserve(size_t bytes);
    // Gives back the room beyond the bytes written: the bytes move to the
    // document's store (the piece's buffer goes to the next piece), or the
    // buffer shrinks when the store has no memory.
    void Fit();
    // Empties the piece for good, as when memory runs out (an article that
    // could not be finished leaves no half-open group behind).
    void Fail();
    // Control words, written as they are.
    void AppendRaw(std::string_view rtf);
    // Article text, unit by unit: surrogate pairs joined, the font switched
    // by the character's class, "\u" and the signed 16-bit value. A tab gives
    // "\tab ", a line feed "\line "; other units below U+0020 are dropped.
    void AppendChar(char16_t unit);
    void AppendText(std::u16string_view text);
    // "\cf" and the colour's number in the document's table (RGB 0 = "\cf0",
    // the reader's own text colour).
    void SetColor(uint32_t rgb);
    // A display colour class (0x20 readings, 0x30 headwords, 0x40 plain,
    // 0x50 grey, ...) in the colour the article view draws it.
    void SetColorClass(uint32_t colourClass);
    // "\par\n"; counts the paragraph.
    void NewParagraph();
    // "\sN " for a paragraph of element kind `kind` ("\s0 " for a kind the
    // stylesheet has no style of), and the kind kept for the current paragraph.
    void SetParagraphStyle(int32_t kind);
    // Decimal number as article text.
    void AppendNumber(int32_t n);

    std::string_view Bytes() const { return {data_ ? data_.get() : stored_, length_}; }
    // Element kind of each paragraph (index = paragraph number - 1), 0 where
    // none was set; written only by pieces rendered with styles.
    const std::vector<int32_t>& ParagraphKinds() const { return paragraphKinds_; }
    // The last unit AppendChar wrote (0 before the first).
    char16_t LastChar() const { return lastChar_; }
    // True once memory ran out: the piece is empty from then on.
    bool Failed() const { return failed_; }
    // Bytes the piece holds: its buffer's, or its bytes and terminator in
    // the document's store once fitted.
    size_t Capacity() const { return capacity_; }

    int32_t paragraph = 0;    // current paragraph number
    int32_t fontSize = 10;    // points
    uint32_t flags = 0;       // renderer flags word; kRtfGothicFace chooses the Japanese face
    int32_t language = kRtfLanguageNone;

private:
    friend class CRtfDocumentBuilder;
    struct FreeBuffer {
        void operator()(char* p) const;
    };
    bool Grow(size_t more);
    // Moves the buffer to `capacity` bytes (at least length + 1).
    bool Resize(size_t capacity);
    void PutUnit(char16_t unit);
    void WriteCodePoint(uint32_t codePoint, char16_t high, char16_t unit);

    CRtfDocumentBuilder& document_;
    std::unique_ptr<char, FreeBuffer> data_;
    const char* stored_ = nullptr;   // the bytes in the document's store once fitted
    size_t length_ = 0, capacity_ = 0;
    bool failed_ = false;
    int32_t font_ = -1;
    char16_t pendingHigh_ = 0;
    char16_t lastChar_ = 0;
    std::vector<int32_t> paragraphKinds_;
};

class CRtfDocumentBuilder {
public:
    explicit CRtfDocumentBuilder(uint32_t flags, RtfInstalledFonts fonts = {});
    CRtfDocumentBuilder(const CRtfDocumentBuilder&) = delete;
    CRtfDocumentBuilder& operator=(const CRtfDocumentBuilder&) = delete;
    virtual ~CRtfDocumentBuilder();

    // A new empty piece at the end of the chain (null when memory ran out);
    // the piece before it gives back its unused room.
    CRtfArticleBuilder* AddArticle();
    // Index from 0 of the colour in the table, appended when new.
    int32_t AddColor(uint32_t rgb);

    // The ways out. The head is made once, at the first of them; a
    // document can be written out again and stays the same.
    // 1 when the whole file was written (CR LF line ends in every build);
    // else 0 and the user told. The document is written under a temporary
    // name beside `path` and replaces an existing file only once whole, so a
    // failed save leaves the old file as it was.
    int32_t SaveToFile(const char16_t* path);
    // A new zero-terminated block of the document (+257 bytes of room);
    // answers the length without the terminator, 0 and null on failure.
    int32_t ToMemory(std::unique_ptr<char[]>& out);

    // Whole document as one string (tests, tools).
    std::string Document();
    // Pieces [first, last) alone as a document under the same head, with the
    // blank lines that follow each of them in the whole document: printing
    // takes the articles a stretch at a time.
    std::string Stretch(int32_t first, int32_t last);
    // Hands the finished document to `sink` part by part, in order (the
    // head, each piece and the blank lines after it, the closing brace);
    // stops when it answers false. True when every part was taken.
    bool WriteParts(const std::function<bool(std::string_view)>& sink);
    // Bytes of the finished document.
    size_t Size();

    uint32_t flags;
    int32_t columns = 2;
    int32_t blankLines = 1;

    // The most bytes all buffers may hold together; past it a piece cannot
    // grow, as when memory runs out (memory is the real limit; tests set a
    // small one).
    size_t memoryLimit = SIZE_MAX;
    // Bytes the head and the pieces hold now (their buffers and their
    // shares of the store).
    size_t HeldBytes() const { return held_; }
    // True when memory ran out while the document was built: a piece could
    // not be added or could not grow, so the document lacks articles.
    bool Cut() const;
    // Says the document lacks articles for a reason of the caller's.
    void MarkCut() { cut_ = true; }

    RtfInstalledFonts InstalledFonts() const { return fonts_; }
    int32_t PieceCount() const { return static_cast<int32_t>(pieces_.size()); }
    const CRtfArticleBuilder& Piece(int32_t i) const { return *pieces_[static_cast<size_t>(i)]; }

private:
    friend class CRtfArticleBuilder;
    void Complete();
    // Calls `sink` with each part of the finished document in order; stops
    // when it answers false.
    template <class Sink> bool ForEachPart(Sink&& sink);
    // A copy of `bytes` in the store, which only grows; null without memory.
    const char* Store(std::string_view bytes);

    static constexpr size_t kStoreChunkBytes = 64 * 1024;

    RtfInstalledFonts fonts_;
    std::vector<uint32_t> colours_;
    std::vector<std::unique_ptr<CRtfArticleBuilder>> pieces_;
    std::unique_ptr<CRtfArticleBuilder> head_;
    size_t held_ = 0;
    bool cut_ = false;
    // The fitted pieces' bytes, chunk after chunk.
    std::vector<std::unique_ptr<char[]>> store_;
    char* storeAt_ = nullptr;
    char* storeEnd_ = nullptr;
    // The buffer the last fitted piece gave back, for the next one; not
    // counted as held until a piece takes it.
    std::unique_ptr<char, CRtfArticleBuilder::FreeBuffer> spare_;
    size_t spareCapacity_ = 0;
};
