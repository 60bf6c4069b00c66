// The four step tables and the step label.
#include "import/compile_steps.h"

#include "common/app_context.h"
#include "common/base/bounded_format.h"
#include "common/global_objects.h"
#include "common/ui_text/ui_text.h"

#include <array>

namespace {

constexpr int32_t kStepLabelSlot = 482;

constexpr CompileStep kDictionary[] = {
    {kStepStoreArticles, 0, true, kDictionaryStepNameSlots[0]},
    {kStepArticlePointers, 10, true, kDictionaryStepNameSlots[1]},
    {kStepReadingKeys, 101, true, kDictionaryStepNameSlots[2]},
    {kStepKanjiKeys, 102, true, kDictionaryStepNameSlots[3]},
    {kStepAlphabeticKeys, 106, true, kDictionaryStepNameSlots[4]},
    {kStepLatinStems, 121, true, kDictionaryStepNameSlots[5]},
    {kStepLexicon, 110, false, kDictionaryStepNameSlots[6]},
    {kStepWriteLexicon, 0, true, kDictionaryStepNameSlots[7]},
    {kStepHitLists, 0, true, kDictionaryStepNameSlots[8]},
    {kStepHitIndex, 111, true, kDictionaryStepNameSlots[9]},
};
constexpr CompileStep kBook[] = {
    {kStepStoreArticles, 0, true, kBookStepNameSlots[0]},
    {kStepArticlePointers, 10, true, kBookStepNameSlots[1]},
    {kStepBookPointers, 3, true, kBookStepNameSlots[2]},
    {kStepLexicon, 110, false, kBookStepNameSlots[3]},
    {kStepWriteLexicon, 0, true, kBookStepNameSlots[4]},
    {kStepHitLists, 0, true, kBookStepNameSlots[5]},
    {kStepHitIndex, 111, true, kBookStepNameSlots[6]},
};
constexpr CompileStep kKeys[] = {
    {kStepReadingKeys, 101, false, kDictionaryStepNameSlots[2]},
    {kStepKanjiKeys, 102, false, kDictionaryStepNameSlots[3]},
    {kStepAlphabeticKeys, 106, false, kDictionaryStepNameSlots[4]},
    {kStepLexicon, 110, false, kDictionaryStepNameSlots[6]},
    {kStepLatinStems, 121, false, kDictionaryStepNameSlots[5]},
};
constexpr CompileStep kText[] = {{kStepTextExport, 0, false, kTextStepNameSlots[0]}};

}  // namespace

std::span<const CompileStep> DictionarySteps() { return kDictionary; }
std::span<const CompileStep> BookSteps() { return kBook; }
std::span<const CompileStep> KeySteps() { return kKeys; }
std::span<const CompileStep> TextSteps() { return kText; }

bool IsStepAvailable(uint32_t) { return true; }

bool IsFullTextStep(uint32_t code) {
    return code == kStepLexicon || code == kStepWriteLexicon || code == kStepHitLists || code == kStepHitIndex;
}

std::u16string StepLabel(uint32_t stepNumber, uint32_t total, int32_t nameSlot) {
    const bool japanese = App().InterfaceLanguage() == UILanguage::Japanese;
    std::array<char16_t, 512> out{};
    size_t n = japanese ? FormatBounded(out, StepNameText(kStepLabelSlot), {total, stepNumber})
                        : FormatBounded(out, StepNameText(kStepLabelSlot), {stepNumber, total});
    std::u16string label(out.data(), n);
    return label + StepNameText(nameSlot);
}
