// A registry for the native build: keys and values in one file, edited through the registrar's
// script language exactly as Windows modules register themselves.
//
// The file is the one named by the environment variable TARVOX_REGISTRY, else
// $XDG_DATA_HOME/tarvox/registry.json (XDG_DATA_HOME defaulting to ~/.local/share); with neither
// HOME nor XDG_DATA_HOME there is no registry, since every other folder may be shared with other
// users. Tests point TARVOX_REGISTRY at a temporary file. Key paths are written with backslashes
// and compared without regard to letter case, as on Windows; the default value has the empty name.
//
// Like a real registry, the file is changed only whole: a writer holds an advisory lock on
// "<file>.lock" from its read to its write and replaces the file by renaming a complete new one
// over it, so readers, who take no lock, see the file before or after a change, never within one.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tarvox_platform/com_runtime.h"

namespace tarvox_platform {

struct FileIdentity;  // which version of a file: the platform's own

struct CaseInsensitiveLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class TARVOX_PLATFORM_API RegistryStore {
 public:
  // Throws RegistryError when there is no folder private to the user to keep the file in.
  static std::filesystem::path DefaultPath();

  // Loads the file; a missing file is an empty registry. Throws RegistryError, naming the file
  // and the reason, when it cannot be read or parsed, or is not the user's own (owned by
  // someone else or writable by others).
  explicit RegistryStore(std::filesystem::path file = DefaultPath());
  // Loads `text` read from `file` (named in errors, and written by Save()); throws as above.
  RegistryStore(std::filesystem::path file, const std::string& text);

  // Replaces the file at once by a complete new one, creating its folder (mode 0700); false on
  // failure, the file then left as it was. A read-modify-write goes through RegistryTransaction.
  bool Save() const;

  const std::filesystem::path& file() const { return file_; }

  bool KeyExists(std::string_view key) const;
  void CreateKey(std::string_view key);
  void DeleteTree(std::string_view key);
  std::optional<std::string> GetValue(std::string_view key, std::string_view name = {}) const;
  void SetValue(std::string_view key, std::string_view name, std::string value);
  void DeleteValue(std::string_view key, std::string_view name);
  // Direct subkeys, by their own names.
  std::vector<std::string> SubKeys(std::string_view key) const;

 private:
  friend class RegistryFileReader;
  friend class RegistryTransaction;
  friend struct RegistrySnapshotCodec;
  // Save(), giving the identity of the file written.
  bool Save(FileIdentity* written) const;
  using Values = std::map<std::string, std::string, CaseInsensitiveLess>;
  using Keys = std::map<std::string, Values, CaseInsensitiveLess>;
  std::filesystem::path file_;
  Keys keys_;
};

class TARVOX_PLATFORM_API RegistryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One change of the registry: the lock is taken before the file is read and held until the
// transaction ends, so that changes made by processes at the same time follow one another. A
// file that cannot be parsed is not overwritten: it is kept aside under a new name (reported on
// standard error, as the system log would have it) and the transaction starts from an empty
// registry.
class TARVOX_PLATFORM_API RegistryTransaction {
 public:
  explicit RegistryTransaction(std::filesystem::path file = RegistryStore::DefaultPath());
  ~RegistryTransaction();
  RegistryTransaction(const RegistryTransaction&) = delete;
  RegistryTransaction& operator=(const RegistryTransaction&) = delete;

  RegistryStore& store() { return *store_; }
  // Writes every change made through store() at once; false when the file could not be written.
  // The process's CurrentRegistry() then answers from the registry written, without reading it.
  bool Commit();

 private:
  int lock_descriptor_ = -1;
  std::unique_ptr<RegistryStore> store_;
};

// The values of a registry, read-only, held in one block that loads without parsing: what class
// activation and a host's check of its registration look up.
class TARVOX_PLATFORM_API RegistrySnapshot {
 public:
  RegistrySnapshot(const RegistrySnapshot&) = delete;
  RegistrySnapshot& operator=(const RegistrySnapshot&) = delete;

  std::optional<std::string> GetValue(std::string_view key, std::string_view name = {}) const;

 private:
  friend struct RegistrySnapshotCodec;
  RegistrySnapshot() = default;
  struct Entry {
    std::string_view key, name, value;  // within bytes_; key and name with ASCII letters in lower case
  };
  std::string bytes_;
  std::vector<Entry> entries_;  // in byte order of key, then name
};

// The registry as its file stands now, shared by every reader in the process. The file is parsed
// once; the process that parses it leaves a snapshot of it beside it ("<file>.snapshot", the
// user's own), so that later processes read no registry file at all while the file keeps its
// inode, modification time and size. A snapshot that is damaged, for another version of the file
// or not safely the user's own is ignored and replaced. Throws RegistryError as RegistryStore does.
TARVOX_PLATFORM_API std::shared_ptr<const RegistrySnapshot> CurrentRegistry();

// Runs a registrar script against the store: registering creates keys and values (ForceRemove
// keys are removed first), unregistering removes what the script writes, keeping NoRemove keys.
// %NAME% placeholders are replaced from `replacements`; an unknown placeholder or a syntax error
// fails the whole script with E_FAIL and changes nothing.
TARVOX_PLATFORM_API HRESULT RunRegistrarScript(RegistryStore& store, std::string_view script,
                                               const std::map<std::string, std::string>& replacements,
                                               bool register_keys);

}  // namespace tarvox_platform
