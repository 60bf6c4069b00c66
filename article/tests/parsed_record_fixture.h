// Formatter tests: dictionaries whose parsed record is built by hand, element
// by element, as the parsers would leave it, and the output read back as
// text with the colour class of each unit.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "article/article_context.h"
#include "article/display_attributes.h"
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

// Puts `text` into the record buffer as a stored record of `formatType`
// (10-byte header, UTF-16 text, a terminating zero).
inline void StoreRawRecord(CDictionary& dictionary, uint8_t formatType, std::u16string_view text) {
    const uint32_t size = static_cast<uint32_t>(10 + text.size() * 2 + 2);
    uint8_t* record = dictionary.ReserveRecordBuffer(size);
    ASSERT_NE(record, nullptr);
    std::memset(record, 0, size);
    record[8] = formatType;
    std::memcpy(record + 10, text.data(), text.size() * 2);
    dictionary.SetRecordSize(size);
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
    // Starts with an entry element, as every parsed record does.
    ParsedRecordTest() : engine(disk), dictionary(0x40000, engine) {
        previous = SetArticleContext(&context);
        AddElement(dictionary, 2);
    }
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

struct StyledResult {
    std::u16string text;
    std::vector<uint32_t> attributes;

    // The colour class of the first unit of `part`; 0xFFFF when absent.
    uint32_t ClassOf(std::u16string_view part) const {
        size_t at = text.find(part);
        return at == std::u16string::npos ? 0xFFFF : attributes[at] & kAttrColourMask;
    }
    // Whether every unit of the first `part` has the colour class.
    bool AllOf(std::u16string_view part, uint32_t colourClass) const {
        size_t at = text.find(part);
        for (size_t i = at; at != std::u16string::npos && i < at + part.size(); ++i)
            if ((attributes[i] & kAttrColourMask) != colourClass) return false;
        return at != std::u16string::npos;
    }
};

inline StyledResult Show(const FormattedText& formatted) {
    return {std::u16string(formatted.Text()), {formatted.Attributes().begin(), formatted.Attributes().end()}};
}

template <typename Fill>
StyledResult WriteStyled(int32_t capacity, Fill fill) {
    std::vector<char16_t> text(static_cast<size_t>(capacity), u'#');
    std::vector<uint32_t> attributes(static_cast<size_t>(capacity), 0xDEAD);
    StyledWriter writer(text, attributes);
    fill(writer);
    return {std::u16string(text.data(), static_cast<size_t>(writer.Length())),
            std::vector<uint32_t>(attributes.begin(), attributes.begin() + writer.Length())};
}
