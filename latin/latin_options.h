// The Latin analyser's named integer options: the developer set (30 names)
// and the word set (16 names), each a name table and 100 values. Every part
// of the engine reads its switches from the two global sets by the constants
// below; the host sets options by name with SetLatinOption.
#pragma once

#include <cstdint>

class XParameters {
public:
    static constexpr int kValueCount = 100;

    constexpr explicit XParameters(const char* const* names) : names_(names) {}
    XParameters(const XParameters&) = delete;
    XParameters& operator=(const XParameters&) = delete;
    ~XParameters() { ClearValues(); }

    // No bound check: indexes come from the engine's own constants.
    int32_t GetValue(int index) const { return values_[index]; }
    int SetValue(int index, int32_t value) { values_[index] = value; return index; }

    void SaveValues(int32_t (&saved)[kValueCount]) const;
    void RestoreValues(const int32_t (&saved)[kValueCount]);
    void ClearValues();

    // Index of the option with exactly this name (case-sensitive), or -1.
    int FindName(const char* name) const;
    const char* const* Names() const { return names_; }

private:
    const char* const* names_;        // ends with a null entry
    int32_t values_[kValueCount] = {};
};

enum DeveloperOption : int {
    HAVE_STATISTICS_FILE, WRITE_STATISTICS_FILE, SHOW_DICTIONARY, SHOW_DICTIONARY_LINE,
    SHOW_DICTIONARY_CODES, DO_TARVEL_CODES, DO_ONLY_INITIAL_WORD, FOR_WORD_LIST_CHECK,
    DO_ONLY_FIXES, DO_FIXES_ANYWAY, USE_PREFIXES, USE_SUFFIXES, USE_TACKONS,
    DO_MEDIEVAL_TRICKS, DO_SYNCOPE, DO_TWO_WORDS, INCLUDE_UNKNOWN_CONTEXT, NO_MEANINGS,
    OMIT_ARCHAIC, OMIT_MEDIEVAL, OMIT_UNCOMMON, DO_I_FOR_J, DO_U_FOR_V,
    PAUSE_IN_SCREEN_OUTPUT, NO_SCREEN_ACTIVITY, UPDATE_LOCAL_DICTIONARY, UPDATE_MEANINGS,
    MINIMIZE_OUTPUT, USE_OSTREL_FORMAT, USE_PRODUCTION_FORMAT,
    kDeveloperOptionCount
};

enum WordOption : int {
    TRIM_OUTPUT, HAVE_OUTPUT_FILE, WRITE_OUTPUT_TO_FILE, DO_UNKNOWNS_ONLY,
    WRITE_UNKNOWNS_TO_FILE, IGNORE_UNKNOWN_NAMES, IGNORE_UNKNOWN_CAPS, DO_COMPOUNDS,
    DO_FIXES, DO_TRICKS, DO_DICTIONARY_FORMS, SHOW_AGE, SHOW_FREQUENCY, DO_EXAMPLES,
    DO_ONLY_MEANINGS, DO_STEMS_FOR_UNKNOWN,
    kWordOptionCount
};

extern const char* const kDeveloperOptionNames[kDeveloperOptionCount + 1];
extern const char* const kWordOptionNames[kWordOptionCount + 1];

class XDeveloperParameters : public XParameters {
public:
    constexpr XDeveloperParameters() : XParameters(kDeveloperOptionNames) {}
    void SetDefaults();
    int32_t operator[](DeveloperOption option) const { return GetValue(option); }
    void Set(DeveloperOption option, int32_t value) { SetValue(option, value); }
};

class XWordParameters : public XParameters {
public:
    constexpr XWordParameters() : XParameters(kWordOptionNames) {}
    virtual ~XWordParameters() = default;
    void SetDefaults();
    int32_t operator[](WordOption option) const { return GetValue(option); }
    void Set(WordOption option, int32_t value) { SetValue(option, value); }
};

// The two process-wide sets (constant-initialised, so no start-up order).
extern XDeveloperParameters g_developerOptions;
extern XWordParameters g_wordOptions;

// Stores value under the name, developer names first; returns the index or -1.
int SetLatinOption(const char* name, int32_t value);

// Switches one option for the length of a scope and puts the old value back.
template <typename Set, typename Option>
class ScopedLatinOption {
public:
    ScopedLatinOption(Set& set, Option option, int32_t value)
        : set_(set), option_(option), saved_(set[option]) { set_.Set(option_, value); }
    ~ScopedLatinOption() { set_.Set(option_, saved_); }
    ScopedLatinOption(const ScopedLatinOption&) = delete;
    ScopedLatinOption& operator=(const ScopedLatinOption&) = delete;
private:
    Set& set_;
    Option option_;
    int32_t saved_;
};
