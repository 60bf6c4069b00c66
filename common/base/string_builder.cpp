// Growth rule: when fewer than two units are free, the buffer grows to
// 2 x capacity + 300 units, so a new builder allocates 300, then 900, 2100...
#include "common/base/string_builder.h"

#include <cstddef>
#include <cstdlib>

namespace {

// Larger buffers could not be addressed by a 32-bit process anyway; refusing
// them here also keeps the growth arithmetic inside int32.
constexpr int64_t kMaxUnits = 0x3FFFFFFF;

}  // namespace

CStringBuilder::~CStringBuilder() { std::free(begin); }

char16_t* CStringBuilder::EnsureCapacity(int32_t units) {
    if (units < 1 || units <= capacity) return begin;
    if (units > kMaxUnits) {
        Drop();
        return nullptr;
    }
    const ptrdiff_t used = write ? write - begin : 0;
    auto* grown = static_cast<char16_t*>(std::realloc(begin, size_t(units) * sizeof(char16_t)));
    if (!grown) {
        Drop();
        return nullptr;
    }
    begin = grown;
    write = begin + used;
    limit = begin + units;
    capacity = units;
    *write = 0;
    return begin;
}

// Frees the buffer after a failed growth: the builder then holds no text,
// and the next append tries a fresh growth.
void CStringBuilder::Drop() {
    std::free(begin);
    begin = write = limit = nullptr;
    capacity = 0;
    lineStartLength = 0;
}

bool CStringBuilder::Put(char16_t unit) {
    if (!begin || limit - write < 2) {
        const int64_t wanted = int64_t(capacity) * 2 + 300;
        if (wanted > kMaxUnits || !EnsureCapacity(int32_t(wanted))) {
            Drop();
            return false;
        }
    }
    *write++ = unit;
    *write = 0;
    return true;
}

char16_t* CStringBuilder::Append(const char16_t* text) {
    if (!text) return write;
    while (*text)
        if (!Put(*text++)) break;
    return write;
}

char16_t* CStringBuilder::Append(std::u16string_view text) {
    for (char16_t unit : text)
        if (!Put(unit)) break;
    return write;
}

char16_t* CStringBuilder::AppendChar(char16_t unit) {
    Put(unit);
    return write;
}

char16_t* CStringBuilder::AppendAnsi(const char* text) {
    if (!text) return write;
    for (; *text; ++text)
        if (!Put(char16_t(static_cast<unsigned char>(*text)))) break;
    return write;
}

void CStringBuilder::Clear() {
    write = begin;
    lineStartLength = 0;
    if (begin) *begin = 0;
}

int32_t CStringBuilder::PadToColumn(int32_t column) {
    for (int32_t i = 1; i < column; ++i)
        if (!Put(u' ')) break;
    return column;
}

std::u16string_view CStringBuilder::View() const {
    return begin ? std::u16string_view(begin, size_t(write - begin)) : std::u16string_view();
}

const char16_t* CStringBuilder::Text() const { return begin ? begin : u""; }
