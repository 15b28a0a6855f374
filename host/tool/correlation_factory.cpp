#include "host/tool/correlation_factory.h"

#include <cstdio>

#include "common/ansi_text.h"

#ifndef _WIN32
#include <string>

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

// Whether the registry sends the module's classes to `module`.
bool RegisteredTo(const std::string& module) {
  CLSID clsid;
  if (FAILED(CLSIDFromProgID(OLESTR("Tarvox.MassDensity"), &clsid))) return false;
  OLECHAR text[39];
  StringFromGUID2(clsid, text, 39);
  try {
    const auto server =
        tarvox_platform::RegistryStore().GetValue("HKCR\\CLSID\\" + WideToAnsi(text) + "\\InprocServer32");
    return server && *server == module;
  } catch (const std::exception&) {
    return false;
  }
}

// The module registers itself, as an installer would, when the registry does not send its classes
// to the module beside this program (first run, or another build registered last).
void RegisterModuleBesideExecutable() {
  if (RegisteredTo(ModuleBesideExecutable())) return;
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
