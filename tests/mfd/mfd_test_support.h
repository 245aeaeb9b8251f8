// The standard world for every test, a working directory of the test's own,
// and a surface that keeps the texts drawn on it.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <utility>
#include <fstream>
#include <string>
#include <vector>

#include "mfd/tarvik_mfd.h"
#include "simhost/sim_host.h"
#include "tests/support/standard_world.h"
#include "tests/support/temp_folder.h"
#include "tests/support/text_sketchpad.h"

namespace mfdtest {

using test_support::kOneWaypointRoute;
using test_support::kThreeWaypointRoute;
using test_support::TempWorkingDirectory;
using test_support::DrawnText;
using test_support::TextSketchpad;

class MfdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // At the Cape, where the routes' points are.
    vessel = &test_support::AddGlider(test_support::StartStandardWorld(), {0.4991641, -1.4067697});
  }
  void TearDown() override { ClearRoutes(); }

  // The focus vessel's record as the registry holds it.
  const VesselRoute& Record() const {
    for (const VesselRoute& r : vesselRoutes)
      if (r.vesselHandle == simhost::host().Focus()->iface->GetHandle()) return r;
    throw std::logic_error("no record for the focus vessel");
  }

  simhost::Vessel* vessel = nullptr;
};

}  // namespace mfdtest
