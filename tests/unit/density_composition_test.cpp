#include <gtest/gtest.h>

#include "tests/support/scripted_stream.h"

namespace tarvox {
namespace {

using testing::BoundFluid;
using testing::ThreePhaseFluid;

TEST(DensityComposition, MolecularWeightOfEachPhaseIsTheMoleFractionWeightedSum) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetMolecularWeight(0), 0.95 * 16.04246 + 0.03 * 86.17536 + 0.02 * 18.01528, 1e-12);
  EXPECT_NEAR(calc->GetMolecularWeight(1), 0.15 * 16.04246 + 0.84 * 86.17536 + 0.01 * 18.01528, 1e-12);
  EXPECT_EQ(calc->GetMolecularWeight(3), EMPTY_VALUE);  // composition starts with the empty marker
}

TEST(DensityComposition, MolarDensityOfTheStreamSumsPhaseVolumes) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_NEAR(calc->GetMolarDensity(1), 1.0 / 0.14, 1e-12);
  EXPECT_NEAR(calc->GetMolarDensity(4), 1.0 / (0.5 * 0.80 + 0.3 * 0.14 + 0.2 * 0.019), 1e-12);
  EXPECT_EQ(calc->GetMolarDensity(3), EMPTY_VALUE);
}

TEST(DensityComposition, ZFactorOfAStreamWithSeveralPhasesIsEmpty) {
  auto fluid = ThreePhaseFluid();
  BoundFluid calc(fluid.Get());
  EXPECT_EQ(calc->GetZFactor(4), EMPTY_VALUE);
  EXPECT_NEAR(calc->GetZFactor(0), 3000.0 * 0.80 / (40.0 + 273.15) / 8.31432, 1e-12);
}

}  // namespace
}  // namespace tarvox
