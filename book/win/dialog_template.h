// Dialog templates built in memory (DLGTEMPLATE and its items, DWORD
// aligned), so the reader's dialogs need no resource script and open the
// same way in the program and in the tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string_view>
#include <vector>

class DialogTemplate {
public:
    // Caption and size in dialog units; font 8-point "MS Shell Dlg".
    DialogTemplate(DWORD style, std::u16string_view caption, short width, short height);
    // An item of a predefined class atom (0x0080 button, 0x0081 edit,
    // 0x0082 static, 0x0084 scroll bar, 0x0085 combo box) or a class name.
    void Add(WORD classAtom, WORD id, std::u16string_view text, DWORD style, short x, short y, short cx, short cy);
    void Add(std::u16string_view className, WORD id, std::u16string_view text, DWORD style, short x, short y,
             short cx, short cy);
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Align();
    void Text(std::u16string_view text);
    void Item(WORD id, DWORD style, short x, short y, short cx, short cy);
    std::vector<WORD> words_;
};

namespace dialog_class {
inline constexpr WORD kButton = 0x0080;
inline constexpr WORD kEdit = 0x0081;
inline constexpr WORD kStatic = 0x0082;
inline constexpr WORD kScrollBar = 0x0084;
inline constexpr WORD kComboBox = 0x0085;
}  // namespace dialog_class
