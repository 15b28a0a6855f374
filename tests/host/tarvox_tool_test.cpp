// The built tarvox tool, run as a user runs it: `calc` on the built-in streams and on stream
// files, its JSON form, and its refusal of bad input.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

namespace {

// The catalogue's classes whose evaluators exist.
#define EVALUATOR(f) true
#define PENDING(f) false
#define NO_INPUTS
#define INPUTS(...)
#define TARVOX_CLASS(name, display, clsid, iid, script, unit, frame, evaluator, inputs, help) \
  {#name, evaluator},
const std::vector<std::pair<std::string, bool>> kCatalogue = {
#include "resources/classes.def"
};
#undef TARVOX_CLASS
#undef INPUTS
#undef NO_INPUTS
#undef PENDING
#undef EVALUATOR

struct ToolRun {
  int status = -1;
  std::string out;
  std::string err;
};

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class TarvoxTool : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = std::filesystem::temp_directory_path() / ("tarvox_tool_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    ::setenv("TARVOX_REGISTRY", (folder_ / "registry.txt").c_str(), 1);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(folder_); }

  static ToolRun Calc(const std::string& arguments) {
    const std::filesystem::path out = folder_ / "out.txt", err = folder_ / "err.txt";
    const std::string command = std::string("\"") + TARVOX_TOOL_PATH + "\" calc " + arguments + " >\"" +
                                out.string() + "\" 2>\"" + err.string() + "\"";
    const int raw = std::system(command.c_str());
    return ToolRun{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(out), ReadAll(err)};
  }

  static std::string StreamFile(const std::string& name, const std::string& text) {
    const std::filesystem::path path = folder_ / name;
    std::ofstream(path) << text;
    return "\"" + path.string() + "\"";
  }

  static void ExpectRefused(const ToolRun& run, const std::string& reason) {
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(reason), std::string::npos) << run.err;
    EXPECT_TRUE(run.out.empty()) << "nothing is computed for bad input";
  }

  static inline std::filesystem::path folder_;
};

bool HasValue(const nlohmann::json& values) {
  for (const auto& [slot, value] : values.items())
    if (!value.is_null()) return true;
  return false;
}

TEST_F(TarvoxTool, JsonCoversTheCatalogueAndEveryImplementedClassHasAValue) {
  const ToolRun run = Calc("--format json");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["stream"], "wellstream");
  const nlohmann::json& rows = report["correlations"];
  ASSERT_EQ(rows.size(), 52u);
  ASSERT_EQ(kCatalogue.size(), 52u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const auto& [name, implemented] = kCatalogue[i];
    EXPECT_EQ(rows[i]["class"], name);
    if (!implemented) {
      EXPECT_TRUE(rows[i].contains("error")) << name;
      continue;
    }
    EXPECT_FALSE(rows[i].contains("error")) << name;
    // CO2 loading needs an amine solvent, which the well fluid has not; the amine sample has one.
    if (name != "CO2Loading") {
      EXPECT_TRUE(HasValue(rows[i]["values"])) << name;
    }
  }
  EXPECT_EQ(rows[10]["name"], "Mass Density");
  EXPECT_EQ(rows[10]["unit"], "kg/m3");
  EXPECT_EQ(rows[10]["values"]["solid"], nullptr);
  EXPECT_TRUE(report["messages"].is_array());
}

TEST_F(TarvoxTool, TableListsEachRowWithItsUnitAndAmineSampleReportsLoading) {
  const ToolRun table = Calc("--only MassDensity,TVP_100F");
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("Mass Density"), std::string::npos);
  EXPECT_NE(table.out.find("True VP at 37.8\xC2\xB0"
                           "C"),
            std::string::npos);
  EXPECT_NE(table.out.find("kg/m3"), std::string::npos);

  const ToolRun amine =
      Calc("--sample amine --only CO2Loading --set CO2Loading.ReportBasis=Mass --format json");
  ASSERT_EQ(amine.status, 0) << amine.err;
  EXPECT_TRUE(HasValue(nlohmann::json::parse(amine.out)["correlations"][0]["values"]));
}

TEST_F(TarvoxTool, CsvHasOneLinePerClassAfterItsHeader) {
  const ToolRun run = Calc("--only Molecular_Weight,MolecularWeight --format csv");
  ExpectRefused(run, "Molecular_Weight");
  const ToolRun csv = Calc("--only MolecularWeight,ZFactor --format csv");
  ASSERT_EQ(csv.status, 0) << csv.err;
  std::istringstream lines(csv.out);
  std::string header, first, second, extra;
  std::getline(lines, header);
  std::getline(lines, first);
  std::getline(lines, second);
  EXPECT_TRUE(header.starts_with("class,name,unit_type,unit,overall"));
  EXPECT_TRUE(first.starts_with("MolecularWeight,Molecular Weight,-1,,43.9"));
  EXPECT_TRUE(second.starts_with("ZFactor,"));
  EXPECT_FALSE(std::getline(lines, extra));
}

TEST_F(TarvoxTool, StreamFileSettingsAndInputsReachTheCorrelations) {
  const std::string file = StreamFile("priced.json", R"({"name": "priced", "temperature_C": 20,
    "pressure_kPa": 2000, "molar_flow_kmol_h": 10, "composition": {"propane": 3, "n-butane": 1},
    "flow_basis": "Molar", "cost_factor": 2.5, "inputs": {"RVP_100F.RemoveNCmolPercent": 2.0}})");
  const ToolRun run = Calc(file + " --only FlowCost --format json");
  ASSERT_EQ(run.status, 0) << run.err;
  const nlohmann::json report = nlohmann::json::parse(run.out);
  EXPECT_EQ(report["stream"], "priced");
  EXPECT_DOUBLE_EQ(report["correlations"][0]["values"]["overall"].get<double>(), 25.0);
}

TEST_F(TarvoxTool, BadStreamFilesAreRefusedWithAReason) {
  ExpectRefused(Calc(StreamFile("unknown.json", R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "molar_flow_kmol_h": 1, "composition": {"kryptonite": 1}})")),
                "kryptonite");
  ExpectRefused(Calc(StreamFile("malformed.json", "{\"name\": \"x\",\n  \"temperature_C\": 20,\n  oops\n}")),
                "line 3");
  ExpectRefused(Calc(StreamFile("zero.json", R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "molar_flow_kmol_h": 1, "composition": {"methane": 0, "ethane": 0}})")),
                "no positive amount");
  ExpectRefused(Calc(StreamFile("negative.json", R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "molar_flow_kmol_h": 1, "composition": {"methane": -1, "ethane": 2}})")),
                "negative");
  ExpectRefused(Calc(StreamFile("missing.json", R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "composition": {"methane": 1}})")),
                "molar_flow_kmol_h");
}

TEST_F(TarvoxTool, ARegistrationOfAnotherBuildIsReplacedByTheModuleBesideTheTool) {
  // Another build of the module registered last: its classes point elsewhere.
  const std::filesystem::path registry = folder_ / "registry.txt";
  std::filesystem::remove(registry);
  ASSERT_EQ(Calc("--only MolecularWeight").status, 0);
  std::string text = ReadAll(registry);
  const std::string module = (std::filesystem::path(TARVOX_TOOL_PATH).parent_path() / "tarvox.so").string();
  for (std::size_t at = text.find(module); at != std::string::npos; at = text.find(module, at))
    text.replace(at, module.size(), "/elsewhere/tarvox.so");
  std::ofstream(registry, std::ios::trunc) << text;

  const ToolRun run = Calc("--only MolecularWeight --format csv");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(ReadAll(registry).find("/elsewhere/"), std::string::npos);
}

TEST_F(TarvoxTool, BadOptionsAreRefusedBeforeAnythingIsComputed) {
  ExpectRefused(Calc("--only MassDensity,NoSuchClass"), "NoSuchClass");
  ExpectRefused(Calc("--set RVP_100F.RemoveNCmolPercent=plenty"), "not a number");
  ExpectRefused(Calc("--set RVP_100F.NoSuchInput=1"), "no such input");
  ExpectRefused(Calc("--set CO2Loading.ReportBasis=Volume"), "Volume");
  ExpectRefused(Calc("--format xml"), "xml");
}

}  // namespace
