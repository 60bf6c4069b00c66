// One KANJIDIC source per size: a header, three kanji lines and between them
// a line whose meanings ("{meaning 0000001} ...") take SIZE megabytes. Each
// is compiled as qdxc compiles it, and parsed plainly in the same run: the
// bytes decoded by iconv and their tokens walked (blank-separated, "{...}"
// whole), the least any reader of the file does. Lines up to the largest
// record are stored (with their keys and full-text words); longer ones are
// left out and reported, the other kanji stored: the two are timed apart,
// each group with its own growth figure, and each row is checked to be what
// it claims (the long line stored, or refused with the report).
//   long_line_compile_bench WORK_FOLDER [SIZE_MB ...]
// (default 0.25 0.5 1, the largest line that is stored, 10 and 100).
// Prints "MB,line,compile s,parse s,compile/parse,compile s per MB" CSV rows,
// then for the stored and the refused lines apart the ratio of the per-MB
// times of the largest and the smallest size.
#include "common/tests/iconv_converter.h"
#include "common/text/utf8.h"
#include "dictionary/dictionary.h"
#include "dictionary/format_detection.h"
#include "import/compile_environment.h"
#include "import/converter.h"
#include "storage/dms.h"
#include "storage/storage_io.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from) { return std::chrono::duration<double>(Clock::now() - from).count(); }

// 亜 唖 娃 阿 in EUC-JP (JIS 3021-3024).
void WriteSource(const std::filesystem::path& path, double megabytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "# KANJIDIC long line/Copyright nobody/\n\xB0\xA1 3021 U4e9c B1 G8 S7 \xA5\xA2 {Asia}\n";
    out << "\xB0\xA2 3022 U5516 B30 S10 \xA5\xA2 \xA4\xA2.\xA4\xB7";
    char meaning[32];
    for (size_t written = 0, n = 0; written < megabytes * 1e6; ++n) {
        const int length = std::snprintf(meaning, sizeof meaning, " {meaning %07zu}", n);
        out.write(meaning, length);
        written += static_cast<size_t>(length);
    }
    out << "\n\xB0\xA3 3023 U5a03 B38 G9 S9 \xA5\xA2 {beautiful}\n\xB0\xA4 3024 U963f B170 S8 \xA5\xA2 {Africa}\n";
}

// The megabytes of meanings whose line makes the largest record the compile
// stores, less 1 %: the head and the line's other units are well within it.
double LargestStoredMegabytes() {
    CDMS engine(SystemStorageIO());
    CDictionary dictionary(kFormatStoreDatabase, engine);
    SilentCompileUi ui;
    FixedCompileEnv env;
    const CConverter converter(dictionary, CConverter::kNewFile, ui, env);
    // Two bytes of record for each one-byte unit of the line.
    return static_cast<double>(converter.LargestArticleBytes()) / 2 * 0.99 / 1e6;
}

struct Growth {
    double first = 0, last = 0;  // compile s per MB of the smallest and the largest size
    void Add(double perMegabyte) { (first == 0 ? first : last) = perMegabyte; }
    void Print(const char* which) const {
        if (last > 0) std::printf("%s lines: per-MB time, largest / smallest size: %.2f (1 is linear)\n", which, last / first);
    }
};

// iconv's decode and the token walk; answers the tokens, so nothing is optimised away.
size_t PlainParse(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
    Iconv iconv("UTF-16LE", "EUC-JP");
    std::u16string text;
    if (!iconv.ToUtf16(std::span<const uint8_t>(bytes), text)) return 0;
    size_t tokens = 0;
    for (size_t at = 0; at < text.size();) {
        while (at < text.size() && text[at] <= u' ') ++at;
        if (at >= text.size()) break;
        ++tokens;
        if (text[at] == u'{') {
            const size_t close = text.find(u'}', at);
            at = close == text.npos ? text.size() : close + 1;
        } else {
            while (at < text.size() && text[at] > u' ') ++at;
        }
    }
    return tokens;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: long_line_compile_bench WORK_FOLDER [SIZE_MB ...]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    std::vector<double> sizes;
    for (int i = 2; i < argc; ++i) sizes.push_back(std::strtod(argv[i], nullptr));
    if (sizes.empty()) sizes = {0.25, 0.5, 1, LargestStoredMegabytes(), 10, 100};
    std::printf("MB,line,compile s,parse s,compile/parse,compile s per MB\n");
    Growth stored, refused;
    for (double megabytes : sizes) {
        const std::filesystem::path source = folder / "kanjidic-long-line";
        const std::filesystem::path target = folder / "long-line.qdx";
        WriteSource(source, megabytes);
        std::filesystem::remove(target);
        CDMS engine(SystemStorageIO());
        CDictionary dictionary(kFormatStoreDatabase, engine);
        SilentCompileUi ui;
        FixedCompileEnv env;
        CConverter converter(dictionary, CConverter::kNewFile, ui, env);
        const std::u16string from = source.u16string(), to = target.u16string();
        Clock::time_point start = Clock::now();
        const int32_t result = converter.Convert(DetectDictionaryFileFormat(from.c_str()), from, to);
        const double compile = Seconds(start);
        start = Clock::now();
        const size_t tokens = PlainParse(source);
        const double parse = Seconds(start);
        // Four kanji stored with nothing reported, or three and the long line named.
        const std::u16string report = converter.Report().Text();
        const bool lineStored = converter.StoredArticles() == 4 && report.empty();
        const bool lineRefused = converter.StoredArticles() == 3 && report.find(u"Line: 3") == 0;
        if (result != 1 || tokens == 0 || (!lineStored && !lineRefused)) {
            std::fprintf(stderr, "%g MB: compile %d (%s), %u articles stored (%s), %zu tokens\n", megabytes, result,
                         Utf16ToUtf8(converter.errorText).c_str(), converter.StoredArticles(),
                         Utf16ToUtf8(report).c_str(), tokens);
            return 1;
        }
        std::printf("%g,%s,%.3f,%.3f,%.2f,%.4f\n", megabytes, lineStored ? "stored" : "refused", compile, parse,
                    compile / parse, compile / megabytes);
        (lineStored ? stored : refused).Add(compile / megabytes);
        std::filesystem::remove(source);
        std::filesystem::remove(target);
    }
    stored.Print("stored");
    refused.Print("refused");
    return 0;
}
