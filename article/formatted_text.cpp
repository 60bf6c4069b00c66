// Bounded writing of styled text and the owning result types of the formatters.
#include "article/formatted_text.h"

#include <new>
#include <utility>

#include "article/display_attributes.h"

StyledWriter::StyledWriter(std::span<char16_t> text, std::span<uint32_t> attributes, int32_t startLength)
    : text_(text.data()),
      attributes_(attributes.empty() ? nullptr : attributes.data()),
      capacity_(static_cast<int32_t>(text.size())),
      length_(0) {
    if (attributes_ && attributes.size() < text.size()) capacity_ = static_cast<int32_t>(attributes.size());
    if (startLength > 0) length_ = startLength < capacity_ ? startLength : (capacity_ > 0 ? capacity_ - 1 : 0);
}

bool StyledWriter::Put(char16_t unit, uint32_t attribute) {
    if (Room() <= 0) return false;
    text_[length_] = unit;
    if (attributes_) attributes_[length_] = attribute;
    ++length_;
    return true;
}

bool StyledWriter::Append(std::u16string_view text, uint32_t attribute) {
    for (char16_t unit : text)
        if (!Put(unit, attribute)) return false;
    return true;
}

bool StyledWriter::AppendNumber(int32_t n, uint32_t attribute) {
    char16_t digits[12];
    int32_t count = 0;
    do {
        digits[count++] = static_cast<char16_t>(u'0' + n % 10);
        n /= 10;
    } while (n > 0);
    while (count > 0)
        if (!Put(digits[--count], attribute)) return false;
    return true;
}

void StyledWriter::Terminate(uint32_t attribute) {
    if (capacity_ <= 0) return;
    text_[length_] = 0;
    if (attributes_) attributes_[length_] = attribute;
}

void StyledWriter::CutTo(int32_t length) {
    if (length >= 0 && length < length_) length_ = length;
}

void StyledWriter::DefaultClass(int32_t from, uint32_t colourClass) {
    if (!attributes_) return;
    for (int32_t i = from < 0 ? 0 : from; i < length_; ++i) {
        attributes_[i] = WithDefaultClass(attributes_[i], colourClass);
    }
}

void StyledWriter::ReplaceClass(int32_t from, uint32_t colourClass) {
    if (!attributes_) return;
    for (int32_t i = from < 0 ? 0 : from; i < length_; ++i) {
        attributes_[i] = (attributes_[i] & ~kAttrColourMask) | colourClass;
    }
}

StyledText::StyledText(int32_t capacity) {
    if (capacity < 1) return;
    text_.reset(new (std::nothrow) char16_t[capacity]());
    attributes_.reset(new (std::nothrow) uint32_t[capacity]());
    if (!text_ || !attributes_) {
        text_.reset();
        attributes_.reset();
        return;
    }
    capacity_ = capacity;
}

StyledWriter StyledText::Writer() {
    return StyledWriter({text_.get(), static_cast<size_t>(capacity_)},
                        {attributes_.get(), static_cast<size_t>(capacity_)});
}

FormattedText FormattedText::Styled(StyledText text) {
    FormattedText result;
    result.kind_ = FormattedTextKind::Styled;
    result.styled_ = std::move(text);
    return result;
}

FormattedText FormattedText::PlainWithLinks(StyledText text) {
    FormattedText result;
    result.kind_ = FormattedTextKind::PlainWithLinks;
    result.styled_ = std::move(text);
    return result;
}

FormattedText FormattedText::Rtf(std::unique_ptr<char[]> document, int32_t size) {
    FormattedText result;
    result.kind_ = FormattedTextKind::Rtf;
    if (document && size > 0) {
        result.rtf_ = std::move(document);
        result.rtfSize_ = size;
    }
    return result;
}

int32_t FormattedText::Length() const {
    return kind_ == FormattedTextKind::Rtf ? rtfSize_ : styled_.Length();
}
