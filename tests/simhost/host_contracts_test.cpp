// The simulated host keeps the host's contracts for handles: a null, stale
// or wrong-kind handle gets the host's error value, never undefined
// behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "host/oapi.h"
#include "simhost/sim_host.h"
#include "tests/support/standard_world.h"

namespace {

class HostContracts : public ::testing::Test {
 protected:
  void SetUp() override {
    body = &test_support::StartStandardWorld();
    base = &simhost::host().AddBase(*body, "Field", {0.5, 0.1}, {{0.5, 0.1}});
    vessel = &test_support::AddGlider(*body);
  }
  void TearDown() override { simhost::host().Reset(); }

  // The handles a module may hold by mistake: none, a freed object, one of
  // the wrong kind, a pointer into nowhere.
  std::vector<std::pair<std::string, OBJHANDLE>> BadBodyOrBase() const {
    static int notAnObject = 0;
    return {{"null", nullptr},
            {"vessel", static_cast<simhost::Object*>(vessel)},
            {"made up", reinterpret_cast<OBJHANDLE>(&notAnObject)}};
  }

  simhost::Body* body = nullptr;
  simhost::Base* base = nullptr;
  simhost::Vessel* vessel = nullptr;
};

TEST_F(HostContracts, BadHandlesGetErrorValues) {
  const OBJHANDLE aBody = static_cast<simhost::Object*>(body);
  const OBJHANDLE aBase = static_cast<simhost::Object*>(base);
  for (const auto& [what, handle] : BadBodyOrBase()) {
    SCOPED_TRACE(what);
    EXPECT_EQ(oapiGetBaseCount(handle), 0u);
    EXPECT_EQ(oapiGetBaseByIndex(handle, 0), nullptr);
    EXPECT_EQ(oapiGetBasePadCount(handle), 0u);
    double lng = std::nan("");
    double lat = std::nan("");
    oapiGetBaseEquPos(handle, &lng, &lat);
    EXPECT_TRUE(std::isnan(lng) && std::isnan(lat)) << "positions are left as they were";
    EXPECT_FALSE(oapiGetBasePadEquPos(handle, 0, &lng, &lat));
  }
  // A base is not a body, a body is not a base.
  EXPECT_EQ(oapiGetBaseCount(aBase), 0u);
  EXPECT_EQ(oapiGetBasePadCount(aBody), 0u);
  // Sizes and names of nothing.
  char name[16] = "unchanged";
  oapiGetObjectName(nullptr, name, sizeof name);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(oapiGetSize(nullptr), 0.0);
  NAVDATA data;
  data.type = 7;
  oapiGetNavData(nullptr, &data);
  EXPECT_EQ(data.type, 0u);
  // And the good handles still answer.
  EXPECT_EQ(oapiGetBaseCount(aBody), 1u);
  EXPECT_EQ(oapiGetSize(aBody), test_support::kEarthRadiusMetres);
}

TEST_F(HostContracts, HandleOfADeletedVesselNamesNothing) {
  const OBJHANDLE gone = static_cast<simhost::Object*>(vessel);
  simhost::host().DeleteVessel(*vessel);
  EXPECT_EQ(oapiGetFocusInterface(), nullptr);
  EXPECT_EQ(oapiGetSize(gone), 0.0);
}

}  // namespace
