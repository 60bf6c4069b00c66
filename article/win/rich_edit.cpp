// CRichEdit: creation, plain text in and out through per-call streams, the
// two-script face rule, the pasted-text clean-up and the edit menu states.
#include "article/win/rich_edit.h"

#include <vector>

#include "article/edit_menu_rules.h"
#include "article/pasted_text_format.h"
#include "article/script_runs.h"
#include "article/win/article_view_host.h"
#include "article/win/rich_edit_stream.h"

namespace {

// {8CC497C0-A1DF-11CE-8098-00AA0047BE5D}
constexpr GUID kTextDocumentId = {0x8CC497C0, 0xA1DF, 0x11CE, {0x80, 0x98, 0x00, 0xAA, 0x00, 0x47, 0xBE, 0x5D}};
constexpr BYTE kCyrillicCharset = 204, kShiftJisCharset = 128, kGb2312Charset = 134;
constexpr LONG kDefaultTwips = 200;
constexpr wchar_t kSupplementaryFace[] = L"SimSun-ExtB";

template <class Com> void Release(Com*& pointer) {
    if (pointer) pointer->Release();
    pointer = nullptr;
}

void CopyFace(WCHAR (&out)[LF_FACESIZE], std::u16string_view face) {
    const size_t count = face.size() < LF_FACESIZE - 1 ? face.size() : LF_FACESIZE - 1;
    for (size_t i = 0; i < count; ++i) out[i] = static_cast<WCHAR>(face[i]);
    out[count] = 0;
}

void LoadRichEditLibrary() {
    static HMODULE library = LoadLibraryW(L"Riched20.dll");  // kept for the run
    (void)library;
}

// Texts up to this long are asked whole whether they need evening out.
constexpr LRESULT kAskedWhole = 256;

// More runs than this in a changed span are given their faces in one stream.
constexpr size_t kRunsOneByOne = 8;

// A long text is taken out in pieces of this many units, from its end: the
// control's clearing of the whole at once costs it time for every run left
// behind each run it removes (0.1 to 0.3 s for an article of 400 paragraphs,
// the pieces a third of that).
constexpr LRESULT kClearedPiece = 2048;

// Size (twips) and colour of a span of the control asked through its text
// object model, which leaves the selection and the screen alone: false when
// the span mixes sizes or colours, or the model cannot tell.
bool UniformSizeAndColour(ITextDocument* document, LONG start, LONG end, RunFormat& out) {
    ITextRange* range = nullptr;
    if (!document || FAILED(document->Range(start, end, &range)) || !range) return false;
    ITextFont* font = nullptr;
    float size = 0;
    long colour = tomUndefined;
    const bool read = SUCCEEDED(range->GetFont(&font)) && font && SUCCEEDED(font->GetSize(&size)) &&
                      SUCCEEDED(font->GetForeColor(&colour));
    if (font) font->Release();
    range->Release();
    if (!read || size == static_cast<float>(tomUndefined) || colour == tomUndefined) return false;
    out = {static_cast<int32_t>(size * 20 + 0.5f), colour == tomAutoColor ? 0u : static_cast<uint32_t>(colour),
           colour == tomAutoColor};
    return true;
}

// The face of a span as its text object model tells it, empty when mixed or unknown.
std::u16string FaceOf(ITextDocument* document, LONG start, LONG end) {
    ITextRange* range = nullptr;
    if (!document || FAILED(document->Range(start, end, &range)) || !range) return {};
    ITextFont* font = nullptr;
    BSTR name = nullptr;
    std::u16string face;
    if (SUCCEEDED(range->GetFont(&font)) && font && SUCCEEDED(font->GetName(&name)) && name)
        face.assign(reinterpret_cast<const char16_t*>(name), SysStringLen(name));
    if (name) SysFreeString(name);
    if (font) font->Release();
    range->Release();
    return face;
}

// Non-zero while ReformatInputText runs, in any wrapper.
int g_reformatting = 0;

}  // namespace

int32_t ControlPositions::operator()(int32_t unit) {
    if (unit < unit_) unit_ = pairs_ = 0;
    const int32_t end = unit < static_cast<int32_t>(text_.size()) ? unit : static_cast<int32_t>(text_.size());
    for (; unit_ < end; ++unit_)
        if (text_[static_cast<size_t>(unit_)] == u'\n' && unit_ > 0 && text_[static_cast<size_t>(unit_ - 1)] == u'\r')
            ++pairs_;
    unit_ = unit;
    return unit - pairs_;
}

CRichEdit::CRichEdit(HWND parent, bool visible, int32_t controlId, int32_t x, int32_t y, int32_t width,
                     int32_t height, bool multiLine)
    : x_(x), y_(y), width_(width), height_(height) {
    defaultFormat_.cbSize = sizeof defaultFormat_;
    defaultFormat_.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT | CFM_PROTECTED | CFM_LINK |
                            CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_OFFSET;
    defaultFormat_.dwEffects = CFE_AUTOCOLOR;
    defaultFormat_.yHeight = kDefaultTwips;
    defaultFormat_.bCharSet = kCyrillicCharset;
    defaultFormat_.bPitchAndFamily = FF_SWISS;
    CopyFace(defaultFormat_.szFaceName, u"Arial");

    LoadRichEditLibrary();
    DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_BORDER | WS_TABSTOP | ES_SAVESEL | ES_AUTOHSCROLL;
    if (visible) style |= WS_VISIBLE;
    if (multiLine) style |= WS_VSCROLL | WS_HSCROLL | ES_WANTRETURN | ES_AUTOVSCROLL | ES_MULTILINE;
    window_ = CreateWindowExW(0, L"RichEdit20W", L"", style, x, y, width, height, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), GetModuleHandleW(nullptr),
                              nullptr);
    if (!window_) return;
    SendMessageW(window_, EM_SETTARGETDEVICE, 0, 0);
    SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
    SendMessageW(window_, EM_SETREADONLY, FALSE, 0);
    SendMessageW(window_, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole_));
    if (ole_ && SUCCEEDED(ole_->QueryInterface(kTextDocumentId, reinterpret_cast<void**>(&document_))) &&
        document_ && SUCCEEDED(document_->Range(0, 0, &story_)) && story_) {
        long delta = 0;
        story_->Expand(tomStory, &delta);
    }
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&defaultFormat_));

    if (ArticleViewHost().IsFontInstalled(u"SimSun-ExtB", kGb2312Charset)) {
        CHARFORMATW associated = defaultFormat_;
        associated.dwMask |= CFM_CHARSET;
        associated.yHeight = kDefaultTwips;
        associated.bCharSet = kGb2312Charset;
        lstrcpynW(associated.szFaceName, kSupplementaryFace, LF_FACESIZE);
        SendMessageW(window_, EM_SETCHARFORMAT, SCF_ASSOCIATEFONT2, reinterpret_cast<LPARAM>(&associated));
    }
}

CRichEdit::~CRichEdit() {
    Release(story_);
    Release(document_);
    Release(ole_);
}

void CRichEdit::ClearLongText() {
    GETTEXTLENGTHEX query = {GTL_NUMCHARS, 1200};
    LRESULT left = SendMessageW(window_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    if (left <= kClearedPiece * 2) return;
    const bool readOnly = (GetWindowLongW(window_, GWL_STYLE) & ES_READONLY) != 0;
    if (readOnly) SendMessageW(window_, EM_SETREADONLY, FALSE, 0);
    for (; left > kClearedPiece; left -= kClearedPiece) {
        SendMessageW(window_, EM_SETSEL, left - kClearedPiece, left);
        SendMessageW(window_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    }
    if (readOnly) SendMessageW(window_, EM_SETREADONLY, TRUE, 0);
}

void CRichEdit::ResetParagraphFormat() {
    PARAFORMAT2 format = {};
    format.cbSize = sizeof format;
    format.dwMask = PFM_STARTINDENT | PFM_RIGHTINDENT | PFM_OFFSET | PFM_ALIGNMENT | PFM_TABSTOPS | PFM_NUMBERING;
    format.wAlignment = PFA_LEFT;
    format.cTabCount = 1;
    format.rgxTabs[0] = 720;
    SendMessageW(window_, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&format));
}

void CRichEdit::Clear() {
    if (!window_) return;
    ++busy_;
    SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    ResetParagraphFormat();
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&defaultFormat_));
    SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
    scriptText_.clear();
    --busy_;
}

int32_t CRichEdit::Fill(std::u16string_view text, bool redraw, bool wrapLines, bool makeEditable,
                        std::span<const uint16_t> attributes, std::span<const uint32_t> displayAttributes) {
    if (!window_) return 0;
    ++busy_;
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    ClearLongText();
    SendMessageW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
    SendMessageW(window_, EM_SETTARGETDEVICE, 0, wrapLines ? 0 : 1);
    ResetParagraphFormat();
    if (makeEditable) SendMessageW(window_, EM_SETREADONLY, FALSE, 0);
    // SF_TEXT stops at a NUL: the text's own length bounds it anyway.
    const size_t bytes = text.size() * sizeof(char16_t);
    const int32_t size = bytes > 0x7FFFFFF0 ? 0x7FFFFFF0 : static_cast<int32_t>(bytes);
    RichEditStreamResult read;
    if (!attributes.empty() || !displayAttributes.empty() || SplitScriptRuns(text).size() > kRunsOneByOne) {
        // Many runs (or bold, italic and coloured ones) are given their
        // formats in the one stream that brings the text: a format set run by
        // run lays a long line out again each time (a 30,000-character line
        // of mixed scripts took minutes).
        IArticleViewHost& host = ArticleViewHost();
        const std::u16string_view streamed = text.substr(0, static_cast<size_t>(size) / sizeof(char16_t));
        const std::string rtf =
            displayAttributes.empty()
                ? ScriptRunsRtf(streamed, host.LatinFace(), host.JapaneseFace(), defaultFormat_.yHeight, attributes)
                : StyledArticleRtf(streamed, displayAttributes, host.LatinFace(), host.JapaneseFace(),
                                   defaultFormat_.yHeight);
        read = StreamIntoRichEdit(window_, SF_RTF, rtf.data(), static_cast<int32_t>(rtf.size()));
        read.bytes = size;
        // The stream replaced the whole text, so the document's own defaults
        // (no colour, no effects) and its size are all the text has: a format
        // set over all of it afterwards would lay every run out again.
        SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
    } else {
        read = StreamIntoRichEdit(window_, SF_TEXT | SF_UNICODE, text.data(), size);
        SendMessageW(window_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&defaultFormat_));
        SendMessageW(window_, EM_SETMODIFY, FALSE, 0);
        ApplyScriptFonts(window_, text);
    }
    scriptText_.assign(text);
    if (redraw) {
        SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
    }
    --busy_;
    return read.bytes / static_cast<int32_t>(sizeof(char16_t));
}

int32_t CRichEdit::SetText(const char16_t* text) { return text ? Fill(text, true, true, true) : 0; }
int32_t CRichEdit::SetText(std::u16string_view text) { return Fill(text, true, true, true); }
int32_t CRichEdit::SetStyledText(std::u16string_view text, std::span<const uint16_t> attributes) {
    const int32_t read = Fill(text, true, true, true, attributes);
    ScriptFontsGiven();  // as the control holds it, CR LF paragraph ends
    return read;
}

int32_t CRichEdit::SetPlainText(const char16_t* text, bool redraw, bool wrapLines) {
    return text ? Fill(text, redraw, wrapLines, false) : 0;
}
int32_t CRichEdit::SetPlainText(std::u16string_view text, bool redraw, bool wrapLines) {
    return Fill(text, redraw, wrapLines, false);
}
int32_t CRichEdit::SetArticleText(std::u16string_view text, std::span<const uint32_t> attributes, bool wrapLines) {
    return Fill(text, false, wrapLines, false, {}, attributes);
}

void CRichEdit::SetFontSize(int32_t twips) {
    defaultFormat_.yHeight = twips;
    if (!window_) return;
    CHARFORMATW size = {};
    size.cbSize = sizeof size;
    size.dwMask = CFM_SIZE;
    size.yHeight = twips;
    ++busy_;
    SendMessageW(window_, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&size));
    --busy_;
}

void CRichEdit::ReformatInputText() {
    if (!window_ || g_reformatting) return;
    ++g_reformatting;
    ++busy_;
    const int32_t points = ArticleViewHost().InputFontPoints();
    GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(window_, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    // Typed text is of one size and colour: nothing to even out, and the
    // control is left alone (no selection moved, nothing painted again). The
    // text object model answers slowly over long texts of many runs: those
    // are halved below.
    RunFormat whole = {};
    if (length <= 0 || (length <= kAskedWhole && UniformSizeAndColour(document_, 0, static_cast<LONG>(length), whole) &&
                        EvenOutPastedRun(whole, points).twips == whole.twips &&
                        EvenOutPastedRun(whole, points).colour == whole.colour)) {
        --busy_;
        --g_reformatting;
        return;
    }
    CHARRANGE kept = {};
    SendMessageW(window_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);

    // Runs of one size and colour, found by halving: the control tells which
    // attributes are the same over a whole selection, so typed text of one
    // format costs one question however long it is, and a paste a few per run.
    std::vector<CHARRANGE> pending;
    if (length > 0) pending.push_back({0, static_cast<LONG>(length)});
    while (!pending.empty()) {
        CHARRANGE range = pending.back();
        pending.pop_back();
        SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        CHARFORMATW format = {};
        format.cbSize = sizeof format;
        SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        constexpr DWORD kCompared = CFM_SIZE | CFM_COLOR;
        if ((format.dwMask & kCompared) != kCompared && range.cpMax - range.cpMin > 1) {
            const LONG middle = range.cpMin + (range.cpMax - range.cpMin) / 2;
            pending.push_back({middle, range.cpMax});  // the left half first
            pending.push_back({range.cpMin, middle});
            continue;
        }
        const RunFormat now = {static_cast<int32_t>(format.yHeight), format.crTextColor,
                               (format.dwEffects & CFE_AUTOCOLOR) != 0};
        const RunFormat wanted = EvenOutPastedRun(now, points);
        CHARFORMATW change = {};
        change.cbSize = sizeof change;
        if (wanted.twips != now.twips) change.dwMask |= CFM_SIZE, change.yHeight = wanted.twips;
        if (wanted.colour != now.colour) change.dwMask |= CFM_COLOR, change.crTextColor = wanted.colour;
        if (change.dwMask) SendMessageW(window_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&change));
    }
    SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
    --busy_;
    --g_reformatting;
}

void CRichEdit::ApplyScriptFontsToText() {
    if (window_) ApplyScriptFontsToText(GetText(window_));
}

void CRichEdit::ApplyScriptFontsToText(std::u16string_view text) {
    if (!window_) return;
    const ChangedSpan span = FindChangedSpan(scriptText_, text);
    scriptText_ = text;
    if (span.end <= span.start) return;
    IArticleViewHost& host = ArticleViewHost();
    const std::u16string latinFace = host.LatinFace(), japaneseFace = host.JapaneseFace();
    const std::u16string_view changed = text.substr(static_cast<size_t>(span.start),
                                                    static_cast<size_t>(span.end - span.start));
    const std::vector<ScriptRun> runs = SplitScriptRuns(changed);
    // A typed letter mostly has the face of the text before it already:
    // asked through the text object model, which moves no selection.
    if (runs.size() <= 2) {
        bool right = true;
        for (const ScriptRun& run : runs)
            if (run.length > 0)
                right = right && FaceOf(document_, span.start + run.start, span.start + run.start + run.length) ==
                                     (run.japanese ? japaneseFace : latinFace);
        if (right) return;
    }
    ++busy_;
    auto select = [&](int32_t start, int32_t end, CHARFORMATW& format) {
        CHARRANGE range = {span.start + start, span.start + end};
        SendMessageW(window_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        format.cbSize = sizeof format;
        SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    };
    if (runs.size() > kRunsOneByOne) {
        // A paste of many runs: one stream gives the span its faces, where a
        // format set run by run would lay the whole line out again each time.
        QuietSelection quiet(window_, true);
        CHARFORMATW format = {};
        select(0, span.end - span.start, format);
        const int32_t twips = format.dwMask & CFM_SIZE ? format.yHeight : defaultFormat_.yHeight;
        const std::string rtf = ScriptRunsRtf(changed, latinFace, japaneseFace, twips);
        StreamIntoRichEdit(window_, SF_RTF | SFF_SELECTION, rtf.data(), static_cast<int32_t>(rtf.size()));
    } else {
        QuietSelection quiet(window_, false);
        CHARFORMATW latin = {}, japanese = {};
        latin.cbSize = japanese.cbSize = sizeof latin;
        latin.dwMask = japanese.dwMask = CFM_FACE | CFM_CHARSET;
        latin.bCharSet = kCyrillicCharset;
        japanese.bCharSet = kShiftJisCharset;
        CopyFace(latin.szFaceName, latinFace);
        CopyFace(japanese.szFaceName, japaneseFace);
        for (const ScriptRun& run : runs) {
            if (run.length == 0) continue;
            const CHARFORMATW& wanted = run.japanese ? japanese : latin;
            CHARFORMATW now = {};
            select(run.start, run.start + run.length, now);
            // Typed text mostly takes the face of the text before it already.
            if ((now.dwMask & wanted.dwMask) == wanted.dwMask && now.bCharSet == wanted.bCharSet &&
                lstrcmpiW(now.szFaceName, wanted.szFaceName) == 0)
                continue;
            SendMessageW(window_, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&wanted));
        }
    }
    --busy_;
}

void CRichEdit::ScriptFontsGiven() {
    if (window_) scriptText_ = GetText(window_);
}

void CRichEdit::PasteText(std::u16string_view text) {
    if (!window_) return;
    if (!(GetWindowLongW(window_, GWL_STYLE) & ES_MULTILINE)) text = text.substr(0, text.find_first_of(u"\r\n"));
    ++busy_;
    CHARFORMATW format = {};
    format.cbSize = sizeof format;
    SendMessageW(window_, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    const int32_t twips = format.dwMask & CFM_SIZE ? format.yHeight : defaultFormat_.yHeight;
    IArticleViewHost& host = ArticleViewHost();
    const std::string rtf = ScriptRunsRtf(text, host.LatinFace(), host.JapaneseFace(), twips);
    StreamIntoRichEdit(window_, SF_RTF | SFF_SELECTION, rtf.data(), static_cast<int32_t>(rtf.size()));
    scriptText_ = GetText(window_);
    --busy_;
}

std::u16string CRichEdit::GetText(HWND control) {
    if (!control) return {};
    GETTEXTLENGTHEX query = {GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0);
    if (length <= 0 || length > 0x3FFFFFF0) return {};
    std::u16string text(static_cast<size_t>(length) + 2, u'\0');
    GETTEXTEX get = {};
    get.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
    get.flags = GT_DEFAULT;
    get.codepage = 1200;
    const LRESULT got = SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 && got < static_cast<LRESULT>(text.size()) ? static_cast<size_t>(got) : 0);
    return text;
}

QuietSelection::QuietSelection(HWND control, bool hidden) : control_(control), hidden_(hidden) {
    if (!control_) return;
    events_ = SendMessageW(control_, EM_SETEVENTMASK, 0, 0);
    SendMessageW(control_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection_));
    SendMessageW(control_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
    if (hidden_) SendMessageW(control_, WM_SETREDRAW, FALSE, 0);
}

QuietSelection::~QuietSelection() {
    if (!control_) return;
    SendMessageW(control_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection_));
    SendMessageW(control_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scroll_));
    if (hidden_) {
        SendMessageW(control_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(control_, nullptr, TRUE);
    }
    SendMessageW(control_, EM_SETEVENTMASK, 0, events_);
}

std::u16string CRichEdit::GetTextUtf16(HWND control) {
    if (!control) return {};
    GETTEXTLENGTHEX lengthQuery = {GTL_USECRLF | GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length = SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    if (length <= 0 || length > 0x3FFFFFF0) {
        SendMessageW(control, EM_SETMODIFY, FALSE, 0);
        return {};
    }
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    const RichEditStreamResult out = StreamOutOfRichEdit(control, SF_TEXT | SF_UNICODE, text.data(),
                                                         static_cast<int32_t>(text.size() * sizeof(char16_t)));
    SendMessageW(control, EM_SETMODIFY, FALSE, 0);
    text.resize(static_cast<size_t>(out.bytes) / sizeof(char16_t));
    return text;
}

std::u16string CRichEdit::GetSelectedText(HWND control) {
    if (!control) return {};
    CHARRANGE range = {};
    SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    if (range.cpMin < 0 || range.cpMax <= range.cpMin) return {};
    const LONG count = range.cpMax - range.cpMin;
    std::u16string text(static_cast<size_t>(count) + 8, u'\0');
    GETTEXTEX query = {};
    query.cb = static_cast<DWORD>(text.size() * sizeof(char16_t));
    query.flags = GT_SELECTION;
    query.codepage = 1200;
    const LRESULT got = SendMessageW(control, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(got > 0 && got < static_cast<LRESULT>(text.size()) ? static_cast<size_t>(got) : 0);
    return text;
}

void ApplyScriptFonts(HWND control, std::u16string_view text) {
    if (!control) return;
    IArticleViewHost& host = ArticleViewHost();
    ApplyScriptFonts(control, text, 0, host.LatinFace(), host.JapaneseFace());
    SendMessageW(control, EM_SETSEL, static_cast<WPARAM>(-1), 0);
}

void ApplyScriptFonts(HWND control, std::u16string_view text, int32_t at, std::u16string_view latinFace,
                      std::u16string_view japaneseFace) {
    if (!control) return;
    CHARFORMATW latin = {}, japanese = {};
    latin.cbSize = japanese.cbSize = sizeof latin;
    latin.dwMask = japanese.dwMask = CFM_FACE | CFM_CHARSET;
    latin.bCharSet = kCyrillicCharset;
    japanese.bCharSet = kShiftJisCharset;
    CopyFace(latin.szFaceName, latinFace);
    CopyFace(japanese.szFaceName, japaneseFace);
    ControlPositions position(text);
    for (const ScriptRun& run : SplitScriptRuns(text)) {
        if (run.length == 0) continue;
        CHARRANGE range = {at + position(run.start), at + position(run.start + run.length)};
        SendMessageW(control, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
        SendMessageW(control, EM_SETCHARFORMAT, SCF_SELECTION,
                     reinterpret_cast<LPARAM>(run.japanese ? &japanese : &latin));
    }
}

bool UpdateEditMenuState(HMENU menu, HWND control, bool editable, int32_t extraPosition) {
    CHARRANGE range = {};
    if (control) SendMessageW(control, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    const bool hasSelection = range.cpMax != range.cpMin;
    GETTEXTLENGTHEX lengthQuery = {GTL_NUMCHARS, 1200};
    const bool hasText =
        control && SendMessageW(control, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0) > 0;
    if (!menu) return hasSelection;
    for (const EditMenuItemState& item : EditMenuItemStates(editable, hasText, hasSelection))
        EnableMenuItem(menu, item.command, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    if (extraPosition >= 0)
        EnableMenuItem(menu, static_cast<UINT>(extraPosition), MF_BYPOSITION | (hasSelection ? MF_ENABLED : MF_GRAYED));
    return hasSelection;
}
