#include "book/win/dialog_template.h"

DialogTemplate::DialogTemplate(DWORD style, std::u16string_view caption, short width, short height) {
    words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
    auto* head = reinterpret_cast<DLGTEMPLATE*>(words_.data());
    head->style = style | DS_SETFONT;
    head->cdit = 0;
    head->cx = width;
    head->cy = height;
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the dialog class
    Text(caption);
    words_.push_back(8);
    Text(u"MS Shell Dlg");
}

void DialogTemplate::Text(std::u16string_view text) {
    for (char16_t c : text) words_.push_back(c);
    words_.push_back(0);
}

void DialogTemplate::Align() {
    if (words_.size() % 2) words_.push_back(0);
}

void DialogTemplate::Item(WORD id, DWORD style, short x, short y, short cx, short cy) {
    Align();
    const size_t at = words_.size();
    words_.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(words_.data() + at);
    item->style = style | WS_CHILD;
    item->dwExtendedStyle = 0;
    item->x = x;
    item->y = y;
    item->cx = cx;
    item->cy = cy;
    item->id = id;
    ++reinterpret_cast<DLGTEMPLATE*>(words_.data())->cdit;
}

void DialogTemplate::Add(WORD classAtom, WORD id, std::u16string_view text, DWORD style, short x, short y, short cx,
                         short cy) {
    Item(id, style, x, y, cx, cy);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    Text(text);
    words_.push_back(0);  // no creation data
}

void DialogTemplate::Add(std::u16string_view className, WORD id, std::u16string_view text, DWORD style, short x,
                         short y, short cx, short cy) {
    Item(id, style, x, y, cx, cy);
    Text(className);
    Text(text);
    words_.push_back(0);
}
