// A route file's fields as numbers, read as the C library reads them.
// Failures are reported to an ErrorSink and a neutral value is returned.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "route/error_sink.h"

// C library conversions with '.' as decimal point in any locale; a zero
// from a field that does not start with '0' is reported and gives -1, as
// does an integer outside 32 bits.
double ParseDouble(std::string_view field, ErrorSink& errors);
std::int32_t ParseInt(std::string_view field, ErrorSink& errors);

// How many leading characters of a field these conversions read; the rest
// of the field is ignored ("1500m" reads 4, "179,990" reads 3).
std::size_t DoubleFieldLength(std::string_view field);
std::size_t IntFieldLength(std::string_view field);
