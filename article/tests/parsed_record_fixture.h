// Dictionaries whose parsed record is built by hand, element by element, as
// the parsers would leave it; the formatter tests read them back.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "article/article_context.h"
#include "article/formatted_text.h"
#include "dictionary/dictionary.h"
#include "storage/dms.h"
#include "storage/simulated_disk.h"

// Appends an element of `kind` whose text is `text` (copied into the text buffer).
inline DictionaryElement& AddElement(CDictionary& dictionary, uint32_t kind, std::u16string_view text = {},
                                     uint32_t flags = 0) {
    int32_t offset = dictionary.AppendText(static_cast<int32_t>(text.size()), text.data());
    DictionaryElement* element = dictionary.AddElement(kind);
    element->flags = flags;
    element->text = dictionary.Text() + offset;
    element->length = static_cast<int32_t>(text.size());
    return *element;
}

// A settable article context: the flags word and one word that the first
// dictionary of the shelf answers with.
class FakeArticleContext : public IArticleContext {
public:
    uint32_t ApplicationFlags() const override { return flags; }
    bool FindInFirstDictionary(const CDictionary&, std::u16string_view key, std::u16string_view reading,
                               FoundEntry& found) override {
        askedKey = key;
        askedReading = reading;
        if (firstDictionary == nullptr || key != wordKey || reading != wordReading) return false;
        found = {firstDictionary, 0};
        return true;
    }

    uint32_t flags = 0;
    const CDictionary* firstDictionary = nullptr;
    std::u16string wordKey, wordReading;
    std::u16string askedKey, askedReading;
};

class ParsedRecordTest : public ::testing::Test {
protected:
    ParsedRecordTest() : engine(disk), dictionary(0x40000, engine) { previous = SetArticleContext(&context); }
    ~ParsedRecordTest() override { SetArticleContext(previous); }

    DictionaryElement& Add(uint32_t kind, std::u16string_view text = {}, uint32_t flags = 0) {
        return AddElement(dictionary, kind, text, flags);
    }

    SimulatedDisk disk;
    CDMS engine;
    CDictionary dictionary;
    FakeArticleContext context;
    IArticleContext* previous = nullptr;
};

// The text of a formatted result and its colour class per unit.
struct Shown {
    std::u16string text;
    std::vector<uint32_t> attributes;
    uint32_t ClassAt(size_t i) const { return attributes[i] & 0xF0; }
    uint32_t ClassOf(std::u16string_view part) const {
        size_t at = text.find(part);
        return at == std::u16string::npos ? 0xFFFF : ClassAt(at);
    }
};

inline Shown Show(const FormattedText& formatted) {
    return {std::u16string(formatted.Text()),
            std::vector<uint32_t>(formatted.Attributes().begin(), formatted.Attributes().end())};
}
