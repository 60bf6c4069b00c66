// The two accessibility interfaces the IAccessible2 capture calls, declared
// here because the toolchain's headers have neither: IAccessible2 is only
// asked for by its id (the capture goes on to IAccessibleText), and
// IAccessibleText is laid out as its C binding, a table of 19 methods after
// IUnknown's three in their published order. The member functions below only
// forward through that table, so the layout is what a browser's object has.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <cstddef>

namespace ostrel::japanese {

// {E89F726E-C4F4-4c19-BB19-B647D7FA8478}
inline constexpr GUID kIidAccessible2 = {0xE89F726E, 0xC4F4, 0x4c19, {0xBB, 0x19, 0xB6, 0x47, 0xD7, 0xFA, 0x84, 0x78}};
// {24FD2FFB-3AAD-4a08-8335-A3AD89C0FB4B}
inline constexpr GUID kIidAccessibleText = {0x24FD2FFB, 0x3AAD, 0x4a08, {0x83, 0x35, 0xA3, 0xAD, 0x89, 0xC0, 0xFB, 0x4B}};

// Coordinates relative to the screen (IA2_COORDTYPE_SCREEN_RELATIVE).
inline constexpr long kScreenCoordinates = 0;

struct IAccessibleText;

// A text segment of the text-change methods (not called here).
struct AccessibleTextSegment {
    BSTR text;
    long start;
    long end;
};

struct IAccessibleTextVtbl {
    HRESULT(STDMETHODCALLTYPE* QueryInterface)(IAccessibleText*, REFIID, void**);
    ULONG(STDMETHODCALLTYPE* AddRef)(IAccessibleText*);
    ULONG(STDMETHODCALLTYPE* Release)(IAccessibleText*);
    HRESULT(STDMETHODCALLTYPE* addSelection)(IAccessibleText*, long startOffset, long endOffset);
    HRESULT(STDMETHODCALLTYPE* get_attributes)(IAccessibleText*, long offset, long* startOffset, long* endOffset,
                                               BSTR* textAttributes);
    HRESULT(STDMETHODCALLTYPE* get_caretOffset)(IAccessibleText*, long* offset);
    HRESULT(STDMETHODCALLTYPE* get_characterExtents)(IAccessibleText*, long offset, long coordinateType, long* x,
                                                     long* y, long* width, long* height);
    HRESULT(STDMETHODCALLTYPE* get_nSelections)(IAccessibleText*, long* selectionCount);
    HRESULT(STDMETHODCALLTYPE* get_offsetAtPoint)(IAccessibleText*, long x, long y, long coordinateType,
                                                  long* offset);
    HRESULT(STDMETHODCALLTYPE* get_selection)(IAccessibleText*, long selectionIndex, long* startOffset,
                                              long* endOffset);
    HRESULT(STDMETHODCALLTYPE* get_text)(IAccessibleText*, long startOffset, long endOffset, BSTR* text);
    HRESULT(STDMETHODCALLTYPE* get_textBeforeOffset)(IAccessibleText*, long offset, long boundaryType,
                                                     long* startOffset, long* endOffset, BSTR* text);
    HRESULT(STDMETHODCALLTYPE* get_textAfterOffset)(IAccessibleText*, long offset, long boundaryType,
                                                    long* startOffset, long* endOffset, BSTR* text);
    HRESULT(STDMETHODCALLTYPE* get_textAtOffset)(IAccessibleText*, long offset, long boundaryType, long* startOffset,
                                                 long* endOffset, BSTR* text);
    HRESULT(STDMETHODCALLTYPE* removeSelection)(IAccessibleText*, long selectionIndex);
    HRESULT(STDMETHODCALLTYPE* setCaretOffset)(IAccessibleText*, long offset);
    HRESULT(STDMETHODCALLTYPE* setSelection)(IAccessibleText*, long selectionIndex, long startOffset,
                                             long endOffset);
    HRESULT(STDMETHODCALLTYPE* get_nCharacters)(IAccessibleText*, long* characterCount);
    HRESULT(STDMETHODCALLTYPE* scrollSubstringTo)(IAccessibleText*, long startIndex, long endIndex,
                                                  long scrollType);
    HRESULT(STDMETHODCALLTYPE* scrollSubstringToPoint)(IAccessibleText*, long startIndex, long endIndex,
                                                       long coordinateType, long x, long y);
    HRESULT(STDMETHODCALLTYPE* get_newText)(IAccessibleText*, AccessibleTextSegment* newText);
    HRESULT(STDMETHODCALLTYPE* get_oldText)(IAccessibleText*, AccessibleTextSegment* oldText);
};

// The slots the capture calls, counted in the published order with
// IUnknown's three first: a method moved in the table above fails to build.
static_assert(offsetof(IAccessibleTextVtbl, get_characterExtents) == 6 * sizeof(void*));
static_assert(offsetof(IAccessibleTextVtbl, get_offsetAtPoint) == 8 * sizeof(void*));
static_assert(offsetof(IAccessibleTextVtbl, get_text) == 10 * sizeof(void*));
static_assert(offsetof(IAccessibleTextVtbl, get_nCharacters) == 17 * sizeof(void*));
static_assert(sizeof(IAccessibleTextVtbl) == 22 * sizeof(void*));

struct IAccessibleText {
    const IAccessibleTextVtbl* lpVtbl;

    HRESULT QueryInterface(REFIID iid, void** out) { return lpVtbl->QueryInterface(this, iid, out); }
    ULONG AddRef() { return lpVtbl->AddRef(this); }
    ULONG Release() { return lpVtbl->Release(this); }
    HRESULT CharacterExtents(long offset, long* x, long* y, long* width, long* height) {
        return lpVtbl->get_characterExtents(this, offset, kScreenCoordinates, x, y, width, height);
    }
    HRESULT OffsetAtPoint(long x, long y, long* offset) {
        return lpVtbl->get_offsetAtPoint(this, x, y, kScreenCoordinates, offset);
    }
    HRESULT Text(long startOffset, long endOffset, BSTR* text) {
        return lpVtbl->get_text(this, startOffset, endOffset, text);
    }
    HRESULT CharacterCount(long* count) { return lpVtbl->get_nCharacters(this, count); }
};
static_assert(sizeof(IAccessibleText) == sizeof(void*));

}  // namespace ostrel::japanese
