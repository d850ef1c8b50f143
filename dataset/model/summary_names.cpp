#include "dataset/model/summary_names.h"

#include "dataset/model/col_info.h"
#include "dataset/xml/xml_names.h"

namespace {

struct SummaryName {
  std::uint16_t code;
  const char* word;
};

constexpr SummaryName kSummaryNames[] = {
    {kSummaryDefault, "default"}, {kSummaryCount, "count"}, {kSummaryCountNonNull, "countnn"},
    {kSummarySum, "sum"},         {kSummaryMax, "max"},     {kSummaryMin, "min"},
    {kSummaryAverage, "avg"},     {kSummaryText, "text"},
};

}  // namespace

const char* SummaryWord(std::uint16_t code) noexcept {
  for (const SummaryName& name : kSummaryNames) {
    if (name.code == code) return name.word;
  }
  return nullptr;
}

std::uint16_t SummaryFromText(std::string_view summ) noexcept {
  if (summ.size() >= 4 && XmlNamesEqual(summ.substr(0, 4), "text")) return kSummaryText;
  const std::string_view word = summ.substr(0, summ.find(':'));
  for (const SummaryName& name : kSummaryNames) {
    if (XmlNamesEqual(word, name.word)) return name.code;
  }
  return 0;
}
