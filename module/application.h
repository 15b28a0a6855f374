// The module's application object, on a small application base of our own: the framework runs
// InitInstance when the library is loaded into a process and ExitInstance when it is unloaded.
#pragma once

#include "common/com.h"

namespace tarvox {

class CModuleApp {
 public:
  virtual ~CModuleApp() = default;
  virtual BOOL InitInstance() { return TRUE; }
  virtual int ExitInstance() { return 0; }
};

class CTarvoxApp : public CModuleApp {
 public:
  BOOL InitInstance() override;
  int ExitInstance() override;
};

}  // namespace tarvox
