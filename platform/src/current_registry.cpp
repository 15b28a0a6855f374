#include <mutex>
#include <utility>

#include "current_registry.h"
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

void KeepSnapshotBeside(const std::filesystem::path& registry, const RegistrySnapshot& snapshot) {
  ReplaceFile(SnapshotBeside(registry), RegistrySnapshotCodec::Bytes(snapshot), Durability::kRebuildable);
}

// Parses the registry file, and leaves its snapshot beside it for the next process (when the
// snapshot cannot be written, the next process parses the file again). `identity` receives the
// identity of the version read.
std::shared_ptr<const RegistrySnapshot> ParsedRegistry(const std::filesystem::path& registry,
                                                       FileIdentity& identity) {
  const std::string text = ReadOwnFile(registry, &identity);
  auto snapshot = RegistrySnapshotCodec::FromStore(RegistryStore(registry, text), identity);
  if (identity.size >= 0) KeepSnapshotBeside(registry, *snapshot);
  return snapshot;
}

// The registry this process last looked up or wrote, and which version of which file it is.
struct Current {
  std::mutex guard;
  std::shared_ptr<const RegistrySnapshot> snapshot;
  std::filesystem::path file;
  FileIdentity identity;
};

Current& TheCurrent() {
  static Current current;
  return current;
}

}  // namespace

std::shared_ptr<const RegistrySnapshot> CurrentRegistry() {
  Current& current = TheCurrent();
  const std::lock_guard<std::mutex> lock(current.guard);
  std::filesystem::path file = RegistryStore::DefaultPath();
  FileIdentity identity = IdentityOf(file);
  if (current.snapshot && file == current.file && identity == current.identity) return current.snapshot;
  current.snapshot.reset();
  current.snapshot = KeptSnapshot(file, identity);
  if (!current.snapshot) current.snapshot = ParsedRegistry(file, identity);
  current.file = std::move(file);
  current.identity = identity;
  return current.snapshot;
}

void PublishRegistry(const RegistryStore& store, const FileIdentity& written) {
  auto snapshot = RegistrySnapshotCodec::FromStore(store, written);
  KeepSnapshotBeside(store.file(), *snapshot);
  Current& current = TheCurrent();
  const std::lock_guard<std::mutex> lock(current.guard);
  current.snapshot = std::move(snapshot);
  current.file = store.file();
  current.identity = written;
}

}  // namespace tarvox_platform
