// The objects that live for the whole run, set up before the program's main
// work and released after it, in one fixed order held here: the storage
// engine front end, the print and export engine, the two collators and the
// DUCET table. The engine and the print engine live in higher layers and
// join through hooks; the program's entry owns one ProgramGlobals.
#pragma once

#include <cstdint>

struct GlobalObjectHooks {
    // The storage engine front end (CDMS): built first, destroyed after the
    // print engine. Its destruction may still compare keys: the DUCET table
    // is freed only after it.
    void (*createEngine)() = nullptr;
    void (*destroyEngine)() = nullptr;
    // The print and export engine (CPrintDlg, Windows build): nothing to set up.
    void (*destroyPrintEngine)() = nullptr;
};

class ProgramGlobals {
public:
    // Start-up: the engine; the print engine's release; the collators, the
    // UCA collator without a table (it loads on first hand-out).
    explicit ProgramGlobals(const GlobalObjectHooks& hooks = {});
    // Exit: the dictionary collator, the print engine, the engine, and last
    // the DUCET table.
    ~ProgramGlobals();
    ProgramGlobals(const ProgramGlobals&) = delete;
    ProgramGlobals& operator=(const ProgramGlobals&) = delete;

private:
    GlobalObjectHooks hooks_;
};

// Interface-text slots of the dictionary compiler's step names, per step
// table. The compiler resolves a name from its slot when it shows it, so a
// name is never read before the texts exist and follows a language switch.
inline constexpr int32_t kDictionaryStepNameSlots[10] = {487, 488, 489, 490, 491, 496, 492, 493, 494, 495};
inline constexpr int32_t kBookStepNameSlots[7] = {487, 488, 488, 492, 493, 494, 495};
inline constexpr int32_t kTextStepNameSlots[1] = {487};
// The current text of a step-name slot (never null).
const char16_t* StepNameText(int32_t slot);
