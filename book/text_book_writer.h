// Writing a text book back to its file: UTF-8 without a byte-order mark,
// one line per language in language order (every language of the book,
// whatever the reader shows), CR LF line ends, an empty line after each
// group and "</>" for an empty phrase. Tags stand as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "book/book_model.h"

// The file's bytes for the model's columns.
std::string TextBookBytes(const BookModel& model);

enum class SaveResult : int32_t { Failed = 0, Saved = 1 };

// Writes the bytes through a temporary file beside `path` that replaces
// it at the end; any failure leaves the old file as it was and the model's
// changed flag set. A success clears the flag.
SaveResult SaveTextBook(BookModel& model, std::u16string_view path);
