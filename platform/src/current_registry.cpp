#include <mutex>
#include <utility>

#include "registry_file.h"
#include "registry_snapshot.h"
#include "tarvox_platform/registry.h"

namespace tarvox_platform {

namespace {

std::filesystem::path SnapshotBeside(const std::filesystem::path& registry) {
  return registry.string() + ".snapshot";
}

// The snapshot left beside the registry by an earlier process, when it was made from the version of
// the file now on disk; null otherwise, and when it is not safely the user's own (it names the
// libraries classes load from, as the registry does).
std::shared_ptr<const RegistrySnapshot> KeptSnapshot(const std::filesystem::path& registry,
                                                     const FileIdentity& identity) {
  if (identity.size < 0) return nullptr;
  try {
    return RegistrySnapshotCodec::Decode(ReadOwnFile(SnapshotBeside(registry)), identity);
  } catch (const RegistryError&) {
    return nullptr;
  }
}

// Parses the registry file, and leaves its snapshot beside it for the next process (when the
// snapshot cannot be written, the next process parses the file again). `identity` receives the
// identity of the version read.
std::shared_ptr<const RegistrySnapshot> ParsedRegistry(const std::filesystem::path& registry,
                                                       FileIdentity& identity) {
  const std::string text = ReadOwnFile(registry, &identity);
  auto snapshot = RegistrySnapshotCodec::FromStore(RegistryStore(registry, text), identity);
  if (identity.size >= 0)
    ReplaceFile(SnapshotBeside(registry), RegistrySnapshotCodec::Bytes(*snapshot), Durability::kRebuildable);
  return snapshot;
}

}  // namespace

std::shared_ptr<const RegistrySnapshot> CurrentRegistry() {
  static std::mutex guard;
  static std::shared_ptr<const RegistrySnapshot> loaded;
  static std::filesystem::path loaded_file;
  static FileIdentity loaded_identity;
  const std::lock_guard<std::mutex> lock(guard);
  std::filesystem::path file = RegistryStore::DefaultPath();
  FileIdentity identity = IdentityOf(file);
  if (loaded && file == loaded_file && identity == loaded_identity) return loaded;
  loaded.reset();
  loaded = KeptSnapshot(file, identity);
  if (!loaded) loaded = ParsedRegistry(file, identity);
  loaded_file = std::move(file);
  loaded_identity = identity;
  return loaded;
}

}  // namespace tarvox_platform
