#include "dataset/values/list_handlers.h"

Kt_AStringHandler& Kt_AStringHandler::Instance() noexcept {
  static Kt_AStringHandler handler;
  return handler;
}

int Kt_AStringHandler::Compare(const void* a, const void* b) const noexcept {
  return static_cast<const Kt_AString*>(a)->Compare(*static_cast<const Kt_AString*>(b));
}

Kt_WStringHandler& Kt_WStringHandler::Instance() noexcept {
  static Kt_WStringHandler handler;
  return handler;
}

int Kt_WStringHandler::Compare(const void* a, const void* b) const noexcept {
  return static_cast<const Kt_WString*>(a)->Compare(*static_cast<const Kt_WString*>(b));
}

Kt_BufferHandler& Kt_BufferHandler::Instance() noexcept {
  static Kt_BufferHandler handler;
  return handler;
}

int Kt_BufferHandler::Compare(const void* a, const void* b) const noexcept {
  return static_cast<const Kt_Buffer*>(a)->Compare(*static_cast<const Kt_Buffer*>(b));
}

Kt_VariantHandler& Kt_VariantHandler::Instance() noexcept {
  static Kt_VariantHandler handler;
  return handler;
}

int Kt_VariantHandler::Compare(const void*, const void*) const noexcept { return -1; }
