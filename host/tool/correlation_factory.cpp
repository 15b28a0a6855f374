#include "host/tool/correlation_factory.h"

#include <cstdio>

#include "common/ansi_text.h"

namespace tarvox::tool {

namespace {

#ifndef _WIN32
using RegisterFunction = HRESULT (*)();

// The module's own registration, run once when the registry does not know its classes yet.
void RegisterModuleBesideExecutable() {
  CLSID probe;
  if (SUCCEEDED(CLSIDFromProgID(OLESTR("Tarvox.MassDensity"), &probe))) return;
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
