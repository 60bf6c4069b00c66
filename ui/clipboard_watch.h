// What the clipboard monitor last acted on. Some window systems announce an
// unchanged clipboard again and again (Wine, while another X client owns
// the clipboard, every second or two), and each search it starts replaces
// what the user is typing: only a clipboard whose text changed is searched.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class ClipboardWatch {
public:
    // True when the clipboard holds a text other than the one last seen and
    // its sequence number moved; either way it becomes the one last seen.
    // An empty text (no text on the clipboard) is never searched.
    bool Changed(uint32_t sequence, std::u16string_view text) {
        if (known_ && sequence == sequence_) return false;
        known_ = true;
        sequence_ = sequence;
        if (text.empty() || text == text_) return false;
        text_ = text;
        return true;
    }

private:
    bool known_ = false;
    uint32_t sequence_ = 0;
    std::u16string text_;
};
