// The main window's words on the input's text: a paste cut at the input
// line's length, a text whose words are listed only in part. The user's own
// text is told in one box, after the rows of that text are painted; the
// clipboard monitor's, which the user copied in another program, in the
// status line, where no box takes that program's keyboard.
#include <windows.h>

#include <algorithm>

#include "common/app_context.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/input_line.h"
#include "ui/command_ids.h"
#include "ui/dialog_texts.h"
#include "ui/frame.h"

namespace {

constexpr int kTitleSlot = 116;
constexpr int kTranslatedWordsListSlot = 137;  // "List of Translated Words"

}  // namespace

void CFrame::TellInputCut(int32_t readUpTo, int32_t length, bool byMonitor) {
    std::u16string text = FormatInterfaceText(
        UIExtra(byMonitor ? UIExtraText::kClipboardReadUpTo : UIExtraText::kPasteReadUpTo), {readUpTo, length});
    if (byMonitor) {
        monitorNote_ = std::move(text);
        return;
    }
    QueueInputNote(std::move(text), UIStringTable[kTitleSlot]);
}

void CFrame::TellListedInPart(std::u16string_view text, int32_t stop) {
    if (monitorSearching_ || (!monitorClip_.empty() && InputHoldsMonitorFill())) {
        // Counted in what was copied: the box holds its first part, its lines
        // joined by one blank (a paste) or each line end a blank (a whole
        // text, its leading blanks left out).
        const std::u16string_view copied = monitorClip_;
        int32_t listedTo = 0;
        if (monitorPasted_) {
            listedTo = FitPasteIntoInput(copied, stop).readUpTo;
        } else {
            size_t skipped = 0;
            while (skipped < copied.size() && copied[skipped] < 0x21) ++skipped;
            listedTo = UserCharacterCount(copied.substr(0, std::min(copied.size(), skipped + stop)));
        }
        monitorNote_ = FormatInterfaceText(UIExtra(UIExtraText::kClipboardListedUpTo),
                                           {listedTo, UserCharacterCount(copied)});
        UpdateStatusBar();
        return;
    }
    QueueInputNote(FormatInterfaceText(UIExtra(UIExtraText::kTextListedUpTo),
                                       {UserCharacterCount(text.substr(0, static_cast<size_t>(stop))),
                                        UserCharacterCount(text)}),
                   UIStringTable[kTranslatedWordsListSlot]);
}

void CFrame::QueueInputNote(std::u16string text, std::u16string_view caption) {
    // Posted behind the search the change started, so the box comes after it.
    if (inputNotes_.empty()) PostMessageW(frame_, msg::kPasteNote, 0, 0);
    inputNotes_.emplace_back(std::move(text), caption);
}

void CFrame::ShowInputNotes() {
    // One box at a time: words queued while it is up wait for the next.
    if (inputNoteShown_ || inputNotes_.empty()) return;
    // The rows of the text the words are about are on screen under the box.
    RedrawWindow(frame_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::u16string text;
    for (const auto& note : inputNotes_) text += (text.empty() ? u"" : u"\r\n\r\n") + note.first;
    const std::u16string caption = inputNotes_.size() == 1 ? inputNotes_[0].second : UIStringTable[kTitleSlot];
    inputNotes_.clear();
    inputNoteShown_ = true;
    App().ShowMessage(text, caption, MB_OK | MB_ICONINFORMATION);
    inputNoteShown_ = false;
    if (!inputNotes_.empty()) PostMessageW(frame_, msg::kPasteNote, 0, 0);
}
