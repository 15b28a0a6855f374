// Registration through the platform's registrar and type-library functions.
#include <string>

#include "common/com_ptr.h"
#include "common/guid.h"
#include "common/com_module.h"
#include "module/object_map.h"
#include "module/registration.h"
#include "module/type_library.h"

namespace tarvox {

// The platform registrar's interface; the order of its entries is the ABI. It stays outside the
// anonymous namespace: an interface with no implementation in sight may otherwise be devirtualised
// into unreachable code.
struct IRegistrar : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE AddReplacement(LPCOLESTR key, LPCOLESTR item) = 0;
  virtual HRESULT STDMETHODCALLTYPE ClearReplacements() = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregisterSz(LPCOLESTR file, LPCOLESTR id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileRegister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE FileUnregister(LPCOLESTR file) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringRegister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE StringUnregister(LPCOLESTR data) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceRegister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResourceUnregister(LPCOLESTR file, UINT id, LPCOLESTR type) = 0;
};

namespace {

constexpr CLSID CLSID_Registrar = ParseGuid("{44EC053A-400F-11D0-9DCD-00A0C90391D3}");
constexpr IID IID_IRegistrar = ParseGuid("{44EC053B-400F-11D0-9DCD-00A0C90391D3}");
constexpr LCID kTypeLibraryLocale = 1033;

// Keeps COM initialised on this thread for the registrar; a thread already in the
// multithreaded apartment is used as it is.
class ComApartment {
 public:
  ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
  ~ComApartment() {
    if (initialised_) CoUninitialize();
  }

 private:
  bool initialised_;
};

// The type library file beside the module: its base name with the extension ".tlb".
std::wstring SideBySideTypeLibraryPath(std::wstring path) {
  const std::size_t dot = path.find_last_of(L'.');
  const std::size_t separator = path.find_last_of(L"\\/");
  if (dot != std::wstring::npos && (separator == std::wstring::npos || dot > separator)) path.resize(dot);
  return path + L".tlb";
}

HRESULT RunClassScript(const ClassInfo& info, bool register_keys) {
  const std::wstring path = ModuleFilePath();
  if (path.empty()) return E_FAIL;
  ComApartment apartment;
  ComPtr<IRegistrar> registrar;
  HRESULT hr = CoCreateInstance(CLSID_Registrar, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistrar,
                                reinterpret_cast<void**>(registrar.Put()));
  if (FAILED(hr)) return hr;
  hr = registrar->AddReplacement(L"MODULE", path.c_str());
  if (FAILED(hr)) return hr;
  const UINT script = static_cast<UINT>(info.script_id);
  return register_keys ? registrar->ResourceRegister(path.c_str(), script, L"REGISTRY")
                       : registrar->ResourceUnregister(path.c_str(), script, L"REGISTRY");
}

HRESULT RegisterModuleTypeLibrary() {
  std::wstring path = ModuleFilePath();
  if (path.empty()) return E_FAIL;
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibraryFile(path, library.Put()))) {
    path = SideBySideTypeLibraryPath(path);
    const HRESULT hr = LoadTypeLibraryFile(path, library.Put());
    if (FAILED(hr)) return hr;
  }
  return RegisterTypeLib(library.Get(), path.data(), nullptr);
}

HRESULT UnregisterModuleTypeLibrary() {
  return UnRegisterTypeLib(LIBID_TARVOXLib, kTypeLibraryMajor, kTypeLibraryMinor, kTypeLibraryLocale,
                           SYS_WIN64);
}

}  // namespace

HRESULT UpdateRegistration(bool register_keys) {
  for (const ObjectMapEntry& entry : ObjectMap()) {
    const HRESULT hr = RunClassScript(*entry.info, register_keys);
    if (FAILED(hr)) return hr;
  }
  return register_keys ? RegisterModuleTypeLibrary() : UnregisterModuleTypeLibrary();
}

}  // namespace tarvox
