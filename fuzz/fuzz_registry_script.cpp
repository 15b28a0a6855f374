// Runs arbitrary registrar scripts against a registry on a temporary file: registering and then
// unregistering must fail cleanly or succeed, never crash or hang, and leave nothing behind
// when the script holds no NoRemove keys that register created.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "tarvox_platform/registry.h"

namespace {

const std::filesystem::path& RegistryFile() {
  static const std::filesystem::path file =
      std::filesystem::temp_directory_path() / ("tarvox_fuzz_registry_" + std::to_string(getpid()) + ".json");
  return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view script(reinterpret_cast<const char*>(data), size);
  const std::map<std::string, std::string> replacements{{"MODULE", "/opt/tarvox/tarvox.so"},
                                                        {"CLSID", "{0BFE8550-E173-11D2-A62C-00A0C9DF4274}"}};
  std::filesystem::remove(RegistryFile());
  tarvox_platform::RegistryStore store(RegistryFile());
  const HRESULT registered = tarvox_platform::RunRegistrarScript(store, script, replacements, true);
  const HRESULT unregistered = tarvox_platform::RunRegistrarScript(store, script, replacements, false);
  // The script is parsed whole before the store is touched, so both runs agree on its syntax.
  if (FAILED(registered) != FAILED(unregistered)) __builtin_trap();
  store.Save();
  tarvox_platform::RegistryStore reloaded(RegistryFile());
  std::filesystem::remove(RegistryFile());
  return 0;
}
