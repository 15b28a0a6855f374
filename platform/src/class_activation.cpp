#include <map>
#include <mutex>
#include <optional>
#include <string>

#include "tarvox_platform/registry.h"

namespace {

std::string Narrow(LPCOLESTR text) {
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text < 0x80 ? *text : '?');
  return out;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

std::string GuidText(REFGUID guid) {
  OLECHAR text[39];
  StringFromGUID2(guid, text, 39);
  return Narrow(text);
}

using DllGetClassObjectFunction = HRESULT (*)(REFCLSID, REFIID, void**);

std::optional<std::string> RegistryValue(const std::string& key) {
  return tarvox_platform::CurrentRegistry()->GetValue(key);
}

// The DllGetClassObject of the in-process server at `path`. As COM does, a server stays loaded once
// a class was asked of it, so it is loaded once per process, not once per object created. It is
// loaded without the lock held: its initialisers may create objects themselves.
DllGetClassObjectFunction ClassObjectEntryOf(const std::string& path) {
  static std::mutex guard;
  static std::map<std::string, DllGetClassObjectFunction> loaded;
  {
    const std::lock_guard<std::mutex> lock(guard);
    if (const auto found = loaded.find(path); found != loaded.end()) return found->second;
  }
  HMODULE library = LoadLibraryA(path.c_str());
  auto entry = library
                   ? reinterpret_cast<DllGetClassObjectFunction>(GetProcAddress(library, "DllGetClassObject"))
                   : nullptr;
  if (!entry) {
    if (library) FreeLibrary(library);
    return nullptr;
  }
  const std::lock_guard<std::mutex> lock(guard);
  return loaded.emplace(path, entry).first->second;
}

}  // namespace

extern "C" HRESULT CLSIDFromProgID(LPCOLESTR prog_id, CLSID* clsid) {
  if (!prog_id || !clsid) return E_INVALIDARG;
  try {
    const auto text = RegistryValue("HKCR\\" + Narrow(prog_id) + "\\CLSID");
    if (!text) return CO_E_CLASSSTRING;
    return CLSIDFromString(Wide(*text).c_str(), clsid);
  } catch (const std::exception&) {
    return REGDB_E_CLASSNOTREG;
  }
}

extern "C" HRESULT CoGetClassObject(REFCLSID clsid, DWORD, void*, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  std::optional<std::string> path;
  try {
    path = RegistryValue("HKCR\\CLSID\\" + GuidText(clsid) + "\\InprocServer32");
  } catch (const std::exception&) {
    return REGDB_E_CLASSNOTREG;
  }
  if (!path) return REGDB_E_CLASSNOTREG;
  const DllGetClassObjectFunction get_class_object = ClassObjectEntryOf(*path);
  if (!get_class_object) return REGDB_E_CLASSNOTREG;
  return get_class_object(clsid, riid, object);
}

extern "C" HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID riid,
                                    void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  IClassFactory* factory = nullptr;
  HRESULT hr =
      CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
  if (FAILED(hr)) return hr;
  hr = factory->CreateInstance(outer, riid, object);
  factory->Release();
  return hr;
}
