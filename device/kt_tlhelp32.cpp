#include "device/kt_tlhelp32.h"

bool Kt_Tlhelp32::Create(DWORD flags, DWORD processId) {
  Close();
  HANDLE snapshot = ::CreateToolhelp32Snapshot(flags, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  snapshot_.Reset(snapshot);
  return true;
}

bool Kt_Tlhelp32::FirstProcess(PROCESSENTRY32& entry) const {
  entry.dwSize = sizeof(entry);
  return IsOpen() && ::Process32First(snapshot_.Get(), &entry);
}

bool Kt_Tlhelp32::NextProcess(PROCESSENTRY32& entry) const {
  entry.dwSize = sizeof(entry);
  return IsOpen() && ::Process32Next(snapshot_.Get(), &entry);
}

bool Kt_Tlhelp32::FirstModule(MODULEENTRY32& entry) const {
  entry.dwSize = sizeof(entry);
  return IsOpen() && ::Module32First(snapshot_.Get(), &entry);
}

bool Kt_Tlhelp32::NextModule(MODULEENTRY32& entry) const {
  entry.dwSize = sizeof(entry);
  return IsOpen() && ::Module32Next(snapshot_.Get(), &entry);
}
