// Dragging articles out of a word list: the data object offering the
// selected rows' articles as "Rich Text Format" and then CF_UNICODETEXT (both
// rendered only when the drop target asks), and the drag itself.
#pragma once

#include <windows.h>
#include <objidl.h>

#include <functional>

#include "article/export_options.h"
#include "article/win/data_object.h"

class CSelection;
class WordList;

// A data object with the two formats of an article drag (aspect content,
// index -1, global memory) whose data `renderer` makes.
HRESULT CreateArticleDataObject(ClipboardRenderer renderer, IDataObject** out);

// Told true before and false after each render (the program marks itself
// busy with output meanwhile); may be empty.
using RenderingNotice = std::function<void(bool rendering)>;

// Renders the selected rows of `list` as RenderSelectionForClipboard does,
// afresh at each call (each call gives a block of its own). `list` and
// `selection` must outlive the renderer.
ClipboardRenderer SelectedArticlesRenderer(WordList& list, const CSelection& selection, const ExportOptions& options,
                                           RenderingNotice notice = {});

// Runs the drag of the selected rows with copy as the only effect (OLE must
// be initialised on the calling thread). DoDragDrop's result; `effect` gets
// the effect the target chose.
HRESULT StartArticleDrag(WordList& list, const CSelection& selection, const ExportOptions& options, DWORD* effect,
                         RenderingNotice notice = {});
