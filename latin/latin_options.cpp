// The two option sets of the Latin analyser: names, defaults and the lookup
// by name that the host uses.
#include "latin/latin_options.h"

#include <cstring>

const char* const kDeveloperOptionNames[kDeveloperOptionCount + 1] = {
    "HAVE_STATISTICS_FILE", "WRITE_STATISTICS_FILE", "SHOW_DICTIONARY", "SHOW_DICTIONARY_LINE",
    "SHOW_DICTIONARY_CODES", "DO_TARVEL_CODES", "DO_ONLY_INITIAL_WORD", "FOR_WORD_LIST_CHECK",
    "DO_ONLY_FIXES", "DO_FIXES_ANYWAY", "USE_PREFIXES", "USE_SUFFIXES", "USE_TACKONS",
    "DO_MEDIEVAL_TRICKS", "DO_SYNCOPE", "DO_TWO_WORDS", "INCLUDE_UNKNOWN_CONTEXT", "NO_MEANINGS",
    "OMIT_ARCHAIC", "OMIT_MEDIEVAL", "OMIT_UNCOMMON", "DO_I_FOR_J", "DO_U_FOR_V",
    "PAUSE_IN_SCREEN_OUTPUT", "NO_SCREEN_ACTIVITY", "UPDATE_LOCAL_DICTIONARY", "UPDATE_MEANINGS",
    "MINIMIZE_OUTPUT", "USE_OSTREL_FORMAT", "USE_PRODUCTION_FORMAT", nullptr};

const char* const kWordOptionNames[kWordOptionCount + 1] = {
    "TRIM_OUTPUT", "HAVE_OUTPUT_FILE", "WRITE_OUTPUT_TO_FILE", "DO_UNKNOWNS_ONLY",
    "WRITE_UNKNOWNS_TO_FILE", "IGNORE_UNKNOWN_NAMES", "IGNORE_UNKNOWN_CAPS", "DO_COMPOUNDS",
    "DO_FIXES", "DO_TRICKS", "DO_DICTIONARY_FORMS", "SHOW_AGE", "SHOW_FREQUENCY", "DO_EXAMPLES",
    "DO_ONLY_MEANINGS", "DO_STEMS_FOR_UNKNOWN", nullptr};

constinit XDeveloperParameters g_developerOptions;
constinit XWordParameters g_wordOptions;

void XParameters::SaveValues(int32_t (&saved)[kValueCount]) const {
    std::memcpy(saved, values_, sizeof values_);
}

void XParameters::RestoreValues(const int32_t (&saved)[kValueCount]) {
    std::memcpy(values_, saved, sizeof values_);
}

void XParameters::ClearValues() {
    for (int32_t& value : values_) value = 0;
}

int XParameters::FindName(const char* name) const {
    if (name == nullptr) return -1;
    for (int i = 0; i < kValueCount && names_[i] != nullptr; ++i) {
        if (std::strcmp(names_[i], name) == 0) return i;
    }
    return -1;
}

void XDeveloperParameters::SetDefaults() {
    static constexpr int32_t kDefaults[kDeveloperOptionCount] = {
        0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1,
        1, 1, 0, 1, 0, 1, 0, 0, 1, 0, 0, 0, 1, 1, 0};
    for (int i = 0; i < kDeveloperOptionCount; ++i) SetValue(i, kDefaults[i]);
}

void XWordParameters::SetDefaults() {
    static constexpr int32_t kDefaults[kWordOptionCount] = {
        1, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0};
    for (int i = 0; i < kWordOptionCount; ++i) SetValue(i, kDefaults[i]);
}

int SetLatinOption(const char* name, int32_t value) {
    int index = g_developerOptions.FindName(name);
    if (index >= 0) return g_developerOptions.SetValue(index, value);
    index = g_wordOptions.FindName(name);
    if (index >= 0) return g_wordOptions.SetValue(index, value);
    return -1;
}
