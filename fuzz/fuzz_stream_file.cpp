// Reads arbitrary text as a stream file: the reader either refuses it with a message or yields a
// stream that a host fluid can take as it stands.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "host/tool/stream_file.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  tarvox::tool::StreamFile file;
  try {
    file = tarvox::tool::ReadStreamFile(text);
  } catch (const tarvox::tool::StreamFileError& refused) {
    Require(*refused.what() != '\0');  // a refusal always says why
    return 0;
  }
  const tarvox::host::StreamConditions& stream = file.stream;
  Require(std::isfinite(stream.temperature_c) && std::isfinite(stream.pressure_kpa) &&
          std::isfinite(stream.molar_flow_kmol_h) && std::isfinite(stream.cost_factor));
  Require(!stream.components.empty() && stream.components.size() == stream.composition.size());
  double sum = 0.0;
  for (double x : stream.composition) {
    Require(std::isfinite(x) && x >= 0.0);
    sum += x;
  }
  Require(std::fabs(sum - 1.0) < 1e-9);
  Require(stream.flow_basis >= 0 && stream.flow_basis <= tarvox::host::kLargestFlowBasis);
  return 0;
}
