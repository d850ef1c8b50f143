#include "dataset/model/col_info.h"

#include "dataset/text/compare.h"

Kt_ColInfoHandler& Kt_ColInfoHandler::Instance() noexcept {
  static Kt_ColInfoHandler handler;
  return handler;
}

int Kt_ColInfoHandler::Compare(const void* a, const void* b) const noexcept {
  return CompareNoCase(static_cast<const Kt_ColInfo*>(a)->id.c_str(), static_cast<const Kt_ColInfo*>(b)->id.c_str());
}
