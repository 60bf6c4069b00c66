// The per-article callback of the EIJIRO and PDIC importer tests: each
// article as "headword kind:headword|sense", and each article stored as the
// compiler stores it and parsed again into the same elements.
#pragma once

#include <string>
#include <vector>

#include "dictionary/dictionary.h"
#include "import/article_record.h"

inline std::u16string DescribeElements(const CDictionary& dictionary, int32_t first, int32_t end) {
    std::u16string out;
    for (int32_t i = first; i < end && i < dictionary.ElementCount(); ++i) {
        const DictionaryElement& e = dictionary.Elements()[i];
        if (e.kind == kElementEntryStart) continue;
        out += std::u16string{char16_t(u'0' + e.kind), u':'} +
               std::u16string(e.text ? std::u16string_view(e.text, static_cast<size_t>(e.length)) : u"") + u"|";
    }
    return out;
}

struct EntrySink {
    CDictionary* reader = nullptr;  // parses each stored article again when set
    uint16_t formatType = 0;
    int32_t stopAfter = -1;
    std::vector<std::u16string> entries;
    std::u16string mismatch;

    static int32_t OnRecord(void* context, CDictionary& dictionary, int32_t element) {
        auto* sink = static_cast<EntrySink*>(context);
        const DictionaryElement& article = dictionary.Elements()[element];
        if (article.kind != kElementEntryStart) return 1;
        const std::u16string parts = DescribeElements(dictionary, element, dictionary.ElementCount());
        sink->entries.push_back(parts);
        if (sink->reader != nullptr) {
            const std::vector<uint8_t> record = BuildArticleRecord(
                1, sink->formatType, {article.begin, static_cast<size_t>(article.end - article.begin) + 1});
            sink->reader->ParseRecord(record.data(), static_cast<uint32_t>(record.size()));
            const std::u16string again = DescribeElements(*sink->reader, 0, sink->reader->ElementCount());
            if (sink->mismatch.empty() && again != parts) sink->mismatch = parts + u"\n" + again;
        }
        return static_cast<int32_t>(sink->entries.size()) == sink->stopAfter ? 0 : 1;
    }
    ImportCallbacks Callbacks() {
        ImportCallbacks callbacks;
        callbacks.onRecord = OnRecord;
        callbacks.context = this;
        return callbacks;
    }
};
