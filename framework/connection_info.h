#pragma once

#include "common/com_ptr.h"
#include "framework/host_variables.h"

namespace tarvox {

// One connected stream of a correlation.
class CConnectionInfo {
 public:
  CConnectionInfo(LONG handle, LONG cookie, ComPtr<IVariableSet> variables, ComPtr<ICorrelationSite> site)
      : Handle(handle), Cookie(cookie), Variables(std::move(variables)), Site(std::move(site)) {}
  CConnectionInfo(const CConnectionInfo&) = delete;
  CConnectionInfo& operator=(const CConnectionInfo&) = delete;
  // Releases the site first, then the connection's clone of the result set.
  virtual ~CConnectionInfo() {
    Site.Reset();
    Variables.Reset();
  }

  LONG Handle = -1;
  LONG Cookie = -1;  // always the record's position among the connections plus one
  ComPtr<IVariableSet> Variables;
  ComPtr<ICorrelationSite> Site;
};

}  // namespace tarvox
