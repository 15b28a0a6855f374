// The built tarvox tool, run as a user runs it: `calc` on the built-in streams and on stream
// files, its JSON form, and its refusal of bad input.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
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

  static ToolRun Calc(const std::string& arguments) { return Run("calc " + arguments); }

  static ToolRun Run(const std::string& arguments) {
    const std::filesystem::path out = folder_ / "out.txt", err = folder_ / "err.txt";
    // Bounded, so that a run that would wait for ever fails instead.
    const std::string command = std::string("timeout 60 \"") + TARVOX_TOOL_PATH + "\" " + arguments + " >\"" +
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

TEST_F(TarvoxTool, TableSaysNoValueWhereTheJsonKeepsTheElectrolyteMarker) {
  // The well stream's first liquid is its oil, which has no ionic strength.
  const ToolRun table = Calc("--only IONSX");
  ASSERT_EQ(table.status, 0) << table.err;
  EXPECT_NE(table.out.find("no value"), std::string::npos) << table.out;
  EXPECT_EQ(table.out.find("e+35"), std::string::npos) << table.out;
  const ToolRun json = Calc("--only IONSX --format json");
  ASSERT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(nlohmann::json::parse(json.out)["correlations"][0]["values"]["liquid1"], 1e35);
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
  EXPECT_TRUE(header.starts_with("stream,class,name,unit_type,unit,overall"));
  EXPECT_TRUE(first.starts_with("wellstream,MolecularWeight,Molecular Weight,-1,,43.9"));
  EXPECT_TRUE(second.starts_with("wellstream,ZFactor,"));
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

TEST_F(TarvoxTool, OnlyRegularFilesOfBoundedSizeAreReadAsStreams) {
  const std::filesystem::path pipe = folder_ / "pipe.json", large = folder_ / "large.json";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  std::filesystem::create_directories(folder_ / "folder.json");
  std::ofstream(large) << std::string(5 * 1024 * 1024, ' ');
  for (const auto& [path, reason] : std::vector<std::pair<std::string, std::string>>{
           {"/dev/zero", "not a regular file"},
           {"/dev/urandom", "not a regular file"},
           {pipe.string(), "not a regular file"},
           {(folder_ / "folder.json").string(), "not a regular file"},
           {large.string(), "larger than 4 MiB"}})
    ExpectRefused(Calc("\"" + path + "\" --only MolecularWeight"), reason);
}

TEST_F(TarvoxTool, InputsAndNumbersAreCheckedStrictly) {
  for (const auto& [arguments, reason] : std::vector<std::pair<std::string, std::string>>{
           {"--only MolecularWeight --set RVP_100F.NoSuchVariable=1", "no such input"},
           {"--only MolecularWeight --set RVP_100F.RemoveNCmolPercent=plenty", "not a number"},
           {"--set RVP_100F.RemoveNCmolPercent=0x10", "not a number"},
           {"--set \"RVP_100F.RemoveNCmolPercent= 2\"", "not a number"},
           {"--only MolecularWeight --set CO2Loading.ReportBasis=Volume", "Volume"}})
    ExpectRefused(Calc(arguments), reason);
  ExpectRefused(Calc(StreamFile("blank.json", R"({"name": "x", "temperature_C": 20, "pressure_kPa": 100,
    "molar_flow_kmol_h": 1, "composition": {"methane": 1}, "inputs": {"RVP_100F.RemoveNCmolPercent": " 2"}})")),
                "not a number");
}

TEST_F(TarvoxTool, TheTableShowsControlCharactersOfTheStreamNameEscaped) {
  const ToolRun run =
      Calc(StreamFile("named.json", R"({"name": "a\u001b[31mred\u0007\u009b", "temperature_C": 20,
    "pressure_kPa": 100, "molar_flow_kmol_h": 1, "composition": {"methane": 1}})") +
           " --only MolecularWeight");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Stream: a\\x1B[31mred\\x07\\u009B\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.out.find_first_of("\x1B\x07"), std::string::npos);
}

TEST_F(TarvoxTool, StreamsOutsideTheHostFluidsWindowAreRefusedAndExtrapolationIsSaid) {
  const auto stream = [](const std::string& temperature, const std::string& pressure) {
    return R"({"name": "x", "temperature_C": )" + temperature + R"(, "pressure_kPa": )" + pressure +
           R"(, "molar_flow_kmol_h": 1, "composition": {"methane": 1}})";
  };
  ExpectRefused(Calc(StreamFile("hot.json", stream("1e6", "100"))), "outside the host fluid's window");
  ExpectRefused(Calc(StreamFile("cold.json", stream("-250", "100"))), "outside the host fluid's window");
  ExpectRefused(Calc(StreamFile("dense.json", stream("20", "1e300"))), "outside the host fluid's window");
  // Methane's heat-capacity data end at 1000 K (data/components.csv).
  const ToolRun warm = Calc(StreamFile("warm.json", stream("800", "100")) + " --only MolecularWeight");
  ASSERT_EQ(warm.status, 0) << warm.err;
  EXPECT_NE(warm.out.find(
                "methane: ideal-gas heat capacity extrapolated to 1073.15 K, its data cover 50 to 1000 K"),
            std::string::npos)
      << warm.out;
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

TEST_F(TarvoxTool, FirstRunsStartedTogetherAllSucceedAndLeaveAWholeRegistry) {
  constexpr int kRounds = 3, kProcesses = 10;
  const std::filesystem::path registry = folder_ / "registry.txt";
  int failed = 0;
  for (int round = 0; round < kRounds; ++round) {
    std::filesystem::remove(registry);
    std::string script;
    for (int i = 0; i < kProcesses; ++i)
      script += "(timeout 120 \"" + std::string(TARVOX_TOOL_PATH) +
                "\" calc --only MolecularWeight >/dev/null 2>&1 || echo failed) & ";
    const std::filesystem::path out = folder_ / "failures.txt";
    ASSERT_EQ(std::system(("{ " + script + "wait; } >\"" + out.string() + "\"").c_str()), 0);
    const std::string failures = ReadAll(out);
    for (std::size_t at = failures.find("failed"); at != std::string::npos;
         at = failures.find("failed", at + 1))
      ++failed;
    EXPECT_TRUE(nlohmann::json::accept(ReadAll(registry))) << "round " << round;
  }
  EXPECT_EQ(failed, 0) << "of " << kRounds * kProcesses << " runs";
}

TEST_F(TarvoxTool, AClassMissingFromTheRegistryIsRegisteredAgainEvenWhenNotRequested) {
  const std::filesystem::path registry = folder_ / "registry.txt";
  ASSERT_EQ(Calc("--only MolecularWeight").status, 0);
  nlohmann::json keys = nlohmann::json::parse(ReadAll(registry));
  ASSERT_EQ(keys.erase("HKCR\\Tarvox.ZFactor\\CLSID"), 1u);
  std::ofstream(registry, std::ios::trunc) << keys.dump();

  ASSERT_EQ(Calc("--only MolecularWeight").status, 0);
  EXPECT_TRUE(nlohmann::json::parse(ReadAll(registry)).contains("HKCR\\Tarvox.ZFactor\\CLSID"));
}

TEST_F(TarvoxTool, AnUnparsableRegistryIsNamedKeptAsideAndReplaced) {
  const std::filesystem::path registry = folder_ / "registry.txt";
  std::ofstream(registry, std::ios::trunc) << "{\"HKCR\": {";
  const ToolRun run = Calc("--only MolecularWeight");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find(registry.string() + " cannot be parsed"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("kept as"), std::string::npos) << run.err;
  EXPECT_TRUE(nlohmann::json::accept(ReadAll(registry)));
}

TEST_F(TarvoxTool, BadOptionsAreRefusedBeforeAnythingIsComputed) {
  ExpectRefused(Calc("--only MassDensity,NoSuchClass"), "NoSuchClass");
  ExpectRefused(Calc("--set RVP_100F.RemoveNCmolPercent=plenty"), "not a number");
  ExpectRefused(Calc("--set RVP_100F.NoSuchInput=1"), "no such input");
  ExpectRefused(Calc("--set CO2Loading.ReportBasis=Volume"), "Volume");
  ExpectRefused(Calc("--format xml"), "xml");
}

TEST_F(TarvoxTool, BatchLinesAreComputedInOrderAndABadLineIsReportedWithItsNumber) {
  auto line = [](const std::string& name) {
    return R"({"name": ")" + name +
           R"(", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1, "composition": {"methane": 1}})" +
           "\n";
  };
  const std::string batch = StreamFile("good.jsonl", line("a") + "\n" + line("b"));
  const ToolRun run = Calc("--batch " + batch + " --only MolecularWeight --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("\na,MolecularWeight,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("\nb,MolecularWeight,"), std::string::npos) << run.out;

  const std::string bad = StreamFile("bad.jsonl", line("a") + "{\"name\": \"b\"}\n" + line("c"));
  ExpectRefused(Calc("--only MolecularWeight --batch " + bad), "bad.jsonl:2: missing field");
  const ToolRun kept = Calc("--only MolecularWeight --format json --keep-going --batch - <" + bad);
  EXPECT_EQ(kept.status, 2);
  EXPECT_NE(kept.err.find("stdin:2:"), std::string::npos) << kept.err;
  const nlohmann::json reports = nlohmann::json::parse(kept.out);
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[1]["stream"], "c");

  // Refused only when its fluid is built: still before the first line is computed.
  const std::string unknown = StreamFile(
      "unknown.jsonl",
      line("a") +
          R"({"name": "b", "temperature_C": 20, "pressure_kPa": 100, "molar_flow_kmol_h": 1, "composition": {"unobtainium": 1}})" +
          "\n");
  ExpectRefused(Calc("--only MolecularWeight --batch " + unknown), "unknown.jsonl:2:");
}

TEST_F(TarvoxTool, SweepPrintsOneRowPerValueAndRefusesABadRange) {
  const ToolRun run = Run("sweep --vary temperature_C=0:200:50 --only MassDensity --format csv");
  ASSERT_EQ(run.status, 0) << run.err;
  std::istringstream lines(run.out);
  std::vector<double> densities;
  std::string text;
  std::getline(lines, text);
  EXPECT_EQ(text, "temperature_C,MassDensity");
  while (std::getline(lines, text)) densities.push_back(std::stod(text.substr(text.find(',') + 1)));
  ASSERT_EQ(densities.size(), 5u);
  EXPECT_GT(densities.front(), densities.back()) << "the well stream expands as it warms";
  ExpectRefused(Run("sweep --vary temperature_C=200:0:5"), "start <= stop");
  ExpectRefused(Run("sweep --vary Volume=1:2:1"), "Volume");
  ExpectRefused(Run("sweep --vary temperature_C=900:1100:100"), "1100");
}

TEST_F(TarvoxTool, EachCommandHasHelpAndTheToolItsVersion) {
  for (const char* command : {"--help", "calc --help", "sweep --help", "list --help"}) {
    const ToolRun run = Run(command);
    EXPECT_EQ(run.status, 0) << command;
    EXPECT_NE(run.out.find("Usage:"), std::string::npos) << command;
  }
  EXPECT_TRUE(std::regex_match(Run("--version").out, std::regex("[0-9]+\\.[0-9]+\\.[0-9]+\n")));
}

}  // namespace
