// FrameArticleHost over the font sets, the frame and the shelf.
#include "ui/frame_article_host.h"

#include "common/win/wide_text.h"
#include "dictionary/word_list.h"
#include "ui/application.h"
#include "ui/font_sets.h"
#include "ui/frame.h"
#include "ui/frame_shelf.h"

namespace {

std::u16string FaceOf(int32_t set, bool japanese) {
    CFonts* fonts = ProgramFonts();
    if (!fonts) return japanese ? u"MS Mincho" : u"Arial";
    const CFontSet& fontSet = fonts->Set(set);
    return std::u16string(Char16View(japanese ? fontSet.JapaneseFace() : fontSet.LatinFace()));
}

}  // namespace

std::u16string FrameArticleHost::LatinFace() { return FaceOf(kBaseFontSet, false); }

std::u16string FrameArticleHost::JapaneseFace() { return FaceOf(kBaseFontSet, true); }

int32_t FrameArticleHost::ArticleFontPoints() { return ::ArticleFontPoints(); }

int32_t FrameArticleHost::InputFontPoints() {
    CFonts* fonts = ProgramFonts();
    return fonts ? fonts->Set(kInputFontSet).PointSize() : 10;
}

bool FrameArticleHost::IsFontInstalled(std::u16string_view face, uint8_t charset) {
    return ::IsFontInstalled(charset, WideString(face).c_str());
}

HWND FrameArticleHost::MainWindow() { return g_frame ? g_frame->Window() : nullptr; }

HMENU FrameArticleHost::ContextMenus() { return g_frame ? g_frame->ContextMenus() : nullptr; }

void FrameArticleHost::UpdateListMenu(HMENU menu, int32_t flag) {
    if (g_frame) g_frame->UpdateListMenu(menu, flag);
}

int32_t FrameArticleHost::PostTextCommand(uint32_t command, HWND richEdit) { return ::PostTextCommand(command, richEdit); }

void FrameArticleHost::ShowHelpTopic(HWND parent, int32_t topic) {
    if (g_application) g_application->ShowHelpTopic(parent, topic);
}

void FrameArticleHost::UpdateCommandStates(uint32_t command) {
    if (g_frame) g_frame->UpdateCommandStates(command);
}

CArticleView* FrameArticleHost::MainArticleView() { return shelf_.ArticleView(); }

bool FrameArticleHost::ListHasWords(int32_t kind) {
    ListView* view = shelf_.ViewOfKind(kind);
    return view && view->model;
}

int32_t FrameArticleHost::SetCurrentListByKind(int32_t kind) { return shelf_.SetCurrentListByKind(kind); }

void FrameArticleHost::SearchText(std::u16string_view text, std::u16string_view second) {
    ListView* view = shelf_.CurrentView();
    if (!view) return;
    view->SearchText(text, second.empty() ? nullptr : &second);
}

void FrameArticleHost::RedrawLists() { shelf_.RedrawLists(); }

CRichEdit* FrameArticleHost::InputBox() { return g_frame ? g_frame->InputEdit() : nullptr; }

void FrameArticleHost::SetBusy(bool busy) {
    if (g_application) g_application->inputBusy = busy ? 1 : 0;
}
