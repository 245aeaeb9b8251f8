#include "route/field_numbers.h"

#include <locale.h>

#include <charconv>
#include <cstdlib>
#include <limits>
#include <string>

#include "route/route_messages.h"

namespace {

namespace msg = route_messages;

bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Fields that std::from_chars reads exactly as strtod does: no hex, no
// inf or nan, no leading '+' or blank.
bool IsPlainDecimal(std::string_view field) {
  if (field.empty() || field.front() == '+') return false;
  for (const char c : field) {
    if (!IsDigit(c) && c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') return false;
  }
  return true;
}

locale_t CLocale() {
  static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return cLocale;
}

// strtod with the "C" locale's decimal point; the process's locale only if
// that one cannot be made.
double StrtodInCLocale(const char* text, char** end) {
  const locale_t cLocale = CLocale();
  if (cLocale == static_cast<locale_t>(nullptr)) return std::strtod(text, end);
  return strtod_l(text, end, cLocale);
}

// atof with the "C" locale's decimal point.
double CTextToDouble(std::string_view field) {
  if (IsPlainDecimal(field)) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error == std::errc{}) return value;
  }
  const std::string terminated(field);
  return StrtodInCLocale(terminated.c_str(), nullptr);
}

struct IntConversion {
  std::int32_t value = 0;
  bool outOfRange = false;
};

// What atoi reads of a field: blanks, then one sign, then digits.
struct IntText {
  bool negative = false;
  std::size_t digitsStart = 0;
  std::size_t digitsEnd = 0;
};

IntText ScanIntText(std::string_view field) {
  std::size_t i = 0;
  while (i < field.size() && IsCSpace(field[i])) ++i;
  IntText text;
  if (i < field.size() && (field[i] == '+' || field[i] == '-')) {
    text.negative = field[i] == '-';
    ++i;
  }
  text.digitsStart = i;
  while (i < field.size() && IsDigit(field[i])) ++i;
  text.digitsEnd = i;
  return text;
}

// atoi, with a value outside 32 bits marked instead of undefined.
IntConversion CTextToInt(std::string_view field) {
  const auto [negative, digitsStart, digitsEnd] = ScanIntText(field);
  constexpr std::int64_t kMostNegative = -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min());
  std::int64_t magnitude = 0;
  for (std::size_t i = digitsStart; i < digitsEnd; ++i) {
    magnitude = magnitude * 10 + (field[i] - '0');
    if (magnitude > kMostNegative) return {0, true};
  }
  if (!negative && magnitude > std::numeric_limits<std::int32_t>::max()) return {0, true};
  return {static_cast<std::int32_t>(negative ? -magnitude : magnitude), false};
}

bool StartsWithZeroDigit(std::string_view field) { return !field.empty() && field.front() == '0'; }

void ReportConversionError(std::string_view field, std::string_view toType, ErrorSink& errors) {
  std::string message(msg::kConversionStart);
  message.append(field).append(toType);
  errors.ReportError(message);
}

}  // namespace

double ParseDouble(std::string_view field, ErrorSink& errors) {
  const double value = CTextToDouble(field);
  if (value == 0.0 && !StartsWithZeroDigit(field)) {
    ReportConversionError(field, msg::kToDouble, errors);
    return -1.0;
  }
  return value;
}

std::int32_t ParseInt(std::string_view field, ErrorSink& errors) {
  const IntConversion converted = CTextToInt(field);
  if (converted.outOfRange || (converted.value == 0 && !StartsWithZeroDigit(field))) {
    ReportConversionError(field, msg::kToInt, errors);
    return -1;
  }
  return converted.value;
}

std::size_t DoubleFieldLength(std::string_view field) {
  const std::string terminated(field);
  char* end = nullptr;
  StrtodInCLocale(terminated.c_str(), &end);
  return static_cast<std::size_t>(end - terminated.c_str());
}

std::size_t IntFieldLength(std::string_view field) {
  const IntText text = ScanIntText(field);
  return text.digitsEnd == text.digitsStart ? 0 : text.digitsEnd;
}
