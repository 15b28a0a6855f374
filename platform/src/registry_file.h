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

// The file's text; empty when it does not exist. Throws RegistryError naming the file when it is
// not a regular file, is owned by another user or writable by others (anyone could then plant
// classes in it), or cannot be read.
std::string ReadOwnFile(const std::filesystem::path& file);

// Creates the folder of `file` when missing, readable and writable by the user alone (mode 0700).
void CreatePrivateFolderFor(const std::filesystem::path& file);

// Writes `text` to a new file in the same folder, flushes it to disk and renames it over `file`,
// creating the folder as CreatePrivateFolderFor does. False on any failure, `file` then untouched.
bool ReplaceFile(const std::filesystem::path& file, const std::string& text);

}  // namespace tarvox_platform
