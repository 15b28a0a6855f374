#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "current_registry.h"
#include "registry_file.h"
#include "tarvox_platform/registry.h"

namespace tarvox_platform {

namespace {

int LockFileBeside(const std::filesystem::path& file) {
  CreatePrivateFolderFor(file);
  const std::string name = file.string() + ".lock";
  const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) throw RegistryError("registry lock " + name + " cannot be opened: " + std::strerror(errno));
  while (::flock(fd, LOCK_EX) != 0) {
    if (errno == EINTR) continue;
    ::close(fd);
    throw RegistryError("registry lock " + name + " cannot be taken: " + std::strerror(errno));
  }
  return fd;
}

// Moves an unparsable file out of the way under a name no earlier one has, so that a person can
// still look at it.
std::unique_ptr<RegistryStore> StoreKeepingAsideWhatCannotBeParsed(const std::filesystem::path& file,
                                                                   const RegistryError& error) {
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
          .count();
  const std::string stem = file.string() + ".unreadable-" + std::to_string(seconds);
  std::string aside = stem;
  for (int n = 1; ::link(file.c_str(), aside.c_str()) != 0; ++n) {
    if (errno != EEXIST) throw error;
    aside = stem + "-" + std::to_string(n);
  }
  ::unlink(file.c_str());
  std::fprintf(stderr, "%s; kept as %s, a new registry is started\n", error.what(), aside.c_str());
  return std::make_unique<RegistryStore>(file);
}

}  // namespace

RegistryTransaction::RegistryTransaction(std::filesystem::path file)
    : lock_descriptor_(LockFileBeside(file)) {
  try {
    try {
      store_ = std::make_unique<RegistryStore>(file);
    } catch (const UnparsableRegistry& error) {
      store_ = StoreKeepingAsideWhatCannotBeParsed(file, error);
    }
  } catch (...) {
    ::close(lock_descriptor_);
    throw;
  }
}

RegistryTransaction::~RegistryTransaction() { ::close(lock_descriptor_); }

bool RegistryTransaction::Commit() {
  FileIdentity written;
  if (!store_->Save(&written)) return false;
  PublishRegistry(*store_, written);
  return true;
}

}  // namespace tarvox_platform
