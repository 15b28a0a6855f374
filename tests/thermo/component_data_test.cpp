#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "tarvox/thermo/errors.hpp"
#include "tarvox/thermo/mixture.hpp"
#include "test_support.hpp"

namespace tarvox::thermo {
namespace {

TEST(ComponentDatabase, ExposesTableRowsByName) {
  const auto& db = testing::Database();
  EXPECT_EQ(db.components().size(), 34u);
  const auto& co2 = db.Get("carbon dioxide");
  EXPECT_EQ(co2.cas, 124389);
  EXPECT_EQ(co2.host_id, 14);
  EXPECT_EQ(co2.class_code, 1);
  EXPECT_DOUBLE_EQ(co2.critical_temperature, 304.21);
  EXPECT_DOUBLE_EQ(co2.critical_pressure, 7383.0);
  EXPECT_DOUBLE_EQ(co2.rackett_z, 0.2722);
  const auto& methane = db.Get("methane");
  EXPECT_DOUBLE_EQ(methane.cp_ig[4], 9.070574e-11);
  EXPECT_DOUBLE_EQ(methane.higher_heating_value, 890580.0);
  EXPECT_DOUBLE_EQ(methane.hydrogen_atoms, 4.0);
  EXPECT_EQ(db.Find("unobtainium"), nullptr);
  EXPECT_THROW(db.Get("unobtainium"), std::out_of_range);
}

TEST(ComponentDatabase, InteractionParametersAreSymmetricWithZeroDefault) {
  const auto& db = testing::Database();
  EXPECT_DOUBLE_EQ(db.Kij("methane", "water"), 0.485);
  EXPECT_DOUBLE_EQ(db.Kij("water", "methane"), 0.485);
  EXPECT_DOUBLE_EQ(db.Kij("hydrogen", "n-decane"), 0.0);  // listed as having no sourced value
}

TEST(ComponentDatabase, MixtureTakesPenelouxShiftAndKijFromTable) {
  const auto mixture = testing::DatabaseMixture({"methane", "water"});
  const auto& methane = testing::Database().Get("methane");
  EXPECT_DOUBLE_EQ(mixture.component(0).volume_shift,
                   0.50033 * (0.25969 - 0.2892) * 8.31446261815324 * 190.56 / 4599.0);
  EXPECT_DOUBLE_EQ(mixture.component(0).molar_mass, methane.molar_mass);
  EXPECT_DOUBLE_EQ(mixture.kij(0, 1), 0.485);
  EXPECT_EQ(mixture.water_index(), std::optional<std::size_t>(1));
  EXPECT_THROW(testing::DatabaseMixture({"methane", "unobtainium"}), std::out_of_range);
}

// Writes a small table pair into a scratch folder so that each malformed variant can be loaded.
class MalformedTables : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ =
        std::filesystem::temp_directory_path() /
        ("tarvox_thermo_csv_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::filesystem::path Write(const std::string& name, const std::string& text) {
    const auto path = dir_ / name;
    std::ofstream(path) << text;
    return path;
  }

  static std::string Components(const std::string& methane_tc) {
    const std::string header =
        "name,formula,cas,host_id,class_code,mw_kg_per_kmol,tc_K,pc_kPa,omega,vc_m3_per_kmol,zra,tb_K,"
        "std_liq_density_kg_m3,cp_ig_A,cp_ig_B,cp_ig_C,cp_ig_D,cp_ig_E,cp_tmin_K,cp_tmax_K,lhv_kJ_per_kmol,"
        "hhv_kJ_per_kmol,h_atoms,source_notes\n";
    return header + "methane,CH4,74828,1,0,16.04246," + methane_tc +
           ",4599,0.0115,0.0986,0.2892,111.66,300,37.9,-0.07,0.0003,-2.8e-07,9.0e-11,50,1000,802554,890580,4,"
           "\"note, with comma\"\n"
           "ethane,C2H6,74840,2,0,30.06904,305.32,4872,0.0995,0.1455,0.2808,184.55,355.93,34.7,-0.03,0.0004,"
           "-5.5e-07,2.0e-10,50,1000,1428651,1560690,6,\"\"\n";
  }

  // Loads and returns the error; fails the test when loading succeeds.
  DataFileError LoadError(const std::filesystem::path& components, const std::filesystem::path& kij) {
    try {
      ComponentDatabase::Load(components, kij);
    } catch (const DataFileError& e) {
      return e;
    }
    ADD_FAILURE() << "malformed table was accepted";
    return DataFileError("", 0, "", "");
  }

  std::filesystem::path dir_;
  const std::string kij_ok_ = "component_a,component_b,kij,source\nethane,methane,0.0026,\"x\"\n";
};

TEST_F(MalformedTables, WellFormedTablesLoad) {
  const auto db = ComponentDatabase::Load(Write("c.csv", Components("190.56")), Write("k.csv", kij_ok_));
  EXPECT_DOUBLE_EQ(db.Kij("methane", "ethane"), 0.0026);
  EXPECT_EQ(db.components().size(), 2u);
}

TEST_F(MalformedTables, QuotedFieldsBlankAndWindowsLinesReadAsWritten) {
  std::string text = Components("190.56");
  text.replace(text.find("ethane,C2H6"), 11, "\"eth\"ane,\"C2\"\"H6\"\"\"");
  std::string lines;  // Windows line ends, and a blank line after the header
  for (const char c : text) lines += c == '\n' ? std::string("\r\n") : std::string(1, c);
  const std::size_t header_end = lines.find('\n') + 1;
  text = lines.substr(0, header_end) + "\r\n" + lines.substr(header_end);
  const auto write_as_is = [&](const char* name, const std::string& content) {  // no line end translation
    std::ofstream(dir_ / name, std::ios::binary) << content;
    return dir_ / name;
  };
  const auto db = ComponentDatabase::Load(write_as_is("c.csv", text), Write("k.csv", kij_ok_));
  ASSERT_EQ(db.components().size(), 2u);
  EXPECT_EQ(db.Get("ethane").formula, "C2\"H6\"");
  EXPECT_EQ(db.Get("methane").hydrogen_atoms, 4);
  const auto e = LoadError(write_as_is("c2.csv", text + "propane,C3H8,\"74986\n"), Write("k.csv", kij_ok_));
  EXPECT_EQ(e.line(), 5u) << "the blank line counts";
}

TEST_F(MalformedTables, BadNumberNamesFileLineAndColumn) {
  const auto e = LoadError(Write("c.csv", Components("19O.56")), Write("k.csv", kij_ok_));
  EXPECT_EQ(e.line(), 2u);
  EXPECT_EQ(e.column(), "tc_K");
  EXPECT_NE(std::string(e.what()).find("c.csv:2 column 'tc_K'"), std::string::npos) << e.what();
}

TEST_F(MalformedTables, NonPhysicalCriticalTemperatureIsRejected) {
  const auto e = LoadError(Write("c.csv", Components("-190.56")), Write("k.csv", kij_ok_));
  EXPECT_EQ(e.column(), "tc_K");
}

TEST_F(MalformedTables, MissingColumnAndWrongFieldCountAreReported) {
  auto text = Components("190.56");
  const auto header_end = text.find('\n');
  std::string without_zra = text;
  without_zra.replace(without_zra.find(",zra,"), 5, ",zrb,");
  EXPECT_EQ(LoadError(Write("c.csv", without_zra), Write("k.csv", kij_ok_)).column(), "zra");

  std::string short_row = text.substr(0, header_end + 1) + "methane,CH4,74828\n";
  const auto e = LoadError(Write("c2.csv", short_row), Write("k.csv", kij_ok_));
  EXPECT_EQ(e.line(), 2u);
}

TEST_F(MalformedTables, InteractionTableErrorsAreReported) {
  const auto components = Write("c.csv", Components("190.56"));
  const auto unknown =
      LoadError(components, Write("k1.csv", "component_a,component_b,kij,source\nethane,argon,0.1,x\n"));
  EXPECT_EQ(unknown.column(), "component_b");
  EXPECT_EQ(unknown.line(), 2u);
  const auto bad =
      LoadError(components, Write("k2.csv", "component_a,component_b,kij,source\nethane,methane,,x\n"));
  EXPECT_EQ(bad.column(), "kij");
  const auto twice = LoadError(
      components,
      Write("k3.csv", "component_a,component_b,kij,source\nethane,methane,0.1,x\nmethane,ethane,0.1,x\n"));
  EXPECT_EQ(twice.line(), 3u);
}

TEST_F(MalformedTables, MissingFileIsReported) {
  const auto e = LoadError(dir_ / "absent.csv", Write("k.csv", kij_ok_));
  EXPECT_EQ(e.line(), 0u);
  EXPECT_NE(std::string(e.what()).find("absent.csv"), std::string::npos);
}

}  // namespace
}  // namespace tarvox::thermo
