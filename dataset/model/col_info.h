#ifndef KT_DATASET_COL_INFO_H
#define KT_DATASET_COL_INFO_H

#include <cstdint>

#include "dataset/text/astring.h"
#include "dataset/values/ptr_list.h"
#include "dataset/values/variant_types.h"

// Summary codes of a column: bits 4-7 of the summary flags of plain datasets, and the summary
// kind of grouped datasets.
enum Kt_SummaryCode : std::uint16_t {
  kSummaryDefault = 16,
  kSummaryCount = 32,
  kSummaryCountNonNull = 48,
  kSummarySum = 64,
  kSummaryMax = 80,
  kSummaryMin = 96,
  kSummaryAverage = 112,
  kSummaryText = 144,
};
// Bit 0 of the summary flags: the column was read from a document.
constexpr std::uint16_t kColumnFromDocument = 1;
constexpr std::uint16_t kSummaryMask = 0xF0;
constexpr std::uint16_t kDefaultColumnSize = 255;

// The description of one dataset column. The summary attributes are carried as data.
struct Kt_ColInfo {
  Kt_AString id;  // unique in its dataset regardless of case
  std::uint16_t type = static_cast<std::uint16_t>(Kt_ColType::String);  // Kt_ColType code
  std::uint16_t size = kDefaultColumnSize;  // declared, not enforced on values
  std::uint16_t position = 0;                // the column's index when it was added
  std::uint16_t summaryFlags = 0;
  Kt_AString summaryText;
  Kt_AString mapValue;    // opaque text carried through documents
  Kt_AString bindColumn;  // grouped datasets: the source column
  std::uint16_t summaryKind = 0;  // grouped datasets
};

// Orders columns by id, case-insensitively.
class Kt_ColInfoHandler : public Kt_TypedHandler<Kt_ColInfo> {
 public:
  static Kt_ColInfoHandler& Instance() noexcept;
  int Compare(const void* a, const void* b) const noexcept override;
};

#endif
