#include "host/tool/correlation_factory.h"

#include <cstdio>
#include <string>

#include "common/ansi_text.h"

#ifndef _WIN32
#include <memory>

#include "host/tool/class_names.h"
#include "tarvox_platform/program_folder.h"
#include "tarvox_platform/registry.h"
#endif

namespace tarvox::tool {

namespace {

#ifndef _WIN32
using RegisterFunction = HRESULT (*)();

// The module in the program folder, where the loader's name rule finds "tarvox.dll".
std::string ModuleBesideExecutable() {
  const std::string folder = tarvox_platform::ProgramFolder();
  return folder.empty() ? std::string() : folder + "/tarvox.so";
}

// Whether the registry sends every class of the catalogue to `module`: a registration cut short
// or made by another build leaves some of them missing or elsewhere.
bool EveryClassRegisteredTo(const std::string& module) {
  std::shared_ptr<const tarvox_platform::RegistrySnapshot> registry;
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
#else
std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD n = 0;
  while ((n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()))) == path.size())
    path.resize(path.size() * 2);
  path.resize(n);
  return path.substr(0, path.find_last_of(L"\\/") + 1);
}
#endif

}  // namespace

ComSession::ComSession() {
#ifdef _WIN32
  // The tool is the host process: no library it or the module loads by bare name may come from
  // the folder the user happens to run it in. Naming a DLL folder takes the current folder off the
  // search path; the program's own folder is named because Wine reads an empty name as none.
  SetDllDirectoryW(ProgramFolder().c_str());
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
