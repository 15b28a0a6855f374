// The registry file under changes from many processes at once, and files it must not trust.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tarvox_platform/registry.h"

namespace {

using tarvox_platform::RegistryError;
using tarvox_platform::RegistryStore;
using tarvox_platform::RegistryTransaction;

class RegistryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("tarvox-registry-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
  }
  void TearDown() override { std::filesystem::remove_all(folder_); }

  std::filesystem::path File() const { return folder_ / "registry.json"; }

  // The message of the RegistryError that `action` throws; empty when it throws none.
  template <typename Action>
  static std::string Refusal(Action action) {
    try {
      action();
    } catch (const RegistryError& error) {
      return error.what();
    }
    return {};
  }

  std::filesystem::path folder_;
};

// Runs `body` in a child process that may live at most a minute; returns the child's id.
template <typename Body>
pid_t Child(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::alarm(60);
    ::_exit(body() ? 0 : 1);
  }
  return pid;
}

TEST_F(RegistryFile, ChangesFromManyProcessesAtOnceAreAllKeptAndReadersSeeWholeFiles) {
  constexpr int kWriters = 6, kChangesEach = 8, kReaders = 2;
  const std::filesystem::path file = File();
  std::vector<pid_t> writers, readers;
  for (int w = 0; w < kWriters; ++w) {
    writers.push_back(Child([&] {
      for (int i = 0; i < kChangesEach; ++i) {
        RegistryTransaction change(file);
        // Enough keys that a write takes a while; each writer also keeps its own count.
        for (int k = 0; k < 200; ++k) change.store().SetValue("HKCR\\Bulk\\" + std::to_string(k), "", "x");
        const std::string key = "HKCR\\Writer" + std::to_string(w);
        const int done = std::atoi(change.store().GetValue(key).value_or("0").c_str());
        change.store().SetValue(key, "", std::to_string(done + 1));
        if (!change.Commit()) return false;
      }
      return true;
    }));
  }
  for (int r = 0; r < kReaders; ++r) {
    readers.push_back(Child([&] {
      for (int i = 0; i < 300; ++i) RegistryStore{file};  // throws, failing the child, on a partial file
      return true;
    }));
  }
  int failed = 0;
  for (pid_t pid : writers) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  for (pid_t pid : readers) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(failed, 0) << "processes that failed";
  const RegistryStore after(file);
  for (int w = 0; w < kWriters; ++w)
    EXPECT_EQ(after.GetValue("HKCR\\Writer" + std::to_string(w)), std::to_string(kChangesEach))
        << "lost changes";
}

TEST_F(RegistryFile, AFileThatCannotBeParsedIsNamedAndKeptAsideNotOverwritten) {
  for (const char* text :
       {"[]", R"({"HKCR\\A": "x"})", R"({"HKCR\\A": {"": 1}})", R"({"HKCR\\A": {"": {}}})"}) {
    std::ofstream(File()) << text;
    EXPECT_NE(Refusal([&] { RegistryStore{File()}; }).find("cannot be parsed"), std::string::npos) << text;
  }
  std::ofstream(File()) << "{\"HKCR\\\\A\": {\"\": \"cut";
  const std::string refusal = Refusal([&] { RegistryStore{File()}; });
  EXPECT_NE(refusal.find(File().string()), std::string::npos) << refusal;
  EXPECT_NE(refusal.find("cannot be parsed"), std::string::npos) << refusal;

  {
    RegistryTransaction change(File());
    change.store().SetValue("HKCR\\B", "", "new");
    ASSERT_TRUE(change.Commit());
  }
  EXPECT_EQ(RegistryStore(File()).GetValue("HKCR\\B"), "new");
  int kept = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    if (entry.path().filename().string().starts_with("registry.json.unreadable-")) {
      std::ostringstream text;
      text << std::ifstream(entry.path()).rdbuf();
      EXPECT_EQ(text.str(), "{\"HKCR\\\\A\": {\"\": \"cut");
      ++kept;
    }
  }
  EXPECT_EQ(kept, 1);
}

TEST_F(RegistryFile, AFileOthersCanWriteIsRefusedByReadersAndWriters) {
  std::ofstream(File()) << "{}";
  std::filesystem::permissions(File(), std::filesystem::perms::others_write,
                               std::filesystem::perm_options::add);
  EXPECT_NE(Refusal([&] { RegistryStore{File()}; }).find("writable by other users"), std::string::npos);
  EXPECT_NE(Refusal([&] { RegistryTransaction{File()}; }).find("writable by other users"), std::string::npos);
}

TEST_F(RegistryFile, WithoutAHomeThereIsNoRegistryRatherThanASharedOne) {
  const auto saved = [](const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
  };
  const auto registry = saved("TARVOX_REGISTRY"), home = saved("HOME"), data = saved("XDG_DATA_HOME");
  ::unsetenv("TARVOX_REGISTRY");
  ::unsetenv("HOME");
  ::unsetenv("XDG_DATA_HOME");
  const std::string refusal = Refusal([] { RegistryStore::DefaultPath(); });
  const auto restore = [](const char* name, const std::optional<std::string>& value) {
    if (value) ::setenv(name, value->c_str(), 1);
  };
  restore("TARVOX_REGISTRY", registry);
  restore("HOME", home);
  restore("XDG_DATA_HOME", data);
  EXPECT_NE(refusal.find("HOME"), std::string::npos) << refusal;
}

TEST_F(RegistryFile, AFolderMadeForTheRegistryIsTheUsersAlone) {
  const std::filesystem::path file = folder_ / "new" / "registry.json";
  RegistryTransaction change(file);
  ASSERT_TRUE(change.Commit());
  EXPECT_EQ(std::filesystem::status(file.parent_path()).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_all);
}

}  // namespace
