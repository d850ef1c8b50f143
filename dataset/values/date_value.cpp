#include "dataset/values/date_value.h"

#include <cmath>

#include "dataset/text/number_text.h"

namespace {

constexpr double kHalfSecond = 0.5 / 86400.0;
constexpr int kMonthStarts[2][13] = {
    {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365},
    {0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335, 366},
};

bool IsLeapYear(long year) noexcept { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

// Days from day 0 to 1 January of `year` (year >= 0); year 0 counts as a leap year.
long DaysBeforeYear(long year) noexcept {
  long leapYears = (year + 3) / 4 - (year + 99) / 100 + (year + 399) / 400;
  return 365 * year + leapYears;
}

}  // namespace

bool DateToFields(double value, Kt_DateFields& fields) noexcept {
  if (!(value >= 0.0) || !(value < kDateValueLimit)) return false;
  double rounded = value + kHalfSecond;
  if (!(rounded < kDateValueLimit)) return false;  // the last half second of 9999 rounds into 10000
  long days = static_cast<long>(std::floor(rounded));
  long year = days * 400 / 146097;
  while (year > 0 && DaysBeforeYear(year) > days) --year;
  while (DaysBeforeYear(year + 1) <= days) ++year;
  int dayOfYear = static_cast<int>(days - DaysBeforeYear(year));
  const int* starts = kMonthStarts[IsLeapYear(year) ? 1 : 0];
  int month = 1;
  while (month < 12 && dayOfYear >= starts[month]) ++month;
  long seconds = static_cast<long>(std::floor((rounded - static_cast<double>(days)) * 86400.0));
  if (seconds > 86399) seconds = 86399;
  if (seconds < 0) seconds = 0;

  fields.year = static_cast<int>(year);
  fields.month = month;
  fields.day = dayOfYear - starts[month - 1] + 1;
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  fields.second = static_cast<int>(seconds % 60);
  fields.dayOfWeek = static_cast<int>(((days - 1) % 7 + 7) % 7 + 1);
  fields.dayOfYear = dayOfYear + 1;
  return true;
}

bool DateFromFields(int year, int month, int day, int hour, int minute, int second, double& value) noexcept {
  value = 0;
  if (year < 0 || year > 9999 || month < 1 || month > 12) return false;
  const int* starts = kMonthStarts[IsLeapYear(year) ? 1 : 0];
  if (day < 1 || day > starts[month] - starts[month - 1]) return false;
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
  double days = static_cast<double>(DaysBeforeYear(year) + starts[month - 1] + day - 1);
  value = days + (hour * 3600 + minute * 60 + second) / 86400.0;
  return true;
}

bool DateFromText(const char* text, std::size_t length, double& value) noexcept {
  if (!text) length = 0;
  auto piece = [&](std::size_t first, std::size_t count, int otherwise) {
    return length >= first + count ? TextToInt(text + first, count) : otherwise;
  };
  return DateFromFields(piece(0, 4, 0), piece(4, 2, 1), piece(6, 2, 1), piece(8, 2, 0), piece(10, 2, 0),
                        piece(12, 2, 0), value);
}

namespace {

std::size_t RunLength(const char* p, char ch) noexcept {
  std::size_t count = 0;
  while (p[count] == ch) ++count;
  return count;
}

void AppendNumber(Kt_AString& text, int number, bool padded) noexcept {
  text.AppendFormat(padded ? "%02d" : "%d", number);
}

void AppendPattern(Kt_AString& text, const char* p, const Kt_DateFields& f) noexcept {
  while (*p) {
    char ch = *p;
    std::size_t run = RunLength(p, ch);
    switch (ch) {
      case 'y':
        if (run >= 4) {
          text.AppendFormat("%04d", f.year);
          run = 4;
        } else {
          AppendNumber(text, f.year % 100, true);
          run = run >= 2 ? 2 : 1;
        }
        p += run;
        continue;
      case 'M':
      case 'd':
      case 'H':
      case 'h':
      case 'm':
      case 's': {
        int number = ch == 'M' ? f.month : ch == 'd' ? f.day : ch == 'H' ? f.hour : ch == 'm' ? f.minute
                   : ch == 's' ? f.second : (f.hour % 12 == 0 ? 12 : f.hour % 12);
        run = run >= 2 ? 2 : 1;
        AppendNumber(text, number, run == 2);
        p += run;
        continue;
      }
      case 't':
      case 'a':
        if (run >= 2) {
          text.Append(f.hour < 12 ? "AM" : "PM");
          p += 2;
          continue;
        }
        break;
      case '\'': {
        const char* end = p + 1;
        while (*end && *end != '\'') ++end;
        text.Append(p + 1, static_cast<std::size_t>(end - p - 1));
        p = *end ? end + 1 : end;
        continue;
      }
      case '\\':
        if (p[1]) {
          text.Append(p[1]);
          p += 2;
          continue;
        }
        break;
      default:
        break;
    }
    text.Append(ch);
    ++p;
  }
}

}  // namespace

Kt_AString DateToText(double value, const char* pattern) noexcept {
  Kt_DateFields f;
  Kt_AString text;
  if (!DateToFields(value, f)) return text;
  if (pattern) {
    AppendPattern(text, pattern, f);
  } else if (f.hour == 0 && f.minute == 0 && f.second == 0) {
    text.Format("%04d%02d%02d", f.year, f.month, f.day);
  } else if (f.year == 1900 && f.month == 1 && f.day == 1) {
    text.Format("%02d%02d%02d", f.hour, f.minute, f.second);
  } else {
    text.Format("%04d%02d%02d%02d%02d%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
  }
  return text;
}

Kt_AString DocumentDateText(double value) noexcept {
  Kt_DateFields f;
  Kt_AString text;
  if (!DateToFields(value, f)) return text;
  if (f.hour == 0 && f.minute == 0 && f.second == 0) {
    text.Format("%04d%02d%02d", f.year, f.month, f.day);
  } else {
    text.Format("%04d%02d%02d%02d%02d%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
  }
  return text;
}
