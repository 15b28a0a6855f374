// Where the host finds its component tables: beside the running program first, then in an
// installed share folder, and last in the source tree it was built from.
#pragma once

#include <filesystem>
#include <memory>

#include "tarvox/thermo/component_data.hpp"

namespace tarvox::host {

// The folder holding components.csv and kij_pr.csv; throws std::runtime_error naming the places
// searched when none holds them.
std::filesystem::path FindComponentDataFolder();

// The component tables, loaded once per process (loading errors propagate as exceptions).
std::shared_ptr<const thermo::ComponentDatabase> SharedComponentDatabase();

}  // namespace tarvox::host
