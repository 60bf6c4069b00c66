// The C library's iconv as an outside converter: tests and benchmarks check
// the program's own decoders against it, and decode real dictionary files
// with it so the code under test does not feed itself. Native only (the
// Windows tree has no iconv).
#pragma once

#ifndef _WIN32
#include <iconv.h>

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One conversion descriptor, closed at the end; each Convert starts in the
// initial shift state.
class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (Ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool Ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // All of `in` converted into the start of the caller's `out`: the bytes
    // written, or nothing when iconv refuses the bytes, `out` is too small or
    // the converter could not be opened.
    std::optional<size_t> ConvertInto(std::span<const uint8_t> in, std::span<uint8_t> out) {
        if (!Ok()) return std::nullopt;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = reinterpret_cast<char*>(const_cast<uint8_t*>(in.data()));
        size_t inLeft = in.size();
        char* outPtr = reinterpret_cast<char*>(out.data());
        size_t outLeft = out.size();
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) return std::nullopt;
        return out.size() - outLeft;
    }

    // False when iconv refuses the bytes (or could not be opened).
    bool Convert(std::span<const uint8_t> in, std::vector<uint8_t>& out) {
        out.assign(in.size() * 4 + 8, 0);
        std::optional<size_t> written = ConvertInto(in, out);
        if (!written) return false;
        out.resize(*written);
        return true;
    }

    // For a converter to "UTF-16LE": the text as UTF-16.
    bool ToUtf16(std::span<const uint8_t> in, std::u16string& text) {
        if (!Convert(in, buffer_)) return false;
        text.assign(buffer_.size() / 2, u'\0');
        std::memcpy(text.data(), buffer_.data(), text.size() * 2);
        return true;
    }
    bool ToUtf16(std::string_view in, std::u16string& text) {
        return ToUtf16(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(in.data()), in.size()), text);
    }

private:
    iconv_t cd_;
    std::vector<uint8_t> buffer_;
};

#endif
