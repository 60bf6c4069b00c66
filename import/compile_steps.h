// The step tables of the dictionary compiler. A compilation runs the enabled
// entries of one table in order; each entry names the step, the index whose
// key cursor it writes (0 none) and whether the file is compacted after it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

enum CompileStepCode : uint32_t {
    kStepStoreArticles = 0,
    kStepTextExport = 1,
    kStepBookPointers = 3,
    kStepArticlePointers = 10,
    kStepReadingKeys = 101,
    kStepKanjiKeys = 102,
    kStepAlphabeticKeys = 106,
    kStepLexicon = 110,
    kStepWriteLexicon = 1101,
    kStepHitLists = 1110,
    kStepHitIndex = 111,
    kStepLatinStems = 121,
};

struct CompileStep {
    uint32_t code;
    uint32_t keyId;        // the index whose key cursor the step uses, 0 none
    bool compactAfter;
    int32_t nameSlot;      // the interface text of the step's name
};

// Dictionary steps (formats other than parallel-text books), book steps, the
// key steps of re-indexing one article, and the text export's one step.
std::span<const CompileStep> DictionarySteps();
std::span<const CompileStep> BookSteps();
std::span<const CompileStep> KeySteps();
std::span<const CompileStep> TextSteps();

// Steps whose builders this program does not have yet are skipped (none now;
// the Latin stems step is decided by the converter).
bool IsStepAvailable(uint32_t code);
// The four steps of the full-text index: 110, 1101, 1110 and 111.
bool IsFullTextStep(uint32_t code);

// "Performing step %d from %d" with (step, total), the two numbers swapped
// for the Japanese interface, followed by the step's name.
std::u16string StepLabel(uint32_t stepNumber, uint32_t total, int32_t nameSlot);
