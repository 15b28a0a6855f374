// One row of the class catalogue: everything that tells one correlation class from another.
#pragma once

#include <span>
#include <variant>

#include "calculator/property_calculator.h"
#include "common/com.h"

namespace tarvox {

// How Calculate drives the evaluator: which phases it evaluates and which inputs it reads.
enum class FrameKind {
  Standard,            // stream and the four phase slots
  FourPhase,           // stream, vapour and both liquids; the solid slot is empty
  OverallOnly,         // the stream only, from an evaluator without a phase argument
  FlowCost,            // standard, with the fuel-oil calorific value
  CO2Loading,          // standard, with the report basis
  ViscosityIdx,        // the stream only, with the three viscosity-index parameters
  Exergy,              // the stream only, with the reference temperature and pressure
  TrueVapourPressure,  // standard, holding IHostFluid2
  ReidVapourPressure,  // standard, holding IHostFluid2, with the non-condensable threshold
};

using Evaluator =
    std::variant<double (CPropertyCalculator::*)(int), double (CPropertyCalculator::*)(),
                 double (CPropertyCalculator::*)(int, double), double (CPropertyCalculator::*)(int, int),
                 double (CPropertyCalculator::*)(int, double, double),
                 double (CPropertyCalculator::*)(int, double, double, double)>;

enum class InputKind { Numeric, Enumeration };

// An input variable that FinalConstruct creates; `has_default` tells whether it writes one.
struct InputDefinition {
  const char* tagged_name;
  InputKind kind;
  int unit_type;
  bool has_default;
  double default_value;
};

struct ClassInfo {
  const char* name;          // the class name without its leading C
  const char* display_name;  // Windows-1252
  CLSID clsid;
  IID iid;        // the class's own dual interface
  int script_id;  // its registry script resource
  int unit_type;
  FrameKind frame;
  Evaluator evaluator;
  std::span<const InputDefinition> inputs;
  const char* coclass_help;
};

// The 52 classes in object-map order.
std::span<const ClassInfo> ClassCatalogue();
const ClassInfo* FindClass(REFCLSID clsid);
// The input of a class by tagged name; -1 when it has none of that name.
int FindInput(const ClassInfo& info, const char* tagged_name);

}  // namespace tarvox
