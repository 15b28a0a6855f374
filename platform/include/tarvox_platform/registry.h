// A registry for the native build: keys and values in one file, edited through the registrar's
// script language exactly as Windows modules register themselves.
//
// The file is the one named by the environment variable TARVOX_REGISTRY, else
// $XDG_DATA_HOME/tarvox/registry.json (XDG_DATA_HOME defaulting to ~/.local/share). Tests point
// TARVOX_REGISTRY at a temporary file. Key paths are written with backslashes and compared
// without regard to letter case, as on Windows; the default value has the empty name.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tarvox_platform/com_runtime.h"

namespace tarvox_platform {

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class TARVOX_PLATFORM_API RegistryStore {
 public:
  static std::filesystem::path DefaultPath();

  // Loads the file; a missing file is an empty registry. Throws std::runtime_error when the
  // file exists but cannot be read.
  explicit RegistryStore(std::filesystem::path file = DefaultPath());

  // Writes the file, creating its folder; false on failure.
  bool Save() const;

  bool KeyExists(std::string_view key) const;
  void CreateKey(std::string_view key);
  void DeleteTree(std::string_view key);
  std::optional<std::string> GetValue(std::string_view key, std::string_view name = {}) const;
  void SetValue(std::string_view key, std::string_view name, std::string value);
  void DeleteValue(std::string_view key, std::string_view name);
  // Direct subkeys, by their own names.
  std::vector<std::string> SubKeys(std::string_view key) const;

 private:
  using Values = std::map<std::string, std::string, CaseInsensitiveLess>;
  std::filesystem::path file_;
  std::map<std::string, Values, CaseInsensitiveLess> keys_;
};

// Runs a registrar script against the store: registering creates keys and values (ForceRemove
// keys are removed first), unregistering removes what the script writes, keeping NoRemove keys.
// %NAME% placeholders are replaced from `replacements`; an unknown placeholder or a syntax error
// fails the whole script with E_FAIL and changes nothing.
TARVOX_PLATFORM_API HRESULT RunRegistrarScript(RegistryStore& store, std::string_view script,
                                               const std::map<std::string, std::string>& replacements,
                                               bool register_keys);

}  // namespace tarvox_platform
