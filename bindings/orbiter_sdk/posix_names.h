// The POSIX names the module's sources use that the Microsoft C runtime
// spells otherwise. The Windows DLL's build includes this before every
// source (forced include), so that the sources stay free of conditionals.
#pragma once

// The runtime's deprecation warnings (fopen, fileno) would be errors.
#ifndef _CRT_SECURE_NO_WARNINGS
#define _CRT_SECURE_NO_WARNINGS
#endif
#ifndef _CRT_NONSTDC_NO_DEPRECATE
#define _CRT_NONSTDC_NO_DEPRECATE
#endif

#include <locale.h>
#include <stdlib.h>

using locale_t = _locale_t;
inline constexpr int LC_ALL_MASK = LC_ALL;

// Only whole locales are made: the mask and the base stay unused.
inline locale_t newlocale(int, const char* name, locale_t) { return _create_locale(LC_ALL, name); }

inline double strtod_l(const char* text, char** end, locale_t locale) { return _strtod_l(text, end, locale); }
