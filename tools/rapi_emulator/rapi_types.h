// The structures of the remote API as its callers lay them out.
#pragma once

#include <windows.h>

#include "config/remote_api.h"

// Exported by name through the module definition file, which names the functions each build offers.
#define RAPI_EXPORT extern "C"

// The same layouts the device layer's callers use, under the names the library's contract gives them.
using RAPIINIT = kt::rapi::RapiInit;
using CE_FIND_DATA = kt::rapi::CeFindData;
static_assert(sizeof(CE_FIND_DATA) == 560, "find data as the device sends it");
