// The slot numbers, from the C binding (CINTERFACE): this file holds no C++
// interface type, so the two bindings never meet in one translation unit.
#define CINTERFACE
#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>
#include <servprov.h>

#include "html_slots.h"

namespace ostrel::japanese::testing {

#define OSTREL_SLOT(table, method) (offsetof(table, method) / sizeof(void*))
#define OSTREL_SIZE(table) (sizeof(table) / sizeof(void*))

const HtmlSlots& Slots() {
    static const HtmlSlots slots{
        OSTREL_SIZE(IHTMLDocumentVtbl),
        OSTREL_SIZE(IHTMLWindow2Vtbl),
        OSTREL_SIZE(IHTMLDocument2Vtbl),
        OSTREL_SIZE(IHTMLElementVtbl),
        OSTREL_SIZE(IHTMLBodyElementVtbl),
        OSTREL_SIZE(IHTMLInputButtonElementVtbl),
        OSTREL_SIZE(IHTMLInputTextElementVtbl),
        OSTREL_SIZE(IHTMLTextAreaElementVtbl),
        OSTREL_SIZE(IHTMLTxtRangeVtbl),
        OSTREL_SIZE(IHTMLTextRangeMetricsVtbl),
        OSTREL_SIZE(IHTMLFramesCollection2Vtbl),
        OSTREL_SIZE(IHTMLWindow3Vtbl),
        OSTREL_SIZE(IShellWindowsVtbl),
        OSTREL_SIZE(IWebBrowser2Vtbl),
        OSTREL_SIZE(IServiceProviderVtbl),
        OSTREL_SLOT(IHTMLDocumentVtbl, get_Script),
        OSTREL_SLOT(IHTMLWindow2Vtbl, get_document),
        OSTREL_SLOT(IHTMLDocument2Vtbl, get_body),
        OSTREL_SLOT(IHTMLDocument2Vtbl, get_frames),
        OSTREL_SLOT(IHTMLDocument2Vtbl, elementFromPoint),
        OSTREL_SLOT(IHTMLDocument2Vtbl, get_parentWindow),
        OSTREL_SLOT(IHTMLBodyElementVtbl, createTextRange),
        OSTREL_SLOT(IHTMLInputButtonElementVtbl, createTextRange),
        OSTREL_SLOT(IHTMLInputTextElementVtbl, createTextRange),
        OSTREL_SLOT(IHTMLTextAreaElementVtbl, createTextRange),
        OSTREL_SLOT(IHTMLTxtRangeVtbl, moveToPoint),
        OSTREL_SLOT(IHTMLTxtRangeVtbl, duplicate),
        OSTREL_SLOT(IHTMLTxtRangeVtbl, moveStart),
        OSTREL_SLOT(IHTMLTxtRangeVtbl, moveEnd),
        OSTREL_SLOT(IHTMLTxtRangeVtbl, get_text),
        OSTREL_SLOT(IHTMLTextRangeMetricsVtbl, get_boundingLeft),
        OSTREL_SLOT(IHTMLFramesCollection2Vtbl, get_length),
        OSTREL_SLOT(IHTMLFramesCollection2Vtbl, item),
        OSTREL_SLOT(IHTMLWindow3Vtbl, GetIDsOfNames),
        OSTREL_SLOT(IHTMLWindow3Vtbl, Invoke),
        OSTREL_SLOT(IShellWindowsVtbl, get_Count),
        OSTREL_SLOT(IShellWindowsVtbl, Item),
        OSTREL_SLOT(IWebBrowser2Vtbl, get_HWND),
        OSTREL_SLOT(IWebBrowser2Vtbl, get_Left),
        OSTREL_SLOT(IWebBrowser2Vtbl, get_Top),
        OSTREL_SLOT(IWebBrowser2Vtbl, ClientToWindow),
        OSTREL_SLOT(IWebBrowser2Vtbl, get_Document),
        OSTREL_SLOT(IWebBrowser2Vtbl, ExecWB),
        OSTREL_SLOT(IServiceProviderVtbl, QueryService),
    };
    return slots;
}

}  // namespace ostrel::japanese::testing
