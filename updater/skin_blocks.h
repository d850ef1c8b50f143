#pragma once
// The parameter blocks the updater hands to its resource library's exports ("InitDLG",
// "OnError", "OnConfirm", "OnProgress"). Each export takes one pointer to its block, C calling
// convention. A field that carries a pointer or a handle has the size of a pointer, so that a
// 64-bit library reads the same blocks; every other field is 32 bits.
#include <windows.h>
#include <oaidl.h>

#include <cstdint>

namespace kt::updater {

struct SkinInitBlock {
  HWND dialog;               // in
  HBITMAP background;        // out: replaces the built-in background when not null
  HBITMAP firstButton;       // out: cancel button image while a step runs
  HBITMAP secondButton;      // out: cancel button image while waiting
  std::int32_t minusOne;     // in: -1
  std::int32_t one;          // in: 1
  std::int32_t width;        // out: background width in pixels
  std::int32_t height;       // out: background height in pixels
  std::int32_t reserved[2];  // 0
};

struct SkinErrorBlock {
  HWND dialog;
  const char* fileName;
  std::int32_t errorCode;
  const char* errorMessage;
};

struct SkinConfirmBlock {
  HWND dialog;
  std::int32_t flag;          // the event's first argument
  VARIANT_BOOL* result;       // the event's answer
};

struct SkinProgressBlock {
  HWND dialog;
  const char* itemName;
  std::int32_t progress;
  std::int32_t maximum;
  const char* statusText;
};

// The block passed to "OnStartDownLoad" and "OnEndDownLoad": it carries nothing.
struct SkinEventBlock {
  std::int32_t unused[4];
};

// Every export with an argument; "Load", "UnLoad" and "LoadQuorix" take none.
using SkinExport = int(__cdecl*)(void* block);
using SkinNotice = int(__cdecl*)();

}  // namespace kt::updater
