#include "solute_totals.hpp"

namespace tarvox::electrolyte {

bool SoluteTotals::any() const {
  return any_acid_gas() || ammonia > 0.0 || mea > 0.0 || dea > 0.0 || mdea > 0.0;
}

}  // namespace tarvox::electrolyte
