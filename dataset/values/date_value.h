#ifndef KT_DATASET_DATE_VALUE_H
#define KT_DATASET_DATE_VALUE_H

#include <cstddef>

#include "dataset/text/astring.h"

// Date-time values count days, the time of day as the fraction, from day 0 = 1 January of year 0
// of the proleptic Gregorian calendar (year 0 a leap year); day 693959 is 30 December 1899.
// Valid values lie in [0, kDateValueLimit), up to the end of year 9999.
constexpr double kDateValueLimit = 3652425.0;

struct Kt_DateFields {
  int year = 0;
  int month = 1;   // 1-12
  int day = 1;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;  // 0-59
  int dayOfWeek = 0;  // 1 Sunday ... 7 Saturday
  int dayOfYear = 0;  // 1-366
};

// Splits a value, rounded to the nearest second, into fields. False (fields untouched) for a
// value outside the valid range, an infinity or NaN.
bool DateToFields(double value, Kt_DateFields& fields) noexcept;

// Builds a value from fields: year 0-9999, month 1-12, day within the month, hour 0-23, minute
// and second 0-59. False (value 0) otherwise.
bool DateFromFields(int year, int month, int day, int hour, int minute, int second, double& value) noexcept;

// Reads "yyyyMMddHHmmss" or any leading part of it: year from characters 1-4 (0 when shorter),
// month 5-6 and day 7-8 (1 when absent), hour, minute, second (0 when absent), each piece read
// leniently as an integer. False, with the cleared value 0, when the fields are out of range.
bool DateFromText(const char* text, std::size_t length, double& value) noexcept;
inline bool DateFromText(const Kt_AString& text, double& value) noexcept {
  return DateFromText(text.c_str(), text.Length(), value);
}

// Without a pattern, the form documents use: "yyyyMMdd" at midnight, "HHmmss" on 1 January
// 1900, otherwise "yyyyMMddHHmmss". A pattern may use yyyy, yy, MM, M, dd, d, HH, H, hh, h
// (12-hour), mm, m, ss, s, tt or aa (AM/PM), 'quoted literal text' and \-escaped characters;
// anything else is copied. Empty for a value outside the valid range.
Kt_AString DateToText(double value, const char* pattern = nullptr) noexcept;

// The form documents store: "yyyyMMdd" at midnight, otherwise "yyyyMMddHHmmss", also on
// 1 January 1900. The short "HHmmss" form of DateToText is never stored: six digits read back
// as "yyyyMM" (DateFromText), so "202401" stays January 2024 and a stored time stays that time.
// Empty for a value outside the valid range.
Kt_AString DocumentDateText(double value) noexcept;

#endif
