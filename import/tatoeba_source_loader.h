// The Tatoeba sentence export (format type 13) made ready for its importer:
// the sentences file (the source, "id TAB language TAB text" lines sorted by
// id, UTF-8) and the "links" file beside it ("id TAB id" lines) are read in
// pieces, the sentences of up to four chosen languages joined through their
// links, and the kept lines written into one prepared buffer:
//
//   offset      size      field
//   0           4         H = 8 x P + 4 (u32, little-endian)
//   4           8 x P     P pairs {u32 headword line, u32 translation line}:
//                         offsets in UTF-16 units into the text below
//   H           to end    UTF-16 text: the kept sentence lines, each whole
//                         ("id TAB language TAB text") with its LF
//
// Pairs of one headword sentence stand together, ordered by the language of
// the translation (language 2, then 3, then 4).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The chosen languages: [0] the headword sentences', [1] to [3] the
// translations'. The first three characters of a sentence's language field
// are compared with a code; an empty code matches nothing.
using TatoebaLanguages = std::array<std::u16string, 4>;

inline constexpr size_t kTatoebaPieceBytes = 1000000;

// Where the loader reports its progress: 10 of 1000 once it starts, then 200,
// 300, ... 1000 after each pass and step.
struct TatoebaProgress {
    void (*report)(void* context, int32_t perMille) = nullptr;  // may be null
    void* context = nullptr;
};

// What the reading met that is not refused: lines of either file that are
// no sentence or link (an id field not 1 to 9 digits, no TAB), and links that
// name a sentence id past the last one of the sentences file, which then
// ends early (`lastId` its last id).
struct TatoebaNotes {
    int64_t skippedLines = 0;
    int64_t linksPastEnd = 0;
    uint32_t lastId = 0;
};

// Reads the sentences file at `path` and its links file ("links" with the
// same extension in the same folder) into `prepared` (the buffer above, two
// bytes per unit). False with a message for the user in `message` (empty for
// a file that cannot be read or memory that runs out): the links file
// missing, no link between the chosen languages, the sentences file not
// sorted by id, or a line of it that is not UTF-8 (named by its number).
// Lines whose id fields are not 1 to 9 digits are skipped and counted in
// `notes` (when given). `pieceBytes` is how much of a file is read at a time.
bool LoadTatoebaSource(const TatoebaLanguages& languages, std::u16string_view path, std::u16string& prepared,
                       std::u16string& message, size_t pieceBytes = kTatoebaPieceBytes,
                       TatoebaProgress progress = {}, TatoebaNotes* notes = nullptr);

// The path of the links file of the sentences file at `path`.
std::u16string TatoebaLinksPath(std::u16string_view path);
