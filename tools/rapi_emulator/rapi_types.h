// The structures of the remote API as its callers lay them out.
#pragma once

#include <windows.h>

// Exported by name through the module definition file, which names the functions each build offers.
#define RAPI_EXPORT extern "C"

struct RAPIINIT {
    DWORD cbSize;
    HANDLE heRapiInit;
    HRESULT hrRapiInit;
};

struct CE_FIND_DATA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
};
static_assert(sizeof(CE_FIND_DATA) == 560, "find data as the device sends it");
