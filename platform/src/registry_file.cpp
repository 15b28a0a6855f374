#include "registry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "tarvox_platform/registry.h"

namespace tarvox_platform {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

[[noreturn]] void Refuse(const std::filesystem::path& file, const std::string& reason) {
  throw RegistryError("registry file " + file.string() + " " + reason);
}

bool WriteAll(int fd, const std::string& text) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

FileIdentity IdentityFromStatus(const struct stat& status) {
  return FileIdentity{static_cast<unsigned long long>(status.st_dev),
                      static_cast<unsigned long long>(status.st_ino),
                      static_cast<long long>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
                      static_cast<long long>(status.st_size)};
}

}  // namespace

FileIdentity IdentityOf(const std::filesystem::path& file) {
  struct stat status {};
  return ::stat(file.c_str(), &status) == 0 ? IdentityFromStatus(status) : FileIdentity{};
}

std::string ReadOwnFile(const std::filesystem::path& file, FileIdentity* identity) {
  if (identity) *identity = FileIdentity{};
  const Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) {
    if (errno == ENOENT) return {};
    Refuse(file, std::string("cannot be opened: ") + std::strerror(errno));
  }
  struct stat status {};
  if (::fstat(fd.get(), &status) != 0) Refuse(file, std::string("cannot be read: ") + std::strerror(errno));
  if (identity) *identity = IdentityFromStatus(status);
  if (!S_ISREG(status.st_mode)) Refuse(file, "is not a regular file");
  if (status.st_uid != ::geteuid()) Refuse(file, "belongs to another user");
  if (status.st_mode & S_IWOTH) Refuse(file, "is writable by other users");
  std::string text(static_cast<std::size_t>(status.st_size), '\0');
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::read(fd.get(), text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) Refuse(file, std::string("cannot be read: ") + std::strerror(errno));
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  text.resize(done);
  return text;
}

void CreatePrivateFolderFor(const std::filesystem::path& file) {
  if (!file.has_parent_path()) return;
  std::error_code ignored;
  if (std::filesystem::exists(file.parent_path(), ignored)) return;
  std::filesystem::create_directories(file.parent_path(), ignored);
  ::chmod(file.parent_path().c_str(), 0700);
}

bool ReplaceFile(const std::filesystem::path& file, const std::string& text, Durability durability,
                 FileIdentity* written) {
  CreatePrivateFolderFor(file);
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  std::string temporary = (folder / ("." + file.filename().string() + ".XXXXXX")).string();
  const Descriptor fd(::mkstemp(temporary.data()));
  if (fd.get() < 0) return false;
  const bool rebuildable = durability == Durability::kRebuildable;
  struct stat status {};
  // Renaming keeps the inode, its modification time and size: the identity is known before.
  const bool whole =
      WriteAll(fd.get(), text) && (rebuildable || ::fsync(fd.get()) == 0) && ::fstat(fd.get(), &status) == 0;
  // Renaming over an existing file makes the file system write the new file out at once (ext4
  // does, to make replacing files safe); a file that can be rebuilt is removed first instead, its
  // readers then finding none for a moment.
  if (whole && rebuildable) ::unlink(file.c_str());
  if (!whole || ::rename(temporary.c_str(), file.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  if (written) *written = IdentityFromStatus(status);
  return true;
}

}  // namespace tarvox_platform
