// Owners of the COM resources the captures hold across many early exits: an
// interface pointer (released once), a VARIANT (cleared once) and a system
// string (freed once). The toolchain has no template library for these.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace ostrel::japanese {

// One reference to a COM interface. `T` needs AddRef, Release and
// QueryInterface as members (the C-layout declarations forward them).
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.pointer_, nullptr));
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Adopt(T* pointer) {
        ComPtr held;
        held.pointer_ = pointer;
        return held;
    }

    T* Get() const { return pointer_; }
    T* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Releases what is held; the address to receive a new reference.
    T** Out() {
        Reset();
        return &pointer_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset(T* pointer = nullptr) {
        if (pointer_) pointer_->Release();
        pointer_ = pointer;
    }

    // The interface `iid` of the held object; empty when it has none.
    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> other;
        if (pointer_ && FAILED(pointer_->QueryInterface(iid, other.OutVoid()))) other.Reset();
        return other;
    }

private:
    T* pointer_ = nullptr;
};

// A VARIANT cleared when it goes.
class VariantHolder {
public:
    VariantHolder() { VariantInit(&value_); }
    VariantHolder(const VariantHolder&) = delete;
    VariantHolder& operator=(const VariantHolder&) = delete;
    ~VariantHolder() { VariantClear(&value_); }

    VARIANT* Get() { return &value_; }
    const VARIANT& operator*() const { return value_; }
    // Cleared, ready to receive a result.
    VARIANT* Out() {
        VariantClear(&value_);
        return &value_;
    }
    // The object the value holds (VT_DISPATCH or VT_UNKNOWN), else null; not AddRef'd.
    IUnknown* Object() const {
        if (value_.vt == VT_DISPATCH) return value_.pdispVal;
        if (value_.vt == VT_UNKNOWN) return value_.punkVal;
        return nullptr;
    }

private:
    VARIANT value_;
};

// A system string freed when it goes.
class BstrHolder {
public:
    BstrHolder() = default;
    explicit BstrHolder(const wchar_t* text) : value_(SysAllocString(text)) {}
    BstrHolder(const BstrHolder&) = delete;
    BstrHolder& operator=(const BstrHolder&) = delete;
    ~BstrHolder() { SysFreeString(value_); }

    BSTR Get() const { return value_; }
    BSTR* Out() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    UINT Length() const { return SysStringLen(value_); }
    // The text as UTF-16 units (empty for a null string).
    std::u16string Text() const {
        return value_ ? std::u16string(reinterpret_cast<const char16_t*>(value_), SysStringLen(value_))
                      : std::u16string();
    }

private:
    BSTR value_ = nullptr;
};

}  // namespace ostrel::japanese
