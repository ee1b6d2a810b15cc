#include "description/ValidUntil.h"

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = year / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

// `value` as printf's "%0<width>d" writes it; by hand, which keeps the C library's formatter
// (20 KB) out of Setup.exe.
void AppendNumber(std::string& text, int value, std::size_t width) {
  std::int64_t rest = value;
  if (rest < 0) {
    text += '-';
    rest = -rest;
    width = width > 0 ? width - 1 : 0;
  }
  std::string digits;
  do {
    digits += static_cast<char>('0' + rest % 10);
    rest /= 10;
  } while (rest != 0);
  text.append(width > digits.size() ? width - digits.size() : 0, '0');
  text.append(digits.rbegin(), digits.rend());
}

unsigned DaysInMonth(std::int64_t year, unsigned month) {
  static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The `count` decimal digits of `text` at `at` as a number; false when one is no digit.
bool ReadNumber(const std::wstring& text, std::size_t at, std::size_t count, unsigned& value) {
  value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < L'0' || text[i] > L'9') return false;
    value = value * 10 + static_cast<unsigned>(text[i] - L'0');
  }
  return true;
}

}  // namespace

std::optional<std::int64_t> ParseValidUntil(const std::wstring& value) {
  // "YYYY-MM-DD" (10 characters) or "YYYY-MM-DD HH:MM:SS" (19).
  if (value.size() != 10 && value.size() != 19) return std::nullopt;
  unsigned year = 0, month = 0, day = 0;
  if (!ReadNumber(value, 0, 4, year) || value[4] != L'-' || !ReadNumber(value, 5, 2, month) ||
      value[7] != L'-' || !ReadNumber(value, 8, 2, day)) {
    return std::nullopt;
  }
  if (year < 1970 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  unsigned hour = 23, minute = 59, second = 59;  // the date alone: its last second
  if (value.size() == 19 && (value[10] != L' ' || !ReadNumber(value, 11, 2, hour) || value[13] != L':' ||
                             !ReadNumber(value, 14, 2, minute) || value[16] != L':' ||
                             !ReadNumber(value, 17, 2, second) || hour > 23 || minute > 59 || second > 59)) {
    return std::nullopt;
  }
  return DaysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
}

std::string FormatValidUntil(std::int64_t seconds) {
  std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t rest = seconds % kSecondsPerDay;
  if (rest < 0) {
    rest += kSecondsPerDay;
    --days;
  }
  // The inverse of DaysFromCivil.
  const std::int64_t z = days + 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t dayOfEra = z - era * 146097;
  const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::int64_t mp = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  // YYYY-MM-DD hh:mm:ss
  std::string text;
  AppendNumber(text, year, 4);
  text += '-';
  AppendNumber(text, month, 2);
  text += '-';
  AppendNumber(text, day, 2);
  text += ' ';
  AppendNumber(text, static_cast<int>(rest / 3600), 2);
  text += ':';
  AppendNumber(text, static_cast<int>(rest / 60 % 60), 2);
  text += ':';
  AppendNumber(text, static_cast<int>(rest % 60), 2);
  return text;
}
