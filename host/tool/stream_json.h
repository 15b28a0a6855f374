// A stream in the form ReadStreamFile reads, so that a built-in sample can be handed to programs
// (the Python package) that take streams as JSON.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include "host/tool/stream_file.h"

namespace tarvox::tool {

nlohmann::ordered_json StreamJson(const StreamFile& file);

}  // namespace tarvox::tool
