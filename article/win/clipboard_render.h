// The articles of a record source as clipboard data: RTF for the registered
// "Rich Text Format", Unicode text (CR LF line ends) for any other format,
// each in a new movable, zero-initialised global block with its terminating
// zero. The drag's data object and the program's clipboard output use it, and
// the edit boxes' Copy and Cut write their selection through it.
// The clipboard output writes the document's own bytes and the text read
// from the same document: no rich edit is filled on the way, so the two
// formats hold the same characters and a document of any size is copied in
// about the time its file takes.
#pragma once

#include <windows.h>

#include <string_view>

#include "article/export_options.h"

class ArticleExportBuilder;
class CRtfDocumentBuilder;
class IExportRecords;

// The id of "Rich Text Format", registered with the system on first use.
UINT RichTextClipboardFormat();

// A new global block of the `bytes` bytes at `data` and `terminatorBytes`
// zero bytes; null without memory.
HGLOBAL CopyToGlobalBlock(const void* data, size_t bytes, size_t terminatorBytes);

// Renders `records` for `format` with `builder` (reset afterwards): the
// document without blank lines between articles, or the text. S_OK with the
// block; DV_E_FORMATETC when there is no article to give or the articles
// hold no text (a drop target then takes nothing); E_OUTOFMEMORY.
HRESULT RenderSelectionForClipboard(UINT format, IExportRecords& records, const ExportOptions& options,
                                    ArticleExportBuilder& builder, HGLOBAL* block);

// The finished document's bytes in a new global block with a terminating
// zero; null without memory.
HGLOBAL DocumentToGlobalBlock(CRtfDocumentBuilder& document);

enum class ClipboardCopy { Copied, NoMemory, ClipboardBusy };

// Puts `document` on the clipboard (owned by `owner`) as "Rich Text Format"
// and as Unicode text read from the same document (CR LF line ends). Another
// program may hold the clipboard open for a moment: it is waited for about a
// second, then ClipboardBusy.
ClipboardCopy PutDocumentOnClipboard(HWND owner, CRtfDocumentBuilder& document);

// Puts `text` on the clipboard (owned by `owner`) as Unicode text in a block
// of exactly its characters and one terminating zero, a lone CR made CR LF,
// and `rtf` as "Rich Text Format" when given. The program writes its edit
// boxes' copies itself: the rich edit control's own copy may leave bytes
// after the terminator, which programs that read the whole block show as
// characters. The clipboard is waited for as above.
ClipboardCopy PutTextOnClipboard(HWND owner, std::u16string_view text, std::string_view rtf = {});
