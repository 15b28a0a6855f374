#include "module/application.h"

#include "common/com_module.h"
#include "module/object_map.h"

namespace tarvox {

namespace {
// Built on first use and never destroyed: the load hook may run before the module's static
// objects are constructed, and the unload hook after they are destroyed.
CTarvoxApp& Application() {
  static CTarvoxApp& application = *new CTarvoxApp();
  return application;
}
}  // namespace

BOOL CTarvoxApp::InitInstance() {
  // The object map is attached statically and its entries need no start notification.
  ObjectMap();
  return CModuleApp::InitInstance();
}

int CTarvoxApp::ExitInstance() {
  ReleaseCachedFactories();
  return CModuleApp::ExitInstance();
}

}  // namespace tarvox

#ifdef _WIN32

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    DisableThreadLibraryCalls(instance);
    tarvox::SetModuleInstance(instance);
    return tarvox::Application().InitInstance();
  }
  if (reason == DLL_PROCESS_DETACH) tarvox::Application().ExitInstance();
  return TRUE;
}

#else

namespace tarvox {
extern const tarvox_platform::Resource kModuleResources[];
extern const std::size_t kModuleResourceCount;
}  // namespace tarvox

namespace {

tarvox_platform::ModuleImage image;

// The load and unload hooks of a shared object stand in for DllMain.
__attribute__((constructor)) void OnLoad() {
  tarvox_platform::LocateModule(reinterpret_cast<const void*>(&OnLoad), image);
  image.resources = tarvox::kModuleResources;
  image.resource_count = tarvox::kModuleResourceCount;
  tarvox::SetModuleInstance(&image);
  tarvox::Application().InitInstance();
}

__attribute__((destructor)) void OnUnload() { tarvox::Application().ExitInstance(); }

}  // namespace

#endif
