// ImportKanjidic: KANJIDIC lines into the dictionary's elements, pointing
// into its text buffer.
#include "import/kanjidic_import.h"

#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/edict_import.h"
#include "import/kanjidic_parser.h"

namespace {

// The article's element ends at its LF, so the stored record keeps it.
bool AddKanjiArticle(CDictionary& dictionary, const source_lines::Line& line, const KanjidicLine& parsed,
                     int32_t& first) {
    first = source_lines::AddParts(dictionary, line.begin, parsed.parts);
    if (first < 0) return false;
    if (line.hasLineFeed) dictionary.Elements()[first].end = dictionary.Text() + line.next - 1;
    const int32_t units = static_cast<int32_t>(parsed.parameters.size());
    const int32_t at = dictionary.AppendText(units, parsed.parameters.data());
    DictionaryElement* parameters = at < 0 ? nullptr : dictionary.AddElement(kKanjidicParameters);
    if (parameters == nullptr) return false;
    parameters->text = dictionary.Text() + at;
    parameters->length = units;
    return true;
}

}  // namespace

int32_t ImportKanjidic(CDictionary& dictionary, const void* text, uint32_t sizeInBytes, int32_t mode,
                       const ImportCallbacks& callbacks) {
    using namespace source_lines;
    const int32_t start = BeginImport(dictionary, text, sizeInBytes, mode, kFormatKanji);
    if (start < 0) return 0;

    // The source ends here; parameter texts go behind it.
    const int32_t end = dictionary.TextLength();
    const int32_t total = end - start;
    std::vector<SourcePart> headerParts;
    KanjidicLine parsed;
    for (int32_t at = start; at < end;) {
        const Line line = NextLine({dictionary.Text(), static_cast<size_t>(end)}, at);
        const bool header = mode == 0 && at == start;
        at = line.next;
        const std::u16string_view view(dictionary.Text() + line.begin, static_cast<size_t>(line.end - line.begin));
        int32_t first = -1;
        if (header) {
            ParseKanjidicHeaderLine(view, headerParts);
            first = AddParts(dictionary, line.begin, headerParts);
            if (first < 0) return 0;
        } else if (ParseKanjidicLine(view, parsed)) {
            if (!AddKanjiArticle(dictionary, line, parsed, first)) return 0;
        } else if (!IsKanjidicCommentOrBlank(view)) {
            ReportSkippedLine(mode, callbacks);
        }
        if (first >= 0 && ReportArticles(dictionary, first, callbacks) == 0) return 0;
        if (ReportProgress(mode, at - start, total, callbacks) == 0) return 0;
    }
    return 1;
}
