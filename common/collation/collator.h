// ICollator: how the storage engine orders the text segments of index keys.
// Two static implementations exist for the whole run: XCollator0 (dictionary
// collation, kind 0) and XCollator1 (UCA over DUCET 5.0.0, kind 1). Stored
// B-trees depend on their exact answers.
#pragma once

#include <cstdint>

#include "common/com_base.h"

// Compare's answer: 0 equal; i + 1 when a sorts after b and the difference was
// found at (folded) position i; ~i when a sorts before b at position i.
// Callers use the sign.
struct ICollator : IUnknown {
    virtual int32_t OSTREL_COM_CALL Compare(const char16_t* a, uint32_t lengthA,
                                            const char16_t* b, uint32_t lengthB,
                                            int32_t mode, uint32_t flags) = 0;
    // Writes the key of one text and returns the number of u32 weights written;
    // `out` must hold kMaxSortKeyWeights. XCollator0 writes nothing.
    virtual int32_t OSTREL_COM_CALL GetSortKey(const char16_t* text, int32_t length,
                                               uint32_t* out, int32_t allLevels) = 0;
    virtual uint32_t OSTREL_COM_CALL GetKind() = 0;

protected:
    ~ICollator() = default;
};

// The IUnknown part both collators share: the instances are static, so
// QueryInterface offers nothing (and clears its out pointer) and Release
// never frees.
class StaticCollator : public ICollator {
public:
    HRESULT OSTREL_COM_CALL QueryInterface(REFIID, void** object) override {
        if (object) *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG OSTREL_COM_CALL AddRef() override { return static_cast<ULONG>(++referenceCount_); }
    ULONG OSTREL_COM_CALL Release() override { return static_cast<ULONG>(--referenceCount_); }
    int32_t ReferenceCount() const { return referenceCount_; }

protected:
    ~StaticCollator() = default;
    int32_t referenceCount_ = 0;
};

// The longest key GetSortKey writes and Compare builds: longer keys are cut.
inline constexpr int32_t kMaxSortKeyWeights = 744;

// Compare's answers as the engine reads them.
inline constexpr int32_t CollateAfter(int32_t position) { return position + 1; }
inline constexpr int32_t CollateBefore(int32_t position) { return ~position; }

// Writes the dictionary collator (after AddRef) and returns 0.
HRESULT GetDictionaryCollator(ICollator** out);
// Writes null first; loads the DUCET table on first use and answers E_FAIL
// without it; else writes the UCA collator after AddRef and returns 0. The
// storage engine's CDMS::GetUcaCollator hands out through this.
HRESULT GetUcaCollator(ICollator** out);
