// The articles of a record source as clipboard data: RTF for the registered
// "Rich Text Format", Unicode text (CR LF line ends) for any other format,
// each in a new movable, zero-initialised global block with its terminating
// zero. The drag's data object and the program's clipboard output use it.
#pragma once

#include <windows.h>

#include "article/export_options.h"

class ArticleExportBuilder;
class IExportRecords;

// The id of "Rich Text Format", registered with the system on first use.
UINT RichTextClipboardFormat();

// A new global block of the `bytes` bytes at `data` and `terminatorBytes`
// zero bytes; null without memory.
HGLOBAL CopyToGlobalBlock(const void* data, size_t bytes, size_t terminatorBytes);

// Renders `records` for `format` with `builder` (reset afterwards): the
// document without blank lines between articles, or the text. S_OK with the
// block; DV_E_FORMATETC when there is no article to give; E_OUTOFMEMORY.
HRESULT RenderSelectionForClipboard(UINT format, IExportRecords& records, const ExportOptions& options,
                                    ArticleExportBuilder& builder, HGLOBAL* block);
