// The words that web-search commands carry in their lParam. A word is handed
// out when its command is posted and taken back once when the command
// arrives; any other lParam (0 from a menu, -1, a value posted by another
// process, a word already taken) is refused, so the dispatcher only ever frees
// strings it made itself.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <vector>

class WebSearchWords {
public:
    WebSearchWords() = default;
    WebSearchWords(const WebSearchWords&) = delete;
    WebSearchWords& operator=(const WebSearchWords&) = delete;
    // Frees the words whose commands never arrived.
    ~WebSearchWords();

    // Keeps `word` (owned from now on) and answers the lParam to post with it.
    LPARAM HandOut(BSTR word);
    // The word handed out as `value`, now owned by the caller; null when the
    // value is not a word still held.
    BSTR TakeBack(LPARAM value);
    size_t Held() const { return words_.size(); }

private:
    std::vector<BSTR> words_;
};
