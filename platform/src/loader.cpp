#include <dlfcn.h>
#include <unistd.h>

#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "tarvox_platform/com_runtime.h"
#include "tarvox_platform/module_image.h"
#include "tarvox_platform/program_folder.h"

namespace {

// The running executable, read once: a process keeps its executable, and every library the module
// and the host load by a bare name asks for its folder.
const std::string& ExecutablePath() {
  static const std::string path = [] {
    char buffer[4096];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
  }();
  return path;
}

std::string ExecutableFolder() { return ExecutablePath().substr(0, ExecutablePath().rfind('/')); }

std::mutex program_folder_mutex;
std::string named_program_folder;  // guarded by program_folder_mutex

bool EndsWithDll(const std::string& name) {
  if (name.size() < 4) return false;
  std::string tail = name.substr(name.size() - 4);
  for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return tail == ".dll";
}

// The one rule by which a bare Windows library name becomes a shared object: in the program
// folder, with ".dll" replaced by ".so".
std::string ResolveLibraryPath(const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  const std::string base = EndsWithDll(name) ? name.substr(0, name.size() - 4) + ".so" : name;
  return tarvox_platform::ProgramFolder() + "/" + base;
}

// The libraries loaded through LoadLibraryA, each opened once and counted as Windows counts its
// loads: loading one already loaded only counts it (opening it again would cost the system loader a
// search of every loaded library by name, each time an object asks for its host library), and it is
// closed when the count falls to zero. The system loader runs a library's initialisers and
// finalisers, which may load and free libraries themselves, without the lock held.
class LoadedLibraries {
 public:
  HMODULE Load(const std::string& path) {
    {
      const std::lock_guard lock(guard_);
      if (const auto found = by_path_.find(path); found != by_path_.end()) {
        ++counts_[found->second];
        return found->second;
      }
    }
    HMODULE library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return nullptr;
    const std::lock_guard lock(guard_);
    int& count = counts_[library];
    // Open already (under another name, or by another thread meanwhile): the count here holds it.
    if (count > 0) dlclose(library);
    ++count;
    by_path_.emplace(path, library);
    return library;
  }

  bool Free(HMODULE library) {
    {
      const std::lock_guard lock(guard_);
      if (const auto count = counts_.find(library); count != counts_.end()) {
        if (--count->second > 0) return true;
        counts_.erase(count);
        std::erase_if(by_path_, [library](const auto& entry) { return entry.second == library; });
      }
    }
    return dlclose(library) == 0;
  }

 private:
  std::mutex guard_;
  std::map<std::string, HMODULE> by_path_;
  std::map<HMODULE, int> counts_;
};

// Never destroyed: a library's own static destructors may still free libraries at exit.
LoadedLibraries& Loaded() {
  static auto* const loaded = new LoadedLibraries;
  return *loaded;
}

}  // namespace

namespace tarvox_platform {

void SetProgramFolder(const std::string& folder) {
  const std::lock_guard lock(program_folder_mutex);
  named_program_folder = folder;
}

std::string ProgramFolder() {
  {
    const std::lock_guard lock(program_folder_mutex);
    if (!named_program_folder.empty()) return named_program_folder;
  }
  return ExecutableFolder();
}

}  // namespace tarvox_platform

extern "C" HMODULE LoadLibraryA(LPCSTR name) {
  if (!name || !*name) return nullptr;
  return Loaded().Load(ResolveLibraryPath(name));
}

extern "C" HINSTANCE CoLoadLibrary(LPOLESTR name, BOOL) {
  if (!name) return nullptr;
  const int length = WideCharToMultiByte(CP_ACP, 0, name, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return nullptr;
  std::string narrow(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_ACP, 0, name, -1, narrow.data(), length, nullptr, nullptr);
  return LoadLibraryA(narrow.c_str());
}

extern "C" BOOL FreeLibrary(HMODULE module) { return module && Loaded().Free(module); }

extern "C" FARPROC GetProcAddress(HMODULE module, LPCSTR name) {
  if (!module || !name) return nullptr;
  return reinterpret_cast<FARPROC>(dlsym(module, name));
}

// With no handle, the running executable, seen in the program folder when one is named (modules
// look for their companion libraries beside the program); otherwise the module image of
// tarvox_platform.
extern "C" DWORD GetModuleFileNameA(HMODULE module, LPSTR path, DWORD size) {
  if (!path || size == 0) return 0;
  std::string text;
  if (!module) {
    if (ExecutablePath().empty()) return 0;
    text = tarvox_platform::ProgramFolder() + ExecutablePath().substr(ExecutablePath().rfind('/'));
  } else {
    text = static_cast<const tarvox_platform::ModuleImage*>(module)->path;
  }
  // As on Windows: a path that does not fit is cut, terminated, and the full size returned.
  if (text.size() >= size) {
    std::memcpy(path, text.data(), size - 1);
    path[size - 1] = '\0';
    return size;
  }
  std::memcpy(path, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

namespace tarvox_platform {

bool LocateModule(const void* address, ModuleImage& image) {
  Dl_info info{};
  if (!dladdr(address, &info) || !info.dli_fname) return false;
  const std::size_t n = std::strlen(info.dli_fname);
  if (n >= sizeof image.path) return false;
  std::memcpy(image.path, info.dli_fname, n + 1);
  return true;
}

}  // namespace tarvox_platform
