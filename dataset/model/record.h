#ifndef KT_DATASET_RECORD_H
#define KT_DATASET_RECORD_H

#include <cstdint>
#include <vector>

#include "dataset/model/cell_allocator.h"
#include "dataset/values/ptr_list.h"
#include "dataset/values/variant.h"

enum Kt_RecordStatus : std::uint8_t {
  kRecordNormal = 1,
  kRecordInserted = 2,
  kRecordUpdated = 4,
  kRecordDeleted = 8,
  kRecordSummary = 16,  // a derived summary row of a grouped dataset
};

// One row of a dataset: a change status, a link and one value per column in column order.
// The link of an Updated record in the record list is the index of its original in the
// originals list; the link of an original is the index of its record; -1 when none.
struct Kt_Record {
  std::uint8_t status = kRecordNormal;
  std::int32_t link = -1;
  std::vector<Kt_Variant, Kt_CellAllocator<Kt_Variant>> cells;
};

// Records have no order: only the very same record compares equal (0), any other -1.
class Kt_RecordHandler : public Kt_ListObjHandler {
 public:
  static Kt_RecordHandler& Instance() noexcept;
  Kt_RecordHandler() noexcept : Kt_ListObjHandler(sizeof(Kt_Record)) {}
  void* Construct(void* storage) noexcept override;
  void Destroy(void* element) noexcept override;
  bool Copy(void* target, const void* source) noexcept override;
  int Compare(const void* a, const void* b) const noexcept override;
};

#endif
