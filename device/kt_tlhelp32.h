#pragma once
// Kt_Tlhelp32: one Tool Help snapshot (processes or the modules of one process) and its walk.
#include <windows.h>
#include <tlhelp32.h>

#include "device/unique_handle.h"

class Kt_Tlhelp32 {
 public:
  Kt_Tlhelp32() = default;
  Kt_Tlhelp32(const Kt_Tlhelp32&) = delete;
  Kt_Tlhelp32& operator=(const Kt_Tlhelp32&) = delete;

  // Takes a new snapshot (TH32CS_SNAPPROCESS = 2, TH32CS_SNAPMODULE = 8, ...), closing the
  // previous one. Returns false and leaves the thread's last error when it cannot be taken.
  bool Create(DWORD flags, DWORD processId);
  bool IsOpen() const { return snapshot_.Valid(); }
  void Close() { snapshot_.Reset(); }

  // The walks set the entry's size field before each call, as Tool Help requires.
  bool FirstProcess(PROCESSENTRY32& entry) const;
  bool NextProcess(PROCESSENTRY32& entry) const;
  bool FirstModule(MODULEENTRY32& entry) const;
  bool NextModule(MODULEENTRY32& entry) const;

 private:
  kt::device::UniqueHandle snapshot_;
};
