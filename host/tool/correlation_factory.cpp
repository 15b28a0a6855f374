#include "host/tool/correlation_factory.h"

#include <cstdio>

#include "common/ansi_text.h"

#ifndef _WIN32
#include <memory>
#include <string>

#include "host/tool/class_names.h"
#include "tarvox_platform/registry.h"
#endif

namespace tarvox::tool {

namespace {

#ifndef _WIN32
using RegisterFunction = HRESULT (*)();

// The module beside this program, where the loader's name rule finds "tarvox.dll".
std::string ModuleBesideExecutable() {
  char path[4096];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  if (n == 0 || n >= sizeof path) return {};
  std::string folder(path, n);
  return folder.substr(0, folder.rfind('/')) + "/tarvox.so";
}

// Whether the registry sends every class of the catalogue to `module`: a registration cut short
// or made by another build leaves some of them missing or elsewhere.
bool EveryClassRegisteredTo(const std::string& module) {
  std::shared_ptr<const tarvox_platform::RegistryStore> registry;
  try {
    registry = tarvox_platform::CurrentRegistry();
  } catch (const tarvox_platform::RegistryError& error) {
    std::fprintf(stderr, "tarvox: %s\n", error.what());
    return false;
  }
  for (const char* name : kClassNames) {
    const auto clsid = registry->GetValue(std::string("HKCR\\Tarvox.") + name + "\\CLSID");
    const auto server =
        clsid ? registry->GetValue("HKCR\\CLSID\\" + *clsid + "\\InprocServer32") : std::nullopt;
    if (!server || *server != module) return false;
  }
  return true;
}

// The module registers itself, as an installer would, when the registry does not send all its
// classes to the module beside this program (first run, an interrupted registration, or another
// build registered last).
void RegisterModuleBesideExecutable() {
  if (EveryClassRegisteredTo(ModuleBesideExecutable())) return;
  HMODULE module = LoadLibraryA("tarvox.dll");
  auto register_server =
      module ? reinterpret_cast<RegisterFunction>(GetProcAddress(module, "DllRegisterServer")) : nullptr;
  if (!register_server || FAILED(register_server()))
    std::fprintf(stderr, "tarvox: the module beside this program could not be registered\n");
}
#endif

}  // namespace

ComSession::ComSession() {
#ifdef _WIN32
  // The tool is the host process: no library it or the module loads by bare name may come from
  // the folder the user happens to run it in.
  SetDllDirectoryW(L"");
  CoInitialize(nullptr);
#else
  RegisterModuleBesideExecutable();
#endif
}

ComSession::~ComSession() {
#ifdef _WIN32
  CoUninitialize();
#endif
}

ComPtr<ICorrelation> CreateCorrelation(const std::string& name, std::string& error) {
  const std::string prog_id = "Tarvox." + name;
  BStr wide = AnsiToBstr(prog_id);
  CLSID clsid;
  HRESULT hr = CLSIDFromProgID(wide.Get(), &clsid);
  if (FAILED(hr)) {
    error = prog_id + " is not registered";
    return {};
  }
  ComPtr<ICorrelation> correlation;
  hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ICorrelation,
                        reinterpret_cast<void**>(correlation.Put()));
  if (FAILED(hr)) {
    char text[64];
    std::snprintf(text, sizeof text, " could not be created (0x%08X)", static_cast<unsigned>(hr));
    error = prog_id + text;
    return {};
  }
  return correlation;
}

}  // namespace tarvox::tool
