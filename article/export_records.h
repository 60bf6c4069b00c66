// Where the articles of a print or export come from, in output order: the
// rows of a word list (all of them or the selected ones), or every record of
// one dictionary file in record order (the command-line export). Each entry
// is loaded into its dictionary's parsed record when asked for.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class CDictionary;
class CSelection;
class WordList;

class IExportRecords {
public:
    virtual ~IExportRecords() = default;
    virtual int32_t Count() const = 0;
    // Reads and parses entry `index` (0 to Count() - 1, asked in order);
    // the dictionary holding it as its parsed record, or null for an entry
    // without a record or one that cannot be read (skipped by the caller).
    virtual CDictionary* Load(int32_t index) = 0;
    // The text an entry that stands for no record shows as its article (a
    // row the list made itself, such as the Latin analyser's reading of a
    // numeral); empty for an entry of a record. Asked before Load.
    virtual std::u16string_view ShownText(int32_t) { return {}; }
};

// The rows of `list`: all of them, or with `selection` the selected rows in
// ascending order, each once.
class WordListExportRecords final : public IExportRecords {
public:
    WordListExportRecords(WordList& list, const CSelection* selection);
    int32_t Count() const override { return static_cast<int32_t>(rows_.size()); }
    CDictionary* Load(int32_t index) override;
    std::u16string_view ShownText(int32_t index) override;

private:
    WordList& list_;
    std::vector<int32_t> rows_;
};

// Every record the article indexes of an open dictionary point at, in record
// order (for a compiled source, the source's order); or the entries of one
// index in its key order, a record once per entry, as a one-dictionary list
// over that index shows them.
class DictionaryExportRecords final : public IExportRecords {
public:
    explicit DictionaryExportRecords(CDictionary& dictionary);
    DictionaryExportRecords(CDictionary& dictionary, int32_t indexId);
    int32_t Count() const override { return static_cast<int32_t>(positions_.size()); }
    CDictionary* Load(int32_t index) override;
    // Keeps the first `count` records only.
    void KeepFirst(int32_t count);

private:
    CDictionary& dictionary_;
    std::vector<uint32_t> positions_;
};
