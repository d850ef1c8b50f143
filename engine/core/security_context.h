#pragma once
// The security context that decides whether an item with a UACFIX value applies in this run. It is
// read once per merge (engine/privilege_checks.h) and passed to the list logic as plain data, so
// that the list logic itself needs no operating system.

namespace kt::engine {

struct SecurityContext {
  bool uacSystem = false;       // the operating system has User Account Control (major version > 5)
  bool uacEnabled = false;      // UAC is switched on
  bool elevated = false;        // the process runs elevated
  bool administrators = false;  // the user is a member of the Administrators group
};

}  // namespace kt::engine
