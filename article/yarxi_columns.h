// List-column text of YARXI kanji records (formats 14 and 15): each column
// shows the elements of one kind in one colour class.
#pragma once

#include <cstdint>

#include "article/list_cell.h"

class CDictionary;

// Appends to `cell` the elements of the kind `columnKind` picks (column 14:
// the first such element as a numbered field; others: every one, a line
// each) in the column's class; 0 when the cell is already full.
int32_t GetColumnTextF14(const CDictionary& dictionary, uint32_t index, ListCell& cell, int32_t columnKind);
