// One row of the class catalogue: the whole description of a correlation class. The Calculate
// frame, the class factory and registration read nothing else.
#pragma once

#include <array>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>
#include <variant>

#include "common/com.h"

namespace tarvox {

class CPropertyCalculator;

// The phases whose values the frame evaluates; the other written slots receive EMPTY_VALUE.
enum class EvaluatedPhases {
  kAll,          // the stream and the four phases
  kAllButSolid,  // the stream, the vapour and both liquids
  kStreamOnly,   // the stream alone
};

// An evaluator takes the phase (unless it describes the stream as a whole) and then the class's
// inputs in row order; an enumeration input arrives as its item index.
using Evaluator =
    std::variant<double (CPropertyCalculator::*)(int), double (CPropertyCalculator::*)(),
                 double (CPropertyCalculator::*)(int, double), double (CPropertyCalculator::*)(int, int),
                 double (CPropertyCalculator::*)(int, double, double),
                 double (CPropertyCalculator::*)(int, double, double, double)>;

enum class InputKind { kNumeric, kEnumeration };

// When Calculate reads an input: once the fluid is obtained and before it is bound, or once
// "Phase_Values" is found and before the first evaluation.
enum class ReadAt { kBeforeBinding, kBeforeEvaluation };

// An input variable of a class. An absent variable reads as `fallback` (EMPTY_VALUE without one);
// a numeric variable holding EMPTY_VALUE or a non-finite value reads as the fallback too when
// there is one, and gets it written back when `write_back` says so. An absent enumeration reads
// as item 0.
struct InputDefinition {
  const char* tagged_name = nullptr;
  InputKind kind = InputKind::kNumeric;
  int unit_type = -1;
  std::optional<double> initial;  // written when the object is created
  ReadAt read = ReadAt::kBeforeEvaluation;
  std::optional<double> fallback;
  bool write_back = false;
};

// The inputs of one class, held in its row.
class InputList {
 public:
  static constexpr std::size_t kCapacity = 3;
  constexpr InputList() = default;
  constexpr InputList(std::initializer_list<InputDefinition> inputs) {
    for (const InputDefinition& input : inputs) items_[count_++] = input;
  }
  constexpr const InputDefinition* begin() const { return items_.data(); }
  constexpr const InputDefinition* end() const { return items_.data() + count_; }
  constexpr std::size_t size() const { return count_; }
  constexpr const InputDefinition& operator[](std::size_t i) const { return items_[i]; }

 private:
  std::array<InputDefinition, kCapacity> items_{};
  std::size_t count_ = 0;
};

struct ClassInfo {
  const char* name;          // the class name without its leading C
  const char* display_name;  // Windows-1252
  CLSID clsid;
  IID iid;        // the class's own dual interface
  int script_id;  // its registry script resource
  int unit_type;
  EvaluatedPhases phases;
  bool holds_fluid2;  // the frame obtains IHostFluid2 and holds it while evaluating
  Evaluator evaluator;
  InputList inputs;
  const char* coclass_help;
};

// The 52 classes in object-map order.
std::span<const ClassInfo> ClassCatalogue();

}  // namespace tarvox
