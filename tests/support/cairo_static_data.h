// Cairo keeps font caches for the life of the process; they are handed back
// once every test is done, so that the leak checker sees only our leaks.
// Include it in each test program that draws text in process: the
// environment is registered once however many files include it.
#pragma once

#include <gtest/gtest.h>

#include "surfaces/cairo_surface.h"

namespace test_support {

class CairoStaticData : public ::testing::Environment {
 public:
  void TearDown() override { simhost::ReleaseCairoStaticData(); }
};

inline const auto* const kCairoStaticData = ::testing::AddGlobalTestEnvironment(new CairoStaticData);

}  // namespace test_support
