#include <cstring>

#include "common/guid.h"
#include "framework/class_info.h"

namespace tarvox {

namespace {

constexpr InputDefinition kFlowCostInputs[] = {
    {"FuelOilCalorificValue", InputKind::Numeric, 30, false, 0.0},
};
constexpr InputDefinition kReidVapourPressureInputs[] = {
    {"RemoveNCmolPercent", InputKind::Numeric, 64, true, 0.0},
};
constexpr InputDefinition kViscosityIdxInputs[] = {
    {"ViscIndexParamA", InputKind::Numeric, -1, true, 33.468},
    {"ViscIndexParamB", InputKind::Numeric, -1, true, 23.097},
    {"ViscIndexParamC", InputKind::Numeric, -1, true, 0.8},
};
constexpr InputDefinition kCO2LoadingInputs[] = {
    {"ReportBasis", InputKind::Enumeration, -1, false, 0.0},
};
constexpr InputDefinition kExergyInputs[] = {
    {"ExergyRefTempValue", InputKind::Numeric, 1, true, 25.0},
    {"ExergyRefPresValue", InputKind::Numeric, 2, true, 101.325},
};

#define EVALUATOR(f) Evaluator(&CPropertyCalculator::f)
#define NO_INPUTS std::span<const InputDefinition>()
#define INPUTS(table) std::span<const InputDefinition>(table)
#define TARVOX_CLASS(name, display, clsid, iid, script, unit, frame, evaluator, inputs, help) \
  ClassInfo{#name, display,          ParseGuid(clsid), ParseGuid(iid), script,                \
            unit,  FrameKind::frame, evaluator,        inputs,         help},

const ClassInfo kCatalogue[] = {
#include "resources/classes.def"
};

#undef TARVOX_CLASS
#undef INPUTS
#undef NO_INPUTS
#undef EVALUATOR

static_assert(std::size(kCatalogue) == 52);

}  // namespace

std::span<const ClassInfo> ClassCatalogue() { return kCatalogue; }

const ClassInfo* FindClass(REFCLSID clsid) {
  for (const ClassInfo& info : kCatalogue)
    if (IsEqualGUID(info.clsid, clsid)) return &info;
  return nullptr;
}

int FindInput(const ClassInfo& info, const char* tagged_name) {
  for (std::size_t i = 0; i < info.inputs.size(); ++i)
    if (std::strcmp(info.inputs[i].tagged_name, tagged_name) == 0) return static_cast<int>(i);
  return -1;
}

}  // namespace tarvox
