// Cairo keeps font caches for the life of the process; they are handed back
// once every test is done, so that the leak checker sees only our leaks.
#include <gtest/gtest.h>

#include "sim/surfaces/cairo_surface.h"

namespace {

class CairoStaticData : public ::testing::Environment {
 public:
  void TearDown() override { sim::ReleaseCairoStaticData(); }
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new CairoStaticData);

}  // namespace
