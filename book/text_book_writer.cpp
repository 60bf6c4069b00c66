#include "book/text_book_writer.h"

#include "book/text_book.h"
#include "common/text/utf8.h"
#include "dictionary/safe_file_writer.h"

namespace {

std::u16string_view LineOf(const XParagraph& p) {
    std::u16string_view text = p.text;
    while (!text.empty() && (text.back() <= 0x20 || text.back() == 0x3000)) text.remove_suffix(1);
    return text.empty() ? kEmptyPhraseText : text;
}

}  // namespace

std::string TextBookBytes(const BookModel& model) {
    std::string bytes;
    // The language header, which no column shows, as it stood.
    if (const auto* book = dynamic_cast<const TextBook*>(model.Source())) {
        for (std::u16string_view line : book->HeaderLines()) bytes += Utf16ToUtf8(line) + "\r\n";
        if (!bytes.empty()) bytes += "\r\n";
    }
    const int32_t count = model.ParagraphCount();
    for (int32_t k = 0; k < count; ++k) {
        for (int32_t c = 0; c < model.ColumnCount(); ++c) {
            const BookColumn& column = model.Column(c);
            if (k >= column.Count()) continue;
            const XParagraph& p = column.At(k);
            bytes += Utf16ToUtf8(p.tag) + Utf16ToUtf8(LineOf(p));
            bytes += "\r\n";
        }
        bytes += "\r\n";
    }
    return bytes;
}

SaveResult SaveTextBook(BookModel& model, std::u16string_view path) {
    const std::string bytes = TextBookBytes(model);
    SafeFileWriter writer;
    if (writer.BeginWrite(SafeFileWriter::kModeWrite, path) != 1) {
        writer.ResetWriter();
        return SaveResult::Failed;
    }
    if (!bytes.empty() && writer.Write(bytes.data(), static_cast<int32_t>(bytes.size())) != 1) {
        writer.ResetWriter();
        return SaveResult::Failed;
    }
    if (writer.EndWrite() != 1) {
        writer.ResetWriter();
        return SaveResult::Failed;
    }
    model.SetChanged(false);
    return SaveResult::Saved;
}
