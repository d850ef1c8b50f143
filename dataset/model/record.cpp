#include "dataset/model/record.h"

Kt_RecordHandler& Kt_RecordHandler::Instance() noexcept {
  static Kt_RecordHandler handler;
  return handler;
}

void* Kt_RecordHandler::Construct(void* storage) noexcept { return new (storage) Kt_Record(); }

void Kt_RecordHandler::Destroy(void* element) noexcept { static_cast<Kt_Record*>(element)->~Kt_Record(); }

bool Kt_RecordHandler::Copy(void* target, const void* source) noexcept {
  try {
    *static_cast<Kt_Record*>(target) = *static_cast<const Kt_Record*>(source);
  } catch (...) {
    return false;
  }
  return true;
}

int Kt_RecordHandler::Compare(const void* a, const void* b) const noexcept { return a == b ? 0 : -1; }
