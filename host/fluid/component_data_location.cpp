#include "host/fluid/component_data_location.h"

#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#else
#include "tarvox_platform/program_folder.h"
#endif

namespace tarvox::host {

namespace {

constexpr const char* kComponentsFile = "components.csv";
constexpr const char* kKijFile = "kij_pr.csv";

// The running program's folder (on the native platform, the program folder a plug-in host may name).
std::filesystem::path ProgramFolder() {
#ifdef _WIN32
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) {
      buffer.resize(length);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::filesystem::path(buffer).parent_path();
#else
  return tarvox_platform::ProgramFolder();
#endif
}

bool HoldsTables(const std::filesystem::path& folder) {
  std::error_code error;
  return std::filesystem::is_regular_file(folder / kComponentsFile, error) &&
         std::filesystem::is_regular_file(folder / kKijFile, error);
}

}  // namespace

std::filesystem::path FindComponentDataFolder() {
  std::vector<std::filesystem::path> candidates;
  const std::filesystem::path program = ProgramFolder();
  if (!program.empty()) {
    candidates.push_back(program / "data");
    candidates.push_back(program / ".." / "share" / "tarvox" / "data");
  }
#ifdef TARVOX_SOURCE_DATA_DIR
  // Only for programs run inside the build tree before the data were copied beside them.
  candidates.emplace_back(TARVOX_SOURCE_DATA_DIR);
#endif
  std::string searched;
  for (const std::filesystem::path& folder : candidates) {
    if (HoldsTables(folder)) return folder;
    searched += (searched.empty() ? "" : ", ") + folder.string();
  }
  throw std::runtime_error("component data (" + std::string(kComponentsFile) + ", " + kKijFile +
                           ") not found in: " + (searched.empty() ? "no folder" : searched));
}

std::shared_ptr<const thermo::ComponentDatabase> SharedComponentDatabase() {
  static std::mutex guard;
  static std::shared_ptr<const thermo::ComponentDatabase> database;
  const std::lock_guard lock(guard);
  if (!database) {
    const std::filesystem::path folder = FindComponentDataFolder();
    database = std::make_shared<const thermo::ComponentDatabase>(
        thermo::ComponentDatabase::Load(folder / kComponentsFile, folder / kKijFile));
  }
  return database;
}

}  // namespace tarvox::host
