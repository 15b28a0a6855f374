// The two hosts the benchmarks run the module against: the Peng-Robinson host fluid of a stream,
// and a scripted fluid that mirrors that fluid's state, named arrays and viscosities but answers
// every flash at once with the stream's own split — what remains is the module's own cost.
#pragma once

#include <string>

#include "common/com_ptr.h"
#include "host/fluid/peng_robinson_fluid.h"
#include "host/fluid/stream_conditions.h"
#include "host/scripted/scripted_fluid.h"

namespace tarvox::bench {

// The Peng-Robinson fluid of `stream`; throws std::runtime_error when the stream is invalid.
ComPtr<host::PengRobinsonFluid> PengRobinsonStream(const host::StreamConditions& stream);

// The built-in well stream of the tool.
ComPtr<host::PengRobinsonFluid> WellStream();

// A scripted copy of `fluid` whose flashes cost nothing.
ComPtr<host::ScriptedFluid> ScriptedMirror(host::PengRobinsonFluid& fluid);

}  // namespace tarvox::bench
