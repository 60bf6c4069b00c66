// The once-per-run report of a failed registry write: the first failure of a
// run is shown in the system's default language, later ones are only
// remembered. The Windows box is common/win/registry_error_box.h; the decision
// and the texts are here, so they are testable without showing anything.
#pragma once

#include <cstdint>
#include <string_view>

struct RegistryErrorTexts {
    std::u16string_view caption;
    std::u16string_view text;
};

// Japanese for language id 1041, Russian for 1049, English for any other.
RegistryErrorTexts RegistryErrorTextsFor(uint16_t systemLanguageId);

// Remembers the last failure of the run and whether it was reported.
class RegistryErrorLatch {
public:
    enum class Answer : int32_t { NoError = 0, AlreadyReported = 1, ReportNow = 2 };
    // NoError for code 0 (nothing recorded); ReportNow on the first failure
    // of the run; AlreadyReported afterwards.
    Answer Record(int32_t systemError);

    int32_t lastError = 0;     // system error code of the last failure
    bool failed = false;       // a registry write failed in this run
private:
    bool reported_ = false;
};
