// The RTF renderer of WARODAI entries (format 10): a head line with the kana
// headwords, the kanji writings in "【】" and remarks, then translation lines
// with simple tags (<i>, <b>, <a>), examples, idioms and notes.
#pragma once

#include <cstdint>
#include <string_view>

class CRtfArticleBuilder;

// Writes one entry; answers the length in bytes of the piece's RTF.
int32_t AddWarodaiArticle(CRtfArticleBuilder& piece, std::u16string_view entry, int32_t fontSize, uint32_t flags);
