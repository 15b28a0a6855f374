// The registry file on disk: read only when it is the user's own, replaced only whole.
#pragma once

#include <filesystem>
#include <string>

#include "tarvox_platform/registry.h"

namespace tarvox_platform {

// A registry file that is there and the user's own but not a registry: set aside by a writer.
class UnparsableRegistry : public RegistryError {
 public:
  using RegistryError::RegistryError;
};

// Which version of a file is on disk. Files are replaced whole by renaming a new one over them,
// so a new version is a new inode even within the clock's resolution; an edit in place changes
// the modification time or the size.
struct FileIdentity {
  unsigned long long device = 0;
  unsigned long long inode = 0;
  long long modified_ns = 0;
  long long size = -1;  // -1: no such file
  bool operator==(const FileIdentity&) const = default;
};

// The identity of `file` as it stands now (size -1 when it cannot be looked at).
FileIdentity IdentityOf(const std::filesystem::path& file);

// The file's text; empty when it does not exist. Throws RegistryError naming the file when it is
// not a regular file, is owned by another user or writable by others (anyone could then plant
// classes in it), or cannot be read. `identity`, when given, receives the identity of the very
// file the text was read from (size -1 when it does not exist).
std::string ReadOwnFile(const std::filesystem::path& file, FileIdentity* identity = nullptr);

// Creates the folder of `file` when missing, readable and writable by the user alone (mode 0700).
void CreatePrivateFolderFor(const std::filesystem::path& file);

// Writes `text` to a new file in the same folder and renames it over `file`, creating the folder as
// CreatePrivateFolderFor does; readers see the old file or the new one. A file that can be
// rebuilt is neither flushed to disk nor renamed over the old one (the old one is removed first,
// so readers may also find none), sparing the writer a wait for the disk. False on any failure,
// `file` then holding the old text, or for a rebuildable file perhaps none.
// `written`, when given, receives the identity the new file has under its name.
enum class Durability { kFlushed, kRebuildable };
bool ReplaceFile(const std::filesystem::path& file, const std::string& text,
                 Durability durability = Durability::kFlushed, FileIdentity* written = nullptr);

}  // namespace tarvox_platform
