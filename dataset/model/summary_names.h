#ifndef KT_DATASET_SUMMARY_NAMES_H
#define KT_DATASET_SUMMARY_NAMES_H

#include <cstdint>
#include <string_view>

// The words that name a column's summary in the "summ" attribute of dataset documents:
// 16 "default", 32 "count", 48 "countnn", 64 "sum", 80 "max", 96 "min", 112 "avg", 144 "text".
// The attribute holds the word, ":" and the column's summary text.

// The word of a summary code (Kt_SummaryCode), null for any other value.
const char* SummaryWord(std::uint16_t code) noexcept;

// The summary code of a "summ" value, 0 when it names none: the word before the first ":" (the
// whole value when there is none) compared without regard to case, and any value beginning with
// "text" for 144.
std::uint16_t SummaryFromText(std::string_view summ) noexcept;

#endif
