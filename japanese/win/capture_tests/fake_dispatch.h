// An automation object for the tests: named members, each a property get,
// a property put or a method over VT_I4 arguments, answered by the test's
// functions. Invoke records the arguments in the order IDispatch gives them
// (last first) and catches whatever a handler throws: no exception may
// unwind through the caller's COM frames.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace ostrel::japanese::testing {

class FakeDispatch : public IDispatch {
public:
    // Answers a call: the arguments as given (rgvarg order), the result to fill.
    using Handler = std::function<HRESULT(const std::vector<VARIANT>& arguments, WORD flags, VARIANT* result)>;

    // A new object with one reference, which the caller owns.
    static FakeDispatch* Make() { return new FakeDispatch; }

    // Members by name; the dispatch id is the order of addition.
    void On(const std::wstring& name, Handler handler);
    // A read-only property holding an integer, a text or an object (AddRef'd when read).
    void IntProperty(const std::wstring& name, int32_t value);
    void ObjectProperty(const std::wstring& name, IDispatch* value);

    LONG References() const { return references_; }
    // Every member name the caller looked up, in order.
    std::vector<std::wstring> lookedUp;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                                     EXCEPINFO*, UINT*) override;

private:
    FakeDispatch() = default;
    virtual ~FakeDispatch() = default;

    LONG references_ = 1;
    std::vector<std::pair<std::wstring, Handler>> members_;
};

}  // namespace ostrel::japanese::testing
