#include <iterator>

#include "calculator/property_calculator.h"
#include "common/guid.h"
#include "framework/class_info.h"

namespace tarvox {

namespace {

#define FRAME(phases, fluid2) EvaluatedPhases::phases, fluid2
#define HOLDS_FLUID2 true
#define NO_FLUID2 false
#define EVALUATOR(f) Evaluator(&CPropertyCalculator::f)
#define NO_INPUTS InputList()
#define INPUTS(...) InputList({__VA_ARGS__})
#define TARVOX_CLASS(name, display, clsid, iid, script, unit, frame, evaluator, inputs, help) \
  ClassInfo{#name, display, ParseGuid(clsid), ParseGuid(iid), script, unit, frame, evaluator, inputs, help},

// Rows name only the input fields that differ from their defaults; GCC 12 warns about the
// others although their default member initialisers apply.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
const ClassInfo kCatalogue[] = {
#include "resources/classes.def"
};
#pragma GCC diagnostic pop

#undef TARVOX_CLASS
#undef INPUTS
#undef NO_INPUTS
#undef EVALUATOR
#undef NO_FLUID2
#undef HOLDS_FLUID2
#undef FRAME

static_assert(std::size(kCatalogue) == 52);

}  // namespace

std::span<const ClassInfo> ClassCatalogue() { return kCatalogue; }

}  // namespace tarvox
