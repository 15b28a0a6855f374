// The snapshot by which a process looks up an unchanged registry without reading the registry file.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "tarvox_platform/registry.h"

namespace {

using tarvox_platform::CurrentRegistry;
using tarvox_platform::RegistryTransaction;

class RegistrySnapshot : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = std::filesystem::temp_directory_path() / ("tarvox-snapshot-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    if (const char* saved = std::getenv("TARVOX_REGISTRY")) saved_ = saved;
  }
  void TearDown() override {
    if (saved_)
      ::setenv("TARVOX_REGISTRY", saved_->c_str(), 1);
    else
      ::unsetenv("TARVOX_REGISTRY");
    std::filesystem::remove_all(folder_);
  }

  std::filesystem::path File(const std::string& name = "registry.json") const { return folder_ / name; }
  std::filesystem::path Snapshot() const { return File("registry.json.snapshot"); }

  static void Commit(const std::filesystem::path& file, const std::string& value) {
    RegistryTransaction change(file);
    change.store().SetValue("HKCR\\Tarvox.X.1\\CLSID", "", "{11111111-2222-3333-4444-555555555555}");
    change.store().SetValue("HKCR\\CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32",
                            "ThreadingModel", "Apartment");
    change.store().SetValue("HKCR\\Tarvox.X.1", "", value);
    ASSERT_TRUE(change.Commit());
  }

  // The value of HKCR\Tarvox.X.1 as this process's registry gives it for `file`, looked up after
  // another registry so that the process holds nothing of `file` from before.
  std::optional<std::string> LookUpAfresh(const std::filesystem::path& file) {
    ::setenv("TARVOX_REGISTRY", File("other.json").c_str(), 1);
    CurrentRegistry();
    ::setenv("TARVOX_REGISTRY", file.c_str(), 1);
    return CurrentRegistry()->GetValue("hkcr\\TARVOX.x.1");
  }

  // Rewrites the registry file in place with `value` (as long as the value it replaces), keeping
  // its inode, size and modification time: only a process that reads the file can see the change.
  void EditUnseen(const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    struct stat before {};
    ASSERT_EQ(::stat(File().c_str(), &before), 0);
    std::stringstream text;
    text << std::ifstream(File()).rdbuf();
    std::string content = text.str();
    const std::size_t at = content.find(from);
    ASSERT_NE(at, std::string::npos);
    content.replace(at, from.size(), to);
    std::fstream(File(), std::ios::in | std::ios::out) << content;
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, File().c_str(), times, 0), 0);
  }

  std::filesystem::path folder_;
  std::optional<std::string> saved_;
};

TEST_F(RegistrySnapshot, AnUnchangedRegistryIsAnsweredWithoutReadingItsFile) {
  Commit(File(), "X Class");
  EXPECT_EQ(LookUpAfresh(File()), "X Class");
  ASSERT_TRUE(std::filesystem::exists(Snapshot()));
  EditUnseen("X Class", "Y Class");
  EXPECT_EQ(LookUpAfresh(File()), "X Class") << "the file was read although it kept its identity";
  const auto registry = CurrentRegistry();
  EXPECT_EQ(registry->GetValue("HKCR\\CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32",
                               "threadingmodel"),
            "Apartment");
  EXPECT_EQ(registry->GetValue("HKCR\\Tarvox.X.1\\CLSID", "other"), std::nullopt);
  EXPECT_EQ(registry->GetValue("HKCR\\Tarvox.X"), std::nullopt);
}

TEST_F(RegistrySnapshot, WhatARegistrationWroteIsNotReadBack) {
  ::setenv("TARVOX_REGISTRY", File().c_str(), 1);
  Commit(File(), "X Class");
  EditUnseen("X Class", "Y Class");
  EXPECT_EQ(CurrentRegistry()->GetValue("HKCR\\Tarvox.X.1"), "X Class") << "read back in the same process";
  EXPECT_EQ(LookUpAfresh(File()), "X Class") << "read back in the next process";
}

TEST_F(RegistrySnapshot, AChangedRegistryOrASnapshotThatCannotBeTrustedIsReadAgain) {
  const std::vector<std::pair<const char*, std::function<void(const std::filesystem::path&)>>> damages = {
      {"emptied", [](const auto& file) { std::ofstream{file}; }},
      {"cut short",
       [](const auto& file) { std::filesystem::resize_file(file, std::filesystem::file_size(file) / 2); }},
      {"one byte changed",
       [](const auto& file) {
         std::fstream stream(file, std::ios::in | std::ios::out | std::ios::binary);
         stream.seekg(static_cast<std::streamoff>(std::filesystem::file_size(file) - 3));
         const char c = static_cast<char>(stream.get());
         stream.seekp(static_cast<std::streamoff>(std::filesystem::file_size(file) - 3));
         stream.put(static_cast<char>(c ^ 0x20));
       }},
      {"writable by others",
       [](const auto& file) {
         std::filesystem::permissions(file, std::filesystem::perms::others_write,
                                      std::filesystem::perm_options::add);
       }},
      {"a folder",
       [](const auto& file) { std::filesystem::remove(file), std::filesystem::create_directory(file); }},
  };
  for (const auto& [damage, apply] : damages) {
    std::filesystem::remove_all(Snapshot());
    Commit(File(), "X Class");
    ASSERT_EQ(LookUpAfresh(File()), "X Class");
    apply(Snapshot());
    EditUnseen("X Class", "Y Class");
    EXPECT_EQ(LookUpAfresh(File()), "Y Class") << "snapshot " << damage;
  }
  std::filesystem::remove_all(Snapshot());
  Commit(File(), "X Class");
  ASSERT_EQ(LookUpAfresh(File()), "X Class");
  Commit(File(), "Changed");
  EXPECT_EQ(LookUpAfresh(File()), "Changed") << "a registry replaced by a registration";
}

TEST_F(RegistrySnapshot, ReadersOfARegistryChangingUnderThemSeeEveryVersionWholeAndInOrder) {
  constexpr int kChanges = 30, kReaders = 3;
  Commit(File(), "0");
  std::vector<pid_t> children;
  for (int r = 0; r < kReaders; ++r) {
    children.push_back(::fork());
    if (children.back() == 0) {
      ::alarm(60);
      ::setenv("TARVOX_REGISTRY", File().c_str(), 1);
      int last = 0;
      bool whole = true;
      for (int i = 0; i < 300 && whole; ++i) {
        const int seen = std::atoi(CurrentRegistry()->GetValue("HKCR\\Tarvox.X.1").value_or("-1").c_str());
        whole = seen >= last && seen <= kChanges;
        last = seen;
      }
      ::_exit(whole ? 0 : 1);
    }
  }
  for (int i = 1; i <= kChanges; ++i) Commit(File(), std::to_string(i));
  int failed = 0;
  for (pid_t pid : children) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(failed, 0) << "readers that saw a missing, torn or older version";
  EXPECT_EQ(LookUpAfresh(File()), std::to_string(kChanges));
}

}  // namespace
