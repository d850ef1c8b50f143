// A sample resource library for the updater ("SKINPACK.DLL"): it carries its own strings and
// answers every export the updater looks up. Each call is appended to "skin.log" beside the
// library, so that tests see which exports ran and with what. Its answers are chosen by the
// environment: KT_SKIN_HANDLE=1 makes "OnError" and "OnConfirm" report that they handled the event
// ("OnConfirm" then answers 1).
#include <windows.h>
#include <oaidl.h>

#include <cstdio>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <string>

#include "updater/skin_blocks.h"

namespace {

HMODULE g_module = nullptr;

std::string LogPath() {
  char path[MAX_PATH] = {0};
  const DWORD length = ::GetModuleFileNameA(g_module, path, MAX_PATH);
  std::string file(path, length);
  return file.substr(0, file.find_last_of('\\') + 1) + "skin.log";
}

void Log(const char* format, ...) {
  std::FILE* file = std::fopen(LogPath().c_str(), "ab");
  if (file == nullptr) return;
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(file, format, arguments);
  va_end(arguments);
  std::fputc('\n', file);
  std::fclose(file);
}

bool Handles() {
  const char* value = std::getenv("KT_SKIN_HANDLE");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

}  // namespace

using namespace kt::updater;

extern "C" {

__declspec(dllexport) int __cdecl Load() {
  Log("Load");
  return 0;
}

__declspec(dllexport) int __cdecl UnLoad() {
  Log("UnLoad");
  return 0;
}

// A plain background of 300 by 120 pixels in the library's own colour; the buttons stay the
// updater's.
__declspec(dllexport) int __cdecl InitDLG(void* argument) {
  auto* block = static_cast<SkinInitBlock*>(argument);
  Log("InitDLG %d %d %s", block->minusOne, block->one, block->dialog != nullptr ? "window" : "none");
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 300, 120);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  RECT all{0, 0, 300, 120};
  HBRUSH brush = ::CreateSolidBrush(RGB(0x3f, 0x9f, 0x5f));
  ::FillRect(memory, &all, brush);
  ::DeleteObject(brush);
  ::SelectObject(memory, previous);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  block->background = bitmap;
  block->width = 300;
  block->height = 120;
  return 0;
}

__declspec(dllexport) int __cdecl LoadQuorix() {
  Log("LoadQuorix");
  return 0;
}

__declspec(dllexport) int __cdecl OnError(void* argument) {
  auto* block = static_cast<SkinErrorBlock*>(argument);
  Log("OnError %s|%ld|%s", block->fileName, static_cast<long>(block->errorCode), block->errorMessage);
  return Handles() ? 1 : 0;
}

__declspec(dllexport) int __cdecl OnStartDownLoad(void*) {
  Log("OnStartDownLoad");
  return 0;
}

__declspec(dllexport) int __cdecl OnEndDownLoad(void*) {
  Log("OnEndDownLoad");
  return 0;
}

__declspec(dllexport) int __cdecl OnConfirm(void* argument) {
  auto* block = static_cast<SkinConfirmBlock*>(argument);
  Log("OnConfirm %ld", static_cast<long>(block->flag));
  if (!Handles()) return 0;
  if (block->result != nullptr) *block->result = 1;
  return 1;
}

__declspec(dllexport) int __cdecl OnProgress(void* argument) {
  auto* block = static_cast<SkinProgressBlock*>(argument);
  Log("OnProgress %s %ld/%ld", block->itemName, static_cast<long>(block->progress), static_cast<long>(block->maximum));
  return 0;
}

}  // extern "C"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}
