// Texts prepared for many comparisons: the collator makes one text's sort
// data once (a seek compares its key with a score of stored keys) and keeps
// it while the text is in use. Answers are exactly those of the collator's
// Compare with the prepared text second, so stored B-trees see no change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/collation/collator.h"

class PreparedText {
public:
    virtual ~PreparedText() = default;
    // Makes the sort data of `text` (copied: the caller's buffer may go away)
    // for comparisons under `mode` and `flags`. A null text is empty.
    virtual void Prepare(const char16_t* text, uint32_t length, int32_t mode, uint32_t flags) = 0;
    // The collator's Compare(other, otherLength, prepared text, mode, flags).
    virtual int32_t Compare(const char16_t* other, uint32_t otherLength) const = 0;
};

// The prepared form of a collator that has none of its own: the text is kept
// and every comparison goes through Compare (the dictionary collator's
// comparison makes nothing worth keeping).
class ComparedPreparedText final : public PreparedText {
public:
    explicit ComparedPreparedText(ICollator& collator) : collator_(collator) {}
    void Prepare(const char16_t* text, uint32_t length, int32_t mode, uint32_t flags) override {
        text_.assign(text ? text : u"", text ? length : 0);
        mode_ = mode;
        flags_ = flags;
    }
    int32_t Compare(const char16_t* other, uint32_t otherLength) const override {
        return collator_.Compare(other, otherLength, text_.data(), static_cast<uint32_t>(text_.size()), mode_,
                                 flags_);
    }

private:
    ICollator& collator_;
    std::u16string text_;
    int32_t mode_ = 0;
    uint32_t flags_ = 0;
};

// A prepared text of `collator`: the UCA collator's own form for the run's
// UCA collator, the compared form for any other.
std::unique_ptr<PreparedText> NewPreparedText(ICollator& collator);
