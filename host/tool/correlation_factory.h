// Creates correlations by ProgID ("Tarvox.<Class>") through the COM run time, as a host does.
#pragma once

#include <string>

#include "common/com_ptr.h"
#include "framework/correlation_interface.h"

namespace tarvox::tool {

// Prepares COM for the tool's thread; on the native platform it also registers the module
// beside the executable when its classes are not registered yet.
class ComSession {
 public:
  ComSession();
  ~ComSession();
  ComSession(const ComSession&) = delete;
  ComSession& operator=(const ComSession&) = delete;
};

// The correlation of class `name`; empty with `error` set when it cannot be created.
ComPtr<ICorrelation> CreateCorrelation(const std::string& name, std::string& error);

}  // namespace tarvox::tool
