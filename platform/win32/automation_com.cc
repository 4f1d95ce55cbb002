// Automation objects of the system, driven late-bound through IDispatch: members are looked up
// by name with GetIDsOfNames and called with Invoke; values cross as VARIANTs. Every failure
// is an empty result (nullopt from invoke, null from create).
#include <windows.h>
#include <oleauto.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"

namespace zembrik::win32 {
namespace {

using automation::Call;
using automation::ObjectRef;
using automation::Value;

std::wstring widen_ascii(std::string_view name) {
  return {name.begin(), name.end()};
}

class DispatchObject;

// Fills `out` (initialised, empty) from `value`; false when the value cannot cross.
bool to_variant(const Value& value, VARIANT& out);
Value from_variant(const VARIANT& in);

class DispatchObject : public automation::Object {
public:
  // Takes over one reference.
  explicit DispatchObject(IDispatch* dispatch) : dispatch_(dispatch) {}
  ~DispatchObject() override { dispatch_->Release(); }
  DispatchObject(const DispatchObject&) = delete;
  DispatchObject& operator=(const DispatchObject&) = delete;

  [[nodiscard]] IDispatch* dispatch() const { return dispatch_; }

  std::optional<Value> invoke(std::string_view member, Call kind,
                              std::span<const Value> args) override {
    std::wstring name = widen_ascii(member);
    LPOLESTR names[] = {name.data()};
    DISPID id = 0;
    if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
      return std::nullopt;
    }
    // Invoke takes the arguments last to first.
    std::vector<VARIANT> vargs(args.size());
    for (VARIANT& v : vargs) VariantInit(&v);
    bool converted = true;
    for (std::size_t i = 0; i < args.size() && converted; ++i) {
      converted = to_variant(args[i], vargs[args.size() - 1 - i]);
    }
    std::optional<Value> result;
    if (converted) {
      DISPPARAMS params{vargs.data(), nullptr, static_cast<UINT>(vargs.size()), 0};
      DISPID put_id = DISPID_PROPERTYPUT;
      WORD flags = DISPATCH_METHOD;
      if (kind == Call::get) flags = DISPATCH_PROPERTYGET | DISPATCH_METHOD;
      if (kind == Call::put) {
        flags = DISPATCH_PROPERTYPUT;
        params.rgdispidNamedArgs = &put_id;
        params.cNamedArgs = 1;
      }
      VARIANT out;
      VariantInit(&out);
      EXCEPINFO error{};
      UINT bad_argument = 0;
      const HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                           kind == Call::put ? nullptr : &out, &error,
                                           &bad_argument);
      SysFreeString(error.bstrSource);
      SysFreeString(error.bstrDescription);
      SysFreeString(error.bstrHelpFile);
      if (SUCCEEDED(hr)) result = from_variant(out);
      VariantClear(&out);
    }
    for (VARIANT& v : vargs) VariantClear(&v);
    return result;
  }

private:
  IDispatch* dispatch_;
};

ObjectRef wrap(IDispatch* dispatch) {
  if (dispatch == nullptr) return nullptr;
  dispatch->AddRef();
  return std::make_shared<DispatchObject>(dispatch);
}

bool to_variant(const Value& value, VARIANT& out) {
  if (value.is_empty()) return true;
  if (const auto* b = std::get_if<bool>(&value.data)) {
    out.vt = VT_BOOL;
    out.boolVal = *b ? VARIANT_TRUE : VARIANT_FALSE;
    return true;
  }
  if (const auto* i = std::get_if<std::int64_t>(&value.data)) {
    if (*i >= INT_MIN && *i <= INT_MAX) {
      out.vt = VT_I4;
      out.lVal = static_cast<LONG>(*i);
    } else {
      out.vt = VT_R8;
      out.dblVal = static_cast<double>(*i);
    }
    return true;
  }
  if (const auto* d = std::get_if<double>(&value.data)) {
    out.vt = VT_R8;
    out.dblVal = *d;
    return true;
  }
  if (const std::u16string* text = value.text()) {
    if (text->size() > UINT_MAX) return false;
    out.bstrVal = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text->data()),
                                    static_cast<UINT>(text->size()));
    if (out.bstrVal == nullptr) return false;
    out.vt = VT_BSTR;
    return true;
  }
  if (const Bytes* bytes = value.bytes()) {
    if (bytes->size() > ULONG_MAX) return false;
    SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes->size()));
    if (array == nullptr) return false;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
      SafeArrayDestroy(array);
      return false;
    }
    if (!bytes->empty()) std::memcpy(data, bytes->data(), bytes->size());
    SafeArrayUnaccessData(array);
    out.vt = VT_ARRAY | VT_UI1;
    out.parray = array;
    return true;
  }
  if (const ObjectRef object = value.object()) {
    const auto* dispatch = dynamic_cast<const DispatchObject*>(object.get());
    if (dispatch == nullptr) return false; // only the system's own objects can cross
    out.vt = VT_DISPATCH;
    out.pdispVal = dispatch->dispatch();
    out.pdispVal->AddRef();
    return true;
  }
  return false;
}

Bytes bytes_of(SAFEARRAY* array) {
  if (array == nullptr || SafeArrayGetDim(array) != 1) return {};
  LONG low = 0;
  LONG high = -1;
  if (FAILED(SafeArrayGetLBound(array, 1, &low)) || FAILED(SafeArrayGetUBound(array, 1, &high)) ||
      high < low) {
    return {};
  }
  void* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, &data))) return {};
  const auto* begin = static_cast<const std::uint8_t*>(data);
  Bytes out(begin, begin + (static_cast<std::size_t>(high) - static_cast<std::size_t>(low) + 1));
  SafeArrayUnaccessData(array);
  return out;
}

Value from_variant(const VARIANT& in) {
  const VARIANT* v = &in;
  if (v->vt == (VT_BYREF | VT_VARIANT) && v->pvarVal != nullptr) v = v->pvarVal;
  switch (v->vt) {
  case VT_EMPTY:
  case VT_NULL:
    return {};
  case VT_BOOL:
    return Value(v->boolVal != VARIANT_FALSE);
  case VT_I1:
    return Value(std::int64_t{v->cVal});
  case VT_UI1:
    return Value(std::int64_t{v->bVal});
  case VT_I2:
    return Value(std::int64_t{v->iVal});
  case VT_UI2:
    return Value(std::int64_t{v->uiVal});
  case VT_I4:
  case VT_INT:
    return Value(std::int64_t{v->lVal});
  case VT_UI4:
  case VT_UINT:
    return Value(std::int64_t{v->ulVal});
  case VT_I8:
    return Value(std::int64_t{v->llVal});
  case VT_R4:
    return Value(double{v->fltVal});
  case VT_R8:
    return Value(v->dblVal);
  case VT_BSTR:
    return Value(v->bstrVal == nullptr
                     ? std::u16string()
                     : std::u16string(reinterpret_cast<const char16_t*>(v->bstrVal),
                                      SysStringLen(v->bstrVal)));
  case VT_DISPATCH:
    return v->pdispVal ? Value(wrap(v->pdispVal)) : Value();
  case VT_UNKNOWN: {
    IDispatch* dispatch = nullptr;
    if (v->punkVal == nullptr ||
        FAILED(v->punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
      return {};
    }
    const auto object = std::make_shared<DispatchObject>(dispatch);
    return Value(ObjectRef(object));
  }
  case VT_ARRAY | VT_UI1:
    return Value(bytes_of(v->parray));
  default:
    break;
  }
  // Anything else the component hands back is read as its text, if it has one.
  VARIANT text;
  VariantInit(&text);
  Value out;
  if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(v), 0, VT_BSTR)) &&
      text.bstrVal != nullptr) {
    out = Value(std::u16string(reinterpret_cast<const char16_t*>(text.bstrVal),
                               SysStringLen(text.bstrVal)));
  }
  VariantClear(&text);
  return out;
}

} // namespace

ObjectRef create_component(std::string_view prog_id) {
  const std::wstring name = widen_ascii(prog_id);
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(name.c_str(), &clsid))) return nullptr;
  IDispatch* dispatch = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                              IID_IDispatch, reinterpret_cast<void**>(&dispatch))) ||
      dispatch == nullptr) {
    return nullptr;
  }
  return std::make_shared<DispatchObject>(dispatch);
}

ObjectRef make_regexp() {
  return create_component("VBScript.RegExp");
}

ObjectRef make_winhttp_request() {
  return create_component("WinHttp.WinHttpRequest.5.1");
}

void register_standard_components(Registry& registry) {
  registry.add("WinHttp.WinHttpRequest.5.1", make_winhttp_request);
  registry.add("VBScript.RegExp", make_regexp);
}

} // namespace zembrik::win32
