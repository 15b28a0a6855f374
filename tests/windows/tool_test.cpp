// The tarvox tool as a user runs it on Windows: it creates every correlation by ProgID through
// the COM run time of the registered module, on the Peng-Robinson host fluid, and the electrolyte
// evaluators find their library beside the tool.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "tests/windows/com_test_support.h"

namespace tarvox::windows_tests {
namespace {

constexpr DWORD kToolTimeoutMs = 60000;

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A file the child process writes its output to; removed when the run is over.
class OutputFile {
 public:
  explicit OutputFile(const std::filesystem::path& path) : path_(path) {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    handle_ = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile() {
    Close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  HANDLE Handle() const { return handle_; }
  void Close() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }
  std::string Text() const { return ReadAll(path_); }

 private:
  std::filesystem::path path_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class TarvoxTool : public ObjectsOfRegisteredModuleTest {
 protected:
  static std::filesystem::path TempFile(const std::wstring& name) {
    wchar_t folder[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, folder);
    return std::filesystem::path(std::wstring(folder, n)) /
           (L"tarvox_tool_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" + name);
  }

  // Runs `tarvox.exe calc <arguments>` from the test executable's folder.
  static ToolRun Calc(const std::wstring& arguments) {
    OutputFile out(TempFile(L"out.txt"));
    OutputFile err(TempFile(L"err.txt"));
    ToolRun run;
    if (out.Handle() == INVALID_HANDLE_VALUE || err.Handle() == INVALID_HANDLE_VALUE) return run;
    std::wstring command = L"\"" + BesideExecutable(L"tarvox.exe") + L"\" calc " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out.Handle();
    startup.hStdError = err.Handle();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process))
      return run;
    if (WaitForSingleObject(process.hProcess, kToolTimeoutMs) == WAIT_OBJECT_0) {
      DWORD exit_code = 0;
      GetExitCodeProcess(process.hProcess, &exit_code);
      run.status = static_cast<int>(exit_code);
    } else {
      TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    out.Close();
    err.Close();
    run.out = out.Text();
    run.err = err.Text();
    return run;
  }
};

bool HasValue(const nlohmann::json& values) {
  for (const auto& [slot, value] : values.items())
    if (!value.is_null()) return true;
  return false;
}

TEST_F(TarvoxTool, CalcOnTheBuiltInStreamGivesEveryCorrelationAValue) {
  const ToolRun run = Calc(L"--format json");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["stream"], "wellstream");
  const nlohmann::json& rows = report["correlations"];
  ASSERT_EQ(rows.size(), 52u);
  ASSERT_EQ(Catalogue().size(), 52u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::string name = Catalogue()[i].name;
    EXPECT_EQ(rows[i]["class"], name);
    EXPECT_FALSE(rows[i].contains("error")) << name;
    // CO2 loading needs an amine solvent, which the well fluid has not: the amine sample below.
    if (name != "CO2Loading") {
      EXPECT_TRUE(HasValue(rows[i]["values"])) << name;
    }
  }

  const ToolRun amine = Calc(L"--sample amine --only CO2Loading --format json");
  ASSERT_EQ(amine.status, 0) << amine.err;
  EXPECT_TRUE(HasValue(nlohmann::json::parse(amine.out)["correlations"][0]["values"]));
}

// pH and pOH come from the electrolyte library, which the module finds beside the tool under the
// name it stores scrambled for the Windows C run time. Their sum is the ionic product of water,
// pKw, about 13.5 at 40 degrees C.
TEST_F(TarvoxTool, SourWaterHasPhAndPohThatAddUpToTheIonicProductOfWater) {
  const std::filesystem::path file = TempFile(L"sour_water.json");
  std::ofstream(file) << R"({"name": "sour water", "temperature_C": 40, "pressure_kPa": 300,
    "molar_flow_kmol_h": 100, "composition": {"water": 0.99, "hydrogen sulfide": 0.003,
    "ammonia": 0.005, "carbon dioxide": 0.002}})";
  const ToolRun run = Calc(L"\"" + file.wstring() + L"\" --only PH,POH --format json");
  std::error_code ignored;
  std::filesystem::remove(file, ignored);
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json rows = nlohmann::json::parse(run.out)["correlations"];
  ASSERT_EQ(rows.size(), 2u);
  const nlohmann::json& ph = rows[0]["values"];
  const nlohmann::json& poh = rows[1]["values"];
  EXPECT_TRUE(ph["vapour"].is_null());
  int aqueous_liquids = 0;
  for (const char* slot : {"overall", "liquid1", "liquid2"}) {
    if (ph[slot].is_null() && poh[slot].is_null()) continue;
    ASSERT_TRUE(ph[slot].is_number() && poh[slot].is_number()) << slot << ": " << run.out;
    const double sum = ph[slot].get<double>() + poh[slot].get<double>();
    EXPECT_GT(sum, 13.3) << slot;
    EXPECT_LT(sum, 13.8) << slot;
    // Ammonia outweighs the acid gases: the water is mildly alkaline, not strongly either way.
    EXPECT_GT(ph[slot].get<double>(), 6.5) << slot;
    EXPECT_LT(ph[slot].get<double>(), 10.0) << slot;
    if (std::string(slot) != "overall") ++aqueous_liquids;
  }
  EXPECT_EQ(aqueous_liquids, 1) << run.out;
}

}  // namespace
}  // namespace tarvox::windows_tests
