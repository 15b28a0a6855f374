#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <type_traits>

#include "entry_point.hpp"
#include "mixtures.hpp"
#include "properties.hpp"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tarvox::electrolyte {
namespace {

#if defined(_WIN32)
struct LibraryCloser {
  void operator()(HMODULE handle) const { FreeLibrary(handle); }
};
using LibraryHandle = std::unique_ptr<std::remove_pointer_t<HMODULE>, LibraryCloser>;

// As the module does: by full path, from the folder of the executable.
LibraryHandle load_library() {
  char executable[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, executable, MAX_PATH);
  std::string path(executable, length);
  path = path.substr(0, path.find_last_of("\\/") + 1) + TVXELYTE_LIBRARY_NAME;
  return LibraryHandle(LoadLibraryA(path.c_str()));
}

GetZKTPropSysPropSetPropertyFunction find_entry_point(const LibraryHandle& library) {
  return reinterpret_cast<GetZKTPropSysPropSetPropertyFunction>(
      reinterpret_cast<void*>(GetProcAddress(library.get(), "GetZKTPropSysPropSetProperty")));
}
#else
struct LibraryCloser {
  void operator()(void* handle) const { dlclose(handle); }
};
using LibraryHandle = std::unique_ptr<void, LibraryCloser>;

LibraryHandle load_library() { return LibraryHandle(dlopen(TVXELYTE_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL)); }

GetZKTPropSysPropSetPropertyFunction find_entry_point(const LibraryHandle& library) {
  return reinterpret_cast<GetZKTPropSysPropSetPropertyFunction>(
      dlsym(library.get(), "GetZKTPropSysPropSetProperty"));
}
#endif

constexpr double kRoomTemperature = 298.15;
constexpr double kAtmosphere = 101325.0;

class LoadedLibrary : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = load_library();
    ASSERT_TRUE(library_) << "cannot load " << TVXELYTE_LIBRARY_PATH;
    entry_point_ = find_entry_point(library_);
    ASSERT_NE(entry_point_, nullptr);
  }

  double call(const char* key, const testing::Mixture& mixture, int phase_code = 2,
              double temperature_K = kRoomTemperature) const {
    double result = -1.0;
    entry_point_(key, temperature_K, kAtmosphere, mixture.count(), mixture.fractions.data(),
                 mixture.ids.data(), 0, phase_code, &result);
    return result;
  }

  LibraryHandle library_;
  GetZKTPropSysPropSetPropertyFunction entry_point_ = nullptr;
};

TEST_F(LoadedLibrary, PureWaterWithInertGasIsNeutral) {
  const auto water_and_methane = testing::mixture_from_molalities({{1, 0.5}, {13, 0.2}});
  EXPECT_NEAR(call("PH      ", water_and_methane), 7.00, 0.01);
  EXPECT_NEAR(call("POH     ", water_and_methane), 7.00, 0.01);
  EXPECT_NEAR(call("IONSX   ", water_and_methane), 1.0e-7, 0.01e-7);
}

TEST_F(LoadedLibrary, OnlyTheWaterOfAThreePhaseStreamHasAPh) {
  // Water, n-decane (12) as the oil and methane (1) as the gas, with sour gas in all three.
  const auto three_phases = testing::mixture_from_molalities(
      {{12, 20.0}, {1, 30.0}, {host_id::kCarbonDioxide, 2.0}, {host_id::kHydrogenSulfide, 1.0}});
  const double stream_water = call("PH      ", three_phases, 2);
  EXPECT_GT(stream_water, 3.0);
  EXPECT_LT(stream_water, 5.0);
  EXPECT_EQ(call("PH      ", three_phases, 4), stream_water);
  EXPECT_EQ(call("PH      ", three_phases, 6), kNoValueMarker);
}

// The library remembers the last stream's partition; a stream that differs in any one input is new.
TEST_F(LoadedLibrary, EachCallAnswersForItsOwnStream) {
  auto sour = testing::mixture_from_molalities({{1, 5.0}, {host_id::kCarbonDioxide, 1.0}});
  const double first = call("PH      ", sour);
  EXPECT_EQ(call("PH      ", sour), first);
  EXPECT_NE(call("PH      ", sour, 2, kRoomTemperature + 10.0), first);
  sour.fractions[2] *= 2.0;
  EXPECT_NE(call("PH      ", sour), first);
  sour.fractions[2] /= 2.0;
  sour.ids[1] = host_id::kAmmonia;  // instead of methane
  EXPECT_NE(call("PH      ", sour), first);
}

TEST_F(LoadedLibrary, WritesTheMarkerWhereThereIsNoValue) {
  const auto no_water = testing::Mixture{{host_id::kCarbonDioxide, 1}, {0.5, 0.5}};
  EXPECT_EQ(call("PH      ", no_water), kNoValueMarker);
  const auto pure_water = testing::mixture_from_molalities({});
  EXPECT_EQ(call("OSMOT   ", pure_water), kNoValueMarker);
  EXPECT_EQ(call("SOLINDEX", pure_water), kNoValueMarker);
  EXPECT_EQ(call("DENSITY ", pure_water), kNoValueMarker);
  EXPECT_EQ(call("PH      ", pure_water, 2, 600.0), kNoValueMarker);
  EXPECT_EQ(call("PH      ", pure_water, 2, INFINITY), kNoValueMarker);
}

TEST_F(LoadedLibrary, SurvivesBrokenArguments) {
  const std::int32_t ids[] = {host_id::kWater, host_id::kCarbonDioxide};
  const double fractions[] = {0.99, 0.01};
  const double not_a_number[] = {0.99, std::nan("")};
  const auto result_of = [&](const char* key, std::int32_t count, const double* x, const std::int32_t* id) {
    double result = -1.0;
    entry_point_(key, kRoomTemperature, kAtmosphere, count, x, id, 0, 2, &result);
    return result;
  };
  EXPECT_LT(result_of("PH      ", 2, fractions, ids), 7.0);
  EXPECT_EQ(result_of(nullptr, 2, fractions, ids), kNoValueMarker);
  EXPECT_EQ(result_of("PH      ", 0, fractions, ids), kNoValueMarker);
  EXPECT_EQ(result_of("PH      ", -1, fractions, ids), kNoValueMarker);
  EXPECT_EQ(result_of("PH      ", 2, nullptr, ids), kNoValueMarker);
  EXPECT_EQ(result_of("PH      ", 2, fractions, nullptr), kNoValueMarker);
  EXPECT_EQ(result_of("PH      ", 2, not_a_number, ids), kNoValueMarker);
  EXPECT_NE(entry_point_("PH      ", kRoomTemperature, kAtmosphere, 2, fractions, ids, 0, 2, nullptr), 0);
}

}  // namespace
}  // namespace tarvox::electrolyte
