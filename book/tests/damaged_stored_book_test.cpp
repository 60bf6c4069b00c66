// Damaged book dictionaries never read as shorter or blank books in silence.
// coreutils' messages (English, Russian, Japanese) compiled as a book, then
// 32 random bytes written at evenly spread places of the file, one place per
// copy: a copy that opens and reads differently from the original (fewer
// phrases, a blank or changed phrase) says that it is damaged. What the
// damage did not touch reads exactly as before.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "book/book_model.h"
#include "book/stored_book.h"
#include "book/tests/book_texts.h"
#include "import/import_registration.h"
#include "import/tests/compile_fixture.h"

#ifdef OSTREL_BOOK_TEXTS
namespace {

struct ReadBook {
    bool opened = false;
    std::vector<std::u16string> texts;  // phrase by phrase, column by column
    std::u16string damage;
};

class DamagedStoredBooks : public CompileFixture {
protected:
    void SetUp() override {
        CompileFixture::SetUp();
        RegisterImportParsers();
    }
    ReadBook Read(const std::u16string& path) {
        ReadBook read;
        RDFDictionary dictionary(kFormatStoreDatabase | kFormatBook, engine_);
        dictionary.File().SetPath(path.c_str());
        if (dictionary.Open(2) != 0) return read;  // refused at open, with the engine's message
        read.opened = true;
        {
            auto stored = std::make_shared<StoredBook>(dictionary);
            const auto books = stored->Books(0);
            if (!books.empty()) {
                stored->SetStartRecord(books[0].firstRecord);
                BookModel model;
                model.Build(stored, false, false);
                for (int32_t e = 0; e < model.PhraseCount(); ++e)
                    for (int32_t c = 0; c < 3; ++c) read.texts.push_back(stored->Text(e, model.RecordId(e), c).text);
            }
            read.damage = stored->Damage();
        }
        dictionary.Close();
        return read;
    }
};

TEST_F(DamagedStoredBooks, EveryDifferenceIsReportedAsDamage) {
    const std::string source = BookTextsPath("coreutils.txt");
    std::ifstream in(source, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::u16string sourcePath = Path("coreutils.txt"), path = Path("coreutils.qdx");
    std::ofstream(std::filesystem::path(sourcePath), std::ios::binary) << text;
    ASSERT_EQ(Compile(sourcePath, path, {}, nullptr, nullptr, kFormatBook | kFormatUtf8), 1);
    const ReadBook original = Read(path);
    ASSERT_TRUE(original.opened);
    ASSERT_GE(original.texts.size(), 3000u);
    EXPECT_TRUE(original.damage.empty()) << "the intact book reads whole";

    std::ifstream file{std::filesystem::path(path), std::ios::binary};
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    constexpr int kCopies = 48;
    int refusedAtOpen = 0, shorter = 0, blanks = 0, same = 0, silent = 0;
    for (int k = 0; k < kCopies; ++k) {
        std::vector<char> damaged = bytes;
        const size_t at = 4096 + (damaged.size() - 4096 - 32) * static_cast<size_t>(k) / kCopies;
        std::mt19937 random(static_cast<uint32_t>(k));
        for (size_t i = 0; i < 32; ++i) damaged[at + i] = static_cast<char>(random());
        const std::u16string copy = Path("damaged" + std::to_string(k) + ".qdx");
        std::ofstream(std::filesystem::path(copy), std::ios::binary).write(damaged.data(), static_cast<std::streamsize>(damaged.size()));
        const ReadBook read = Read(copy);
        if (!read.opened) {
            ++refusedAtOpen;
            continue;
        }
        if (read.texts == original.texts) {
            ++same;
            continue;
        }
        if (read.texts.size() < original.texts.size()) ++shorter;
        else ++blanks;
        // The phrases before the first difference read as before.
        size_t first = 0;
        while (first < read.texts.size() && read.texts[first] == original.texts[first]) ++first;
        if (read.damage.empty()) {
            ++silent;
            ADD_FAILURE() << "copy " << k << " (32 bytes at " << at << ") reads " << read.texts.size() / 3
                          << " phrases, first difference at " << first / 3 << ", and says nothing";
        }
    }
    RecordProperty("refused_at_open", refusedAtOpen);
    RecordProperty("shorter", shorter);
    RecordProperty("blank_or_changed", blanks);
    RecordProperty("unchanged", same);
    EXPECT_EQ(silent, 0);
    EXPECT_GT(shorter + blanks, 0) << "the damage reached the book";
}

}  // namespace
#endif
