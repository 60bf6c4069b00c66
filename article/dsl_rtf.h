// The RTF renderer of DSL cards (format 9): an unindented headword line, then
// indented body lines with DSL tags ([b], [i], [c name], [m1], [ex], ...).
// Also the tag tokeniser and the HTML colour names the card text uses.
#pragma once

#include <cstdint>
#include <string_view>

class CRtfArticleBuilder;

// Tag codes; a closing tag gives the negative code, an unknown name -1.
enum DslTagCode : int32_t {
    kDslOpenBracket = 3, kDslCloseBracket = 4, kDslMargin = 5, kDslBold = 6, kDslItalic = 7, kDslUnderline = 8,
    kDslColour = 9, kDslTranslation = 10, kDslSuperscript = 11, kDslExample = 12, kDslStar = 13,
    kDslSubscript = 15, kDslStress = 16, kDslSound = 17, kDslUrl = 18, kDslLabel = 19, kDslReference = 20,
    kDslTopic = 21, kDslComment = 22, kDslLanguage = 23, kDslSoundLink = 24, kDslHeadLink = 25,
};

// The code of a tag name (the text after "[" or "[/", up to "]" or a unit
// below 33); -1 for names with no meaning here.
int32_t ClassifyDslTag(std::u16string_view name);

// The RGB (red in the low byte) of an HTML colour name, letters only, at most
// 79, compared without regard to ASCII case; false for an unknown name.
bool LookUpHtmlColor(std::u16string_view name, uint32_t& rgb);
// The number of names LookUpHtmlColor knows.
int32_t HtmlColorCount();

struct DslToken {
    size_t next = 0;          // where the next token starts
    char16_t character = 0;   // an ordinary character, or 0
    int32_t tag = 0;          // tag code (negative: closing), or 0
    int32_t margin = 0;       // "[mN]": N
    bool named = false;       // "[c name]" with a known name
    uint32_t colour = 0;      // its RGB
};

// The token at `position` of `card`; `indent` receives the indent of the
// next line after a line feed (spaces and tabs, which the token skips).
// Comments "{{…}}" and carriage returns give a token with neither character
// nor tag.
DslToken ParseDslTag(std::u16string_view card, size_t position, int32_t& indent);

// Whether the card's first body line repeats its headword (print mode
// leaves such a headword line out).
bool MatchDslHeadword(std::u16string_view card);

// Writes one card; answers the length in bytes of the piece's RTF.
int32_t AddDslArticle(CRtfArticleBuilder& piece, std::u16string_view card, int32_t fontSize, uint32_t flags);
