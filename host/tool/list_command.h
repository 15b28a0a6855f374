#pragma once

namespace tarvox::tool {

// `tarvox list`: every correlation with its display name, ProgID, CLSID, unit and inputs, read
// from live objects. Returns the process exit status.
int ListCorrelations();

}  // namespace tarvox::tool
