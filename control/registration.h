#pragma once
// What registering the control library writes to HKEY_CLASSES_ROOT: the three classes with their
// program identifiers, the type library, and the association of launch descriptions (".qrd2")
// with the updater program beside the library.
#include <windows.h>

#include <string>

namespace kt::control {

// Writes the file association (each key as far as it can be created), then the classes and the
// type library; the result is that of the class registration.
HRESULT RegisterServer(HMODULE module);

// Removes the classes, program identifiers and type library; the file association stays, since
// launch descriptions on the machine still open with the updater program.
HRESULT UnregisterServer(HMODULE module);

// The open command written for ".qrd2" files: the updater's path in quotes, then "%1" in quotes.
std::string OpenCommandFor(const std::string& updaterPath);

}  // namespace kt::control
