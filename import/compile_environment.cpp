// The portable compile environment, the compile's steady clock and the
// creation-time text.
#include "import/compile_environment.h"

#include "common/base/bounded_format.h"

#include <array>
#include <chrono>
#include <ctime>
#include <exception>
#include <random>

int64_t CompileUi::Milliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::u16string FormatCompileTime(const CompileTime& t) {
    std::array<char16_t, 64> out{};
    const size_t n = FormatBounded(out, u"%d-%02d-%02d %02d:%02d:%02d",
                                   {t.year, t.month, t.day, t.hour, t.minute, t.second});
    return std::u16string(out.data(), n);
}

std::u16string PortableCompileEnv::NewGuidText() {
    uint64_t seed = static_cast<uint64_t>(std::time(nullptr));
    try {
        std::random_device device;  // may throw where the system has no entropy source
        seed = (uint64_t{device()} << 32) ^ device();
    } catch (const std::exception&) {
    }
    std::mt19937_64 random(seed);
    const char16_t* digits = u"0123456789ABCDEF";
    std::u16string text = u"{";
    for (int i = 0; i < 32; ++i) {
        if (i == 8 || i == 12 || i == 16 || i == 20) text += u'-';
        uint32_t nibble = random() & 15;
        if (i == 12) nibble = 4;                    // version 4: random
        if (i == 16) nibble = 8 | (nibble & 3);     // the variant bits
        text += digits[nibble];
    }
    return text + u"}";
}

CompileTime PortableCompileEnv::LocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}
