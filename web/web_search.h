// The query URLs of the ten web-search commands: the word is cut to 255
// units and trailing blanks, prepared (the kanji dictionary of 40164 is
// searched by one kanji's code point, a kana run, a Latin run, or Cyrillic
// turned into kana), cut to 255 bytes of UTF-8 between characters and
// percent-encoded: every byte but an ASCII letter or digit becomes %XX.
//
// | command | service                 | after "https://" + host                 |
// |---------|-------------------------|-----------------------------------------|
// | 40183   | Google                  | /search?hl=en&q=W                       |
// | 40184   | Google, Japanese pages  | /search?hl=en&lr=lang_ja&q=W            |
// | 40185   | Google Images           | /images?hl=en&q=W                       |
// | 40186   | Wikipedia in Japanese   | /wiki/W                                 |
// | 40187   | Goo dictionary          | /srch/all/W/m0u/                        |
// | 40188   | Eijiro                  | /search?q=W                             |
// | 40166   | Weblio                  | /content/W                              |
// | 40691   | Weblio English          | /content/W                              |
// | 40164   | Yarxi                   | /online/?u=W (a code point), else ?q=W  |
// | 40170   | Jisho                   | /search/W                               |
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr size_t kWebWordMaxUnits = 255;
inline constexpr size_t kWebRunMaxUnits = 80;
inline constexpr size_t kWebQueryMaxBytes = 255;

// The query text of `command` for `word` before encoding.
std::u16string PrepareWebSearchWord(uint32_t command, std::u16string_view word);
// The whole URL; empty for a command outside the ten.
std::string WebSearchUrl(uint32_t command, std::u16string_view word);
// True for a first character 40164 searches by its code point.
bool IsSearchIdeograph(uint32_t codePoint);
