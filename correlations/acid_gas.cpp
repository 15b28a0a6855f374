// CO2 loading of a solvent, apparent CO2 concentrations per volume and per mass, and the CO2 and
// H2S partial pressures over a stream.
#include <cmath>

#include "calculator/property_calculator.h"
#include "correlations/component_identity.h"

namespace tarvox {

namespace {

constexpr double kCasSulfolane = 126330.0;
constexpr double kIdSolvent = 30065.0;
constexpr double kClassSolvent = 500.0;
constexpr double kClassSolventAlternative = 501.0;

bool Matches(double value, double identifier) { return component::RoundIdentifier(value) == identifier; }

// The presence part of the phase gate, on the state already loaded.
bool PhaseCounts(const FluidState& s, int phase) {
  switch (phase) {
    case kLiquid1:
    case kLiquid2:
      return s.PhasePresent[phase] == 1;
    case kFeed:
      return s.PhasePresent[kVapour] == 0 || s.PhaseFraction[kVapour] < 0.01;
    default:
      return false;
  }
}

// Loading and concentrations have a value only for a liquid, or for a stream with (almost) no vapour.
bool PassesPhaseGate(CPropertyCalculator& calculator, int phase) {
  return calculator.LoadFluidState() && PhaseCounts(calculator.State, phase);
}

// Molar flow of component i in a phase; EMPTY_VALUE when an input is empty.
double ComponentMolarFlow(const CPropertyCalculator& calculator, int phase, int i) {
  const FluidState& s = calculator.State;
  const double* x = calculator.Composition(phase);
  const double f = calculator.StreamMolarFlow;
  if (!x || x[i] == EMPTY_VALUE || f == EMPTY_VALUE) return EMPTY_VALUE;
  if (phase == kFeed) return f * x[i];
  const double beta = s.PhaseFraction[phase];
  return beta == EMPTY_VALUE ? EMPTY_VALUE : beta * f * x[i];
}

// Flow of component i on the loading's basis: 0 molar, 1 mass; any other basis adds nothing.
double ComponentFlow(const CPropertyCalculator& calculator, int phase, int i, int basis) {
  if (basis != 0 && basis != 1) return 0.0;
  const double molar = ComponentMolarFlow(calculator, phase, i);
  if (basis == 0 || molar == EMPTY_VALUE) return molar;
  const double weight = calculator.MolecularWeights[i];
  return weight == EMPTY_VALUE ? EMPTY_VALUE : molar * weight;
}

// Molar flow in the phase of the first component that is CO2 by its CAS number.
double CarbonDioxideMolarFlow(const CPropertyCalculator& calculator, int phase, const double* cas) {
  for (int i = 0; i < calculator.State.ComponentCount; ++i)
    if (Matches(cas[i], component::kCarbonDioxideCas)) return ComponentMolarFlow(calculator, phase, i);
  return EMPTY_VALUE;
}

bool IsSolvent(double cas, double id, double component_class) {
  return Matches(cas, kCasSulfolane) || Matches(id, kIdSolvent) || Matches(component_class, kClassSolvent) ||
         Matches(component_class, kClassSolventAlternative);
}

// The vapour partial pressure of the first component carrying `id` or `cas`; 0 when there is none.
double PartialPressure(CPropertyCalculator& calculator, double id, double cas) {
  if (!calculator.LoadFluidState()) return 0.0;
  const FluidState& s = calculator.State;
  if (s.PhasePresent[kVapour] != 1 || s.PhaseFraction[kVapour] <= 1e-6) return 0.0;
  const TaskArray<double> ids = calculator.ComponentArrayCopy("ComponentIDs");
  const TaskArray<double> cas_numbers = calculator.ComponentArrayCopy("CAS_Numbers");
  const double pressure = s.Pressure;
  const double* y = calculator.Composition(kVapour);
  if (!ids || pressure == EMPTY_VALUE || !cas_numbers || !y) return 0.0;
  for (int i = 0; i < s.ComponentCount; ++i) {
    if (!Matches(ids[i], id) && !Matches(cas_numbers[i], cas)) continue;
    if (y[i] == EMPTY_VALUE) return 0.0;
    // A product of finite values beyond the range of a double is no value, which these
    // evaluators report as 0; a factor that is no number stays one.
    const double partial_pressure = pressure * y[i];
    return std::isfinite(pressure) && std::isfinite(y[i]) && !std::isfinite(partial_pressure)
               ? 0.0
               : partial_pressure;
  }
  return 0.0;
}

}  // namespace

double CPropertyCalculator::GetCO2Loading(int phase, int basis) {
  if (!PassesPhaseGate(*this, phase)) return EMPTY_VALUE;
  TaskArray<double> ids, cas, classes;
  {
    const StateReuse reuse(*this);
    ids = ComponentArrayCopy("ComponentIDs");
    cas = ComponentArrayCopy("CAS_Numbers");
    classes = ComponentArrayCopy("ComponentClass");
  }
  if (!ids || !cas || !classes) return EMPTY_VALUE;

  double carbon_dioxide = 0.0;
  double solvent = 0.0;
  for (int i = 0; i < State.ComponentCount; ++i) {
    // An identity that is no number could be CO2 or solvent: the loading is unknown.
    if (!std::isfinite(cas[i]) || !std::isfinite(ids[i]) || !std::isfinite(classes[i])) return EMPTY_VALUE;
    const bool is_carbon_dioxide = Matches(cas[i], component::kCarbonDioxideCas);
    if (!is_carbon_dioxide && !IsSolvent(cas[i], ids[i], classes[i])) continue;
    const double flow = ComponentFlow(*this, phase, i, basis);
    if (is_carbon_dioxide) {
      carbon_dioxide = flow;  // with several CO2 entries the last one counts
    } else if (solvent != EMPTY_VALUE) {
      // An empty solvent flow leaves the whole solvent amount unknown.
      solvent = flow == EMPTY_VALUE ? EMPTY_VALUE : solvent + flow;
    }
  }
  if (solvent == EMPTY_VALUE || solvent == 0.0 || carbon_dioxide == EMPTY_VALUE) return EMPTY_VALUE;
  return carbon_dioxide / solvent;
}

double CPropertyCalculator::GetCO2AppMLCon(int phase) {
  if (!LoadFluidState() || phase == kVapour || phase == kSolid) return EMPTY_VALUE;
  // The volume is taken before the presence test, as the stream's own actual flow.
  const double volume = GetActVolumeFlow(phase);
  if (!PhaseCounts(State, phase)) return EMPTY_VALUE;
  const TaskArray<double> cas = Nested(*this, [&] { return ComponentArrayCopy("CAS_Numbers"); });
  if (!cas) return EMPTY_VALUE;
  const double carbon_dioxide = CarbonDioxideMolarFlow(*this, phase, cas.Get());
  if (carbon_dioxide == EMPTY_VALUE || volume == EMPTY_VALUE || volume == 0.0) return EMPTY_VALUE;
  return carbon_dioxide / volume;
}

double CPropertyCalculator::GetCO2AppWTCon(int phase) {
  if (!PassesPhaseGate(*this, phase)) return EMPTY_VALUE;
  TaskArray<double> cas, mass_flow;
  {
    const StateReuse reuse(*this);
    cas = ComponentArrayCopy("CAS_Numbers");
    mass_flow = TaskArray<double>(GetNamedArray("MassFlow", 1));
  }
  if (!cas || !mass_flow) return EMPTY_VALUE;

  // Taken before the mass phase fraction reloads the state, so the CAS copy matches the state read.
  const double carbon_dioxide = CarbonDioxideMolarFlow(*this, phase, cas.Get());
  const double stream_mass_flow = mass_flow[0];
  double phase_mass_flow = stream_mass_flow;
  if (phase != kFeed) {
    const double fraction = GetMassPhaseFraction(phase);
    phase_mass_flow = fraction == EMPTY_VALUE ? EMPTY_VALUE : fraction * stream_mass_flow;
  }
  if (stream_mass_flow == EMPTY_VALUE) phase_mass_flow = EMPTY_VALUE;

  if (carbon_dioxide == EMPTY_VALUE || phase_mass_flow == EMPTY_VALUE || phase_mass_flow == 0.0)
    return EMPTY_VALUE;
  return carbon_dioxide / phase_mass_flow;
}

double CPropertyCalculator::GetPartialPressureCO2() {
  return PartialPressure(*this, component::kCarbonDioxideId, component::kCarbonDioxideCas);
}

double CPropertyCalculator::GetPartialPressureH2S() {
  return PartialPressure(*this, component::kHydrogenSulphideId, component::kHydrogenSulphideCas);
}

}  // namespace tarvox
