// The source rules and the own markup loader.
#include "import/source_loaders.h"

#include "common/base/bin_file.h"
#include "dictionary/dictionary_container.h"
#include "dictionary/format_detection.h"

#include <array>

namespace {

struct Rule {
    uint32_t mask;
    SourceLoader loader;
    LanguageSourceLoader languageLoader = nullptr;
};

std::array<Rule, static_cast<size_t>(SourceRule::Count)>& Rules() {
    static std::array<Rule, static_cast<size_t>(SourceRule::Count)> rules = {{
        {kFormatOwnContainer | kFormatOwnText, LoadOwnMarkup},
        {kFormatEdictFamily | kFormatJrEdict | kFormatKanjidic, nullptr},
        {kFormatPdic, nullptr},
        {kFormatEijiro, nullptr},
        {kFormatDsl, nullptr},
        {kFormatWarodai, nullptr},
        {kFormatExamples, nullptr},
        {kFormatBook, nullptr},
        {kFormatTatoeba, nullptr},
        {kFormatYarxi, nullptr},
        {kFormatLatinList, nullptr},
    }};
    return rules;
}

}  // namespace

SourceRule SourceRuleOf(uint32_t formatFlags) {
    const auto& rules = Rules();
    for (size_t i = 0; i < rules.size(); ++i)
        if (formatFlags & rules[i].mask) return static_cast<SourceRule>(i);
    return SourceRule::Count;
}

SourceLoader SetSourceLoader(SourceRule rule, SourceLoader loader) {
    if (rule >= SourceRule::Count) return nullptr;
    SourceLoader& slot = Rules()[static_cast<size_t>(rule)].loader;
    const SourceLoader previous = slot;
    slot = loader;
    return previous;
}

void SetLanguageSourceLoader(SourceRule rule, LanguageSourceLoader loader) {
    if (rule < SourceRule::Count) Rules()[static_cast<size_t>(rule)].languageLoader = loader;
}

bool LoadSourceText(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message) {
    return LoadSourceText(path, formatFlags, SourceChoices{}, text, message);
}

bool LoadSourceText(std::u16string_view path, uint32_t formatFlags, const SourceChoices& choices,
                    std::u16string& text, std::u16string& message) {
    const SourceRule rule = SourceRuleOf(formatFlags);
    if (rule == SourceRule::Count) return false;
    const Rule& chosen = Rules()[static_cast<size_t>(rule)];
    if (chosen.languageLoader != nullptr) return chosen.languageLoader(path, formatFlags, choices, text, message);
    return chosen.loader != nullptr && chosen.loader(path, formatFlags, text, message);
}

bool LoadOwnMarkup(std::u16string_view path, uint32_t formatFlags, std::u16string& text, std::u16string& message) {
    BinFile file(nullptr);
    const std::u16string zeroTerminated(path);
    if (!file.SetPath(zeroTerminated.c_str())) return false;
    DictionaryFileContent content;
    if (!ReadDictionaryFile(file, content)) {
        message = content.errorText;
        return false;
    }
    const std::span<const uint8_t> bytes = content.Content();
    text.resize(bytes.size() / 2);
    for (size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
    return true;
}
