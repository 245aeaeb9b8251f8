// The host's base files read as the host reads them, and the host's turn
// of a base's metres into degrees.
#include "route_tool/bases/base_config.h"
#include "geodesy/body_constants.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace route_tool;

// ---- Metres into degrees -------------------------------------------------------

// longitude = lng0 + z / (R cos lat0), latitude = lat0 - x / R, x south,
// z east. 1000 m on Earth (R = 6371010 m) is 0.0089932019433469 degrees of
// latitude, and at 28.5 degrees 0.0102333031682851 degrees of longitude.
TEST(BaseLocalToDegrees, AThousandMetresNorthAndEastOfABaseAt28AndAHalfDegrees) {
  const SurfacePointDeg north = BaseLocalToDegrees(-80.0, 28.5, {-1000.0, 0.0, 0.0}, geodesy::kEarthRadiusMetres);
  EXPECT_NEAR(north.latitudeDeg, 28.5 + 0.0089932019433469, 1e-12);
  EXPECT_DOUBLE_EQ(north.longitudeDeg, -80.0);
  const SurfacePointDeg east = BaseLocalToDegrees(-80.0, 28.5, {0.0, 0.0, 1000.0}, geodesy::kEarthRadiusMetres);
  EXPECT_NEAR(east.longitudeDeg, -80.0 + 0.0102333031682851, 1e-12);
  EXPECT_DOUBLE_EQ(east.latitudeDeg, 28.5);
  // Height plays no part; the base's frame is not turned.
  const SurfacePointDeg up = BaseLocalToDegrees(-80.0, 28.5, {0.0, 50.0, 0.0}, geodesy::kEarthRadiusMetres);
  EXPECT_DOUBLE_EQ(up.longitudeDeg, -80.0);
  EXPECT_DOUBLE_EQ(up.latitudeDeg, 28.5);
}

// Cape Canaveral's first runway end (END1 -1150 0 -2880 from Location
// -80.65165 28.58438), as written by hand with the host's formula in the
// real-host test's route.
TEST(BaseLocalToDegrees, CapeCanaveralRunwayEndAsTheHostPutsIt) {
  const SurfacePointDeg end = BaseLocalToDegrees(-80.65165, 28.58438, {-1150.0, 0.0, -2880.0}, geodesy::kEarthRadiusMetres);
  EXPECT_NEAR(end.longitudeDeg, -80.681146, 1e-6);
  EXPECT_NEAR(end.latitudeDeg, 28.594722, 1e-6);
}

TEST(BaseLocalToDegrees, ScalesWithThePlanetsRadius) {
  const SurfacePointDeg north = BaseLocalToDegrees(10.0, 0.0, {-1000.0, 0.0, 0.0}, geodesy::kEarthRadiusMetres / 2.0);
  EXPECT_NEAR(north.latitudeDeg, 2.0 * 0.0089932019433469, 1e-12);
}

// ---- Reading a base file -------------------------------------------------------

constexpr char kRunway[] = "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\nEND_OBJECTLIST\n";

TEST(ReadBaseConfig, ReadsLocationBeaconsRunwaysAndPadsWithTheirLines) {
  const BaseConfigReading reading = ReadBaseConfig(
      "BASE-V2.0\n"
      "Name = Test  Field\n"
      "Location = -80.5 +28.5 ; lng lat\n"
      "BEGIN_NAVBEACON\n"
      "VOR TFX -80.4 28.45 113.25 300\n"
      "ILS nothing of the base's\n"
      "END_NAVBEACON\n"
      "BEGIN_OBJECTLIST\n"
      "LPAD1\n"
      "  POS 1 2 3\n"
      "  NAV 128.1\n"
      "END\n"
      "RUNWAY\n"
      "  END1 -1150 0 -2880\n"
      "  END2 -5600\t0  -5435\n"
      "END\n"
      "END_OBJECTLIST\n");
  ASSERT_EQ(reading.error.message, "");
  const BaseConfig& base = reading.base;
  EXPECT_EQ(base.name, "Test Field");
  EXPECT_EQ(base.longitudeDeg, -80.5);
  EXPECT_EQ(base.latitudeDeg, 28.5);
  EXPECT_EQ(base.locationText, "-80.5 +28.5");
  EXPECT_EQ(base.locationLine, 3u);
  ASSERT_EQ(base.beacons.size(), 1u);
  EXPECT_EQ(base.beacons[0].id, "TFX");
  EXPECT_EQ(base.beacons[0].longitudeDeg, -80.4);
  EXPECT_EQ(base.beacons[0].latitudeDeg, 28.45);
  EXPECT_EQ(base.beacons[0].frequencyMHz, 113.25);
  EXPECT_EQ(base.beacons[0].line, 5u);
  ASSERT_EQ(base.pads.size(), 1u);
  EXPECT_EQ(base.pads[0].tag, "LPAD1");
  EXPECT_EQ(base.pads[0].position.southMetres, 1.0);
  EXPECT_EQ(base.pads[0].position.eastMetres, 3.0);
  EXPECT_EQ(base.pads[0].positionText, "POS 1 2 3");
  EXPECT_EQ(base.pads[0].navText, "NAV 128.1");
  EXPECT_EQ(base.pads[0].line, 9u);
  ASSERT_EQ(base.runways.size(), 1u);
  EXPECT_EQ(base.runways[0].end1.southMetres, -1150.0);
  EXPECT_EQ(base.runways[0].end1.eastMetres, -2880.0);
  EXPECT_EQ(base.runways[0].end2.southMetres, -5600.0);
  EXPECT_EQ(base.runways[0].end2.eastMetres, -5435.0);
  EXPECT_EQ(base.runways[0].end2Text, "END2 -5600 0 -5435");
  EXPECT_EQ(base.runways[0].line, 13u);
}

// What the host does that a reader might not guess.
TEST(ReadBaseConfig, ReadsAsTheHostDoes) {
  // Names and tags without case; ';' comments; the first Location wins.
  BaseConfigReading reading = ReadBaseConfig(
      "; Location = 1 1\nLOCATION=2 3\nlocation = 4 5\nbegin_objectlist\n; a comment\nrunway\nend1 1 2 3 ; x\n"
      "End2 4 5 6\n; END\nend\nLpad2A\npos 7 8 9\nEnd\nend_objectlist\n");
  ASSERT_EQ(reading.error.message, "");
  EXPECT_EQ(reading.base.longitudeDeg, 2.0);
  EXPECT_EQ(reading.base.latitudeDeg, 3.0);
  EXPECT_EQ(reading.base.runways.size(), 1u);
  ASSERT_EQ(reading.base.pads.size(), 1u);
  EXPECT_EQ(reading.base.pads[0].position.eastMetres, 9.0);

  // Runway ends are kept in single precision.
  reading = ReadBaseConfig(std::string("Location = 0 0\n") +
                           "BEGIN_OBJECTLIST\nRUNWAY\nEND1 0.1 0 1234.567\nEND2 0 0 0\nEND\nEND_OBJECTLIST\n");
  ASSERT_EQ(reading.error.message, "");
  EXPECT_EQ(reading.base.runways[0].end1.southMetres, static_cast<double>(0.1f));
  EXPECT_EQ(reading.base.runways[0].end1.eastMetres, static_cast<double>(1234.567f));

  // A MESH is a pad when it says LPAD; a pad without POS is at the centre.
  reading = ReadBaseConfig(std::string("Location = 0 0\n") +
                           "BEGIN_OBJECTLIST\nMESH\nPOS 1 0 1\nEND\nMESH\nLPAD\nPOS 2 0 2\nEND\nLPAD2\nEND\n"
                           "RUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\nEND_OBJECTLIST\n");
  ASSERT_EQ(reading.error.message, "");
  ASSERT_EQ(reading.base.pads.size(), 2u);
  EXPECT_EQ(reading.base.pads[0].tag, "MESH");
  EXPECT_EQ(reading.base.pads[0].position.southMetres, 2.0);
  EXPECT_EQ(reading.base.pads[1].tag, "LPAD2");
  EXPECT_EQ(reading.base.pads[1].positionText, "");
  EXPECT_EQ(reading.base.pads[1].position.southMetres, 0.0);

  // Items after END_PARSE are not seen; markers are found anywhere.
  reading = ReadBaseConfig(std::string("Location = 1 2\nEND_PARSE\nName = Late\n") + kRunway);
  ASSERT_EQ(reading.error.message, "");
  EXPECT_EQ(reading.base.name, "");
  // Lines may end in CR LF.
  reading = ReadBaseConfig("Location = 1 2\r\nBEGIN_OBJECTLIST\r\nRUNWAY\r\nEND1 1 2 3\r\nEND2 4 5 6\r\nEND\r\n");
  ASSERT_EQ(reading.error.message, "");
  EXPECT_EQ(reading.base.locationText, "1 2");
  EXPECT_EQ(reading.base.runways[0].end2.eastMetres, 6.0);
  // Objects after END_OBJECTLIST are not the base's.
  reading = ReadBaseConfig(std::string("Location = 1 2\n") + kRunway + "RUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\n");
  ASSERT_EQ(reading.error.message, "");
  EXPECT_EQ(reading.base.runways.size(), 1u);
}

struct BadBase {
  const char* name;
  std::string text;
  std::size_t line;
  const char* message;
};

void PrintTo(const BadBase& bad, std::ostream* out) { *out << bad.name; }

class ReadBaseConfigFault : public testing::TestWithParam<BadBase> {};

TEST_P(ReadBaseConfigFault, NamesTheLineAndTheFault) {
  const BaseConfigReading reading = ReadBaseConfig(GetParam().text);
  EXPECT_EQ(reading.error.message, GetParam().message);
  EXPECT_EQ(reading.error.place.line, GetParam().line);
}

const std::string kAt00 = "Location = 0 0\n";

INSTANTIATE_TEST_SUITE_P(
    Faults, ReadBaseConfigFault,
    testing::Values(
        BadBase{"NoLocation", std::string("Name = X\n") + kRunway, 0,
                "no Location (the base's longitude and latitude in degrees)"},
        BadBase{"EmptyLocation", std::string("Location =  ; none\n") + kRunway, 0,
                "no Location (the base's longitude and latitude in degrees)"},
        BadBase{"BadLocation", std::string("\nLocation = -80.5 north\n") + kRunway, 2,
                "Location: expected longitude and latitude in degrees, not '-80.5 north'"},
        BadBase{"OneNumberLocation", std::string("Location = -80.5\n") + kRunway, 1,
                "Location: expected longitude and latitude in degrees, not '-80.5'"},
        BadBase{"PoleLocation", std::string("Location = 10 -90\n") + kRunway, 1,
                "Location: latitude -90 is not between -90 and 90 degrees"},
        BadBase{"NoObjectList", kAt00, 0, "no RUNWAY in the base's object list"},
        BadBase{"PadsOnly", kAt00 + "BEGIN_OBJECTLIST\nLPAD2\nPOS 1 2 3\nEND\nEND_OBJECTLIST\n", 0,
                "no RUNWAY in the base's object list"},
        BadBase{"BadRunwayNumber", kAt00 + "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\n  END2 4 5x 6\nEND\n", 5,
                "END2: expected three numbers in metres, not '4 5x 6'"},
        BadBase{"ShortRunwayEnd", kAt00 + "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2\nEND2 4 5 6\nEND\n", 4,
                "END1: expected three numbers in metres, not '1 2'"},
        BadBase{"RunwayWithoutEnd1", kAt00 + "BEGIN_OBJECTLIST\nBLOCK\nEND\nRUNWAY\nEND2 4 5 6\nEND\n", 5,
                "RUNWAY without END1"},
        BadBase{"RunwayWithoutEnd2", kAt00 + "BEGIN_OBJECTLIST\nRUNWAY\nEND1 4 5 6\nEND\n", 3,
                "RUNWAY without END2"},
        BadBase{"RunwayWithoutEnd", kAt00 + "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 6\n", 3,
                "RUNWAY without END: the file ends first"},
        BadBase{"BadPadNumber", kAt00 + "BEGIN_OBJECTLIST\nLPAD2A\n\tPOS 1 nan 3\nEND\n", 4,
                "POS: expected three numbers in metres, not '1 nan 3'"},
        BadBase{"BadPadNav", kAt00 + "BEGIN_OBJECTLIST\nLPAD1\nNAV abc\nEND\n", 4,
                "NAV: expected a frequency in MHz, not 'abc'"},
        BadBase{"UnknownObject", kAt00 + "BEGIN_OBJECTLIST\nRUNWAY\nEND1 1 2 3\nEND2 4 5 6\nEND\nTOWER\nEND\n", 7,
                "unknown object 'TOWER': the host stops reading the object list here"},
        BadBase{"BadBeacon", kAt00 + "BEGIN_NAVBEACON\nVOR ABC -80 28,5 112.1\nEND_NAVBEACON\n" + kRunway, 3,
                "VOR: expected an identifier, longitude and latitude [deg] and frequency [MHz], not "
                "'ABC -80 28,5 112.1'"},
        BadBase{"BinaryFile", std::string("Location = 0 0\n\x7f" "ELF") + std::string("\x01\0\x02\n", 4), 2,
                "not a text file: a NUL byte"}),
    [](const testing::TestParamInfo<BadBase>& info) { return std::string(info.param.name); });

TEST(ReadPlanetSize, ReadsSizeAsTheHostDoes) {
  EXPECT_EQ(ReadPlanetSize("Name = Mars\nSize = 3.39e6 ; mean radius\n").radiusMetres, 3.39e6);
  const PlanetSizeReading none = ReadPlanetSize("Name = Mars\n");
  EXPECT_EQ(none.error.message, "no Size (the planet's radius in metres)");
  EXPECT_EQ(none.error.place.line, 0u);
  const PlanetSizeReading bad = ReadPlanetSize("\nSize = -1\n");
  EXPECT_EQ(bad.error.message, "Size: expected the planet's radius in metres, not '-1'");
  EXPECT_EQ(bad.error.place.line, 2u);
}

}  // namespace
