// Text books made from Debian's gettext catalogs (coreutils in English,
// Russian and Japanese; diffutils' Hebrew; apt's Arabic): every phrase of
// every column equals its message as Python's gettext reads the .mo files;
// saving without edits gives the same bytes; random edit sequences keep
// every column at the same number of paragraphs after each step, and the
// saved file equals a small Python model of the same edits and is valid
// UTF-8 for iconv. Native only: the books are made by a python3 script.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "book/book_editing.h"
#include "book/book_model.h"
#include "book/tests/book_texts.h"
#include "book/text_book.h"
#include "book/text_book_writer.h"
#include "common/tests/fake_app_context.h"
#include "common/tests/test_files.h"
#include "common/tests/test_paths.h"
#include "common/text/utf8.h"

#include <gtest/gtest.h>

#ifdef OSTREL_BOOK_TEXTS
namespace {

std::string Texts(const std::string& name) { return BookTextsPath(name); }

std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::vector<std::u16string>> Expected(const std::string& domain) {
    std::ifstream in(Texts(domain + ".expected"), std::ios::binary);
    std::vector<std::vector<std::u16string>> rows;
    for (std::string line; std::getline(in, line);) {
        std::vector<std::u16string> fields;
        for (size_t start = 0;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(Utf8ToUtf16(line.substr(start, tab - start)));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        rows.push_back(fields);
    }
    return rows;
}

std::shared_ptr<TextBook> Open(const std::string& domain) {
    auto book = std::make_shared<TextBook>();
    EXPECT_TRUE(book->Load(Utf8ToUtf16(Texts(domain + ".txt"))));
    return book;
}

class GettextBooks : public testing::TestWithParam<const char*> {
protected:
    void SetUp() override { previous_ = SetAppContext(&app_); }
    void TearDown() override { SetAppContext(previous_); }
    FakeAppContext app_;
    IAppContext* previous_ = nullptr;
};

TEST_P(GettextBooks, EveryPhraseOfEveryColumnIsItsMessage) {
    const std::string domain = GetParam();
    const auto expected = Expected(domain);
    ASSERT_GT(expected.size(), 50u);
    BookModel model;
    model.Build(Open(domain), true, false);
    const size_t languages = expected[0].size();
    ASSERT_EQ(model.Languages().size(), languages);
    ASSERT_EQ(model.PhraseCount(), static_cast<int32_t>(expected.size()));  // the header group is no phrase
    size_t compared = 0;
    for (size_t m = 0; m < expected.size(); ++m)
        for (size_t c = 0; c < languages; ++c) {
            const XParagraph& p = model.Column(static_cast<int32_t>(c)).At(static_cast<int32_t>(m));
            ASSERT_EQ(p.text, expected[m][c]) << domain << " message " << m << " column " << c;
            ++compared;
        }
    RecordProperty("phrases_compared", static_cast<int>(compared));
    // Read and saved with no edit: the same bytes.
    EXPECT_EQ(TextBookBytes(model), FileBytes(Texts(domain + ".txt")));
}

INSTANTIATE_TEST_SUITE_P(Catalogs, GettextBooks, testing::Values("coreutils", "diffutils", "apt"));

class RandomEdits : public GettextBooks {};

// The edits are drawn over the whole book; each is applied to the model and
// written to a log that the Python model replays.
TEST_F(RandomEdits, KeepTheColumnsAlignedAndSaveAsThePythonModel) {
    ScratchFolder folder("book-random-edits");
    const std::string source = Texts("coreutils.txt");
    std::mt19937 random(46);
    int32_t steps = 0;
    for (int run = 0; run < 4; ++run) {
        BookModel model;
        model.Build(Open("coreutils"), true, true);
        for (int32_t c = 0; c < model.ColumnCount(); ++c)
            for (auto& p : model.Column(c).paragraphs)
                for (char16_t u : p->text) ASSERT_FALSE(u >= 0xD800 && u <= 0xDFFF) << "the model counts code points";
        std::ofstream log(folder / ("edits" + std::to_string(run) + ".txt"), std::ios::binary);
        for (int step = 0; step < 150; ++step, ++steps) {
            const int32_t c = static_cast<int32_t>(random() % static_cast<uint32_t>(model.ColumnCount()));
            const int32_t k = static_cast<int32_t>(random() % static_cast<uint32_t>(model.ParagraphCount()));
            const int32_t length = static_cast<int32_t>(model.Column(c).At(k).text.size());
            const int32_t offset = static_cast<int32_t>(random() % static_cast<uint32_t>(length + 1));
            EditCursor cursor;
            cursor.caret = cursor.anchor = {k, offset};
            switch (random() % 5) {
            case 0:
                SplitAtCaret(model, c, cursor);
                log << "split " << c << ' ' << k << ' ' << offset << '\n';
                break;
            case 1:
                JoinWithNext(model, c, k, &cursor);
                log << "join " << c << ' ' << k << '\n';
                break;
            case 2:
                DeleteParagraph(model, c, cursor);
                log << "delete " << c << ' ' << k << '\n';
                break;
            case 3:
                InsertAtCaret(model, c, cursor, u"xyz");
                log << "type " << c << ' ' << k << ' ' << offset << " xyz\n";
                break;
            default:
                cursor.caret.offset = cursor.anchor.offset = 0;
                PasteText(model, c, cursor, u"Alpha one.\nBeta two.\nGamma three.");
                log << "paste " << c << ' ' << k << '\n';
                break;
            }
            ASSERT_TRUE(ColumnsAligned(model)) << "run " << run << " step " << step;
        }
        log.close();
        const std::string saved = (folder / ("saved" + std::to_string(run) + ".txt")).string();
        const std::string modelled = (folder / ("model" + std::to_string(run) + ".txt")).string();
        ASSERT_EQ(SaveTextBook(model, Utf8ToUtf16(saved)), SaveResult::Saved);
        EXPECT_FALSE(model.Changed());
        const std::string script = SourcePath() + "/tools/book_texts/edit_model.py";
        ASSERT_EQ(std::system(("python3 '" + script + "' '" + source + "' '" +
                               (folder / ("edits" + std::to_string(run) + ".txt")).string() + "' '" + modelled + "'")
                                  .c_str()),
                  0);
        EXPECT_TRUE(FileBytes(saved) == FileBytes(modelled)) << "run " << run;
        EXPECT_EQ(std::system(("iconv -f UTF-8 -t UTF-16LE '" + saved + "' > /dev/null").c_str()), 0);
    }
    RecordProperty("edit_steps", steps);
}

}  // namespace
#endif
