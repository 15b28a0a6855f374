// The platform's COM declarations: the real ones on Windows, our stand-in elsewhere.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>
#else
#include "tarvox_platform/com_runtime.h"
#include "tarvox_platform/module_image.h"
#endif
