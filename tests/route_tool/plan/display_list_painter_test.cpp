#include "route_tool/plan/display_list_painter.h"

#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <string>
#include <vector>

#include "route_tool/plan/route_plan_drawing.h"
#include "simhost/sim_host.h"
#include "tests/support/cairo_static_data.h"

namespace {

using namespace route_tool;

constexpr const char* kExamples[] = {"examples/routes/circuit.route", "examples/routes/example.route",
                                     "examples/demo/Config/TKMFD/routes/kestrel.route"};

RoutePlan PlanOf(const char* file) {
  simhost::host().Reset();
  const RouteSource source = ReadRouteSource(std::string(TARVIK_SOURCE_DIR "/") + file);
  EXPECT_FALSE(source.errorFlag) << file;
  return MakeRoutePlan(source, file);
}

// The operands of each operation, as the page's replayer reads them:
// 'n' a number, 's' a string, '*' a count and that many numbers.
const std::map<std::string, std::string> kOperands = {
    {"s", ""},       {"r", ""},   {"t", "nn"}, {"o", "n"},  {"n", ""},      {"u", ""},  {"M", "nn"},
    {"L", "nn"},     {"C", "nnnnnn"},          {"A", "nnnnn"}, {"R", "nnnn"}, {"Z", ""}, {"K", "sn"},
    {"W", "n"},      {"D", "*"},  {"P", "n"},  {"J", ""},   {"F", ""},      {"f", ""},  {"S", ""},
    {"x", ""},       {"B", ""},   {"c", ""},   {"T", "nnsnnnsn"}};

struct Operation {
  std::string letter;
  std::size_t at;  // of the letter
};

// The list read as the page's replayer reads it; an operation it does not
// know, or one short of its operands, would stop the map's drawing.
std::vector<Operation> Operations(const nlohmann::json& list, const char* file) {
  std::vector<Operation> operations;
  std::size_t i = 0;
  while (i < list.size()) {
    if (!list[i].is_string()) {
      ADD_FAILURE() << file << ": an operand where an operation should be, at " << i;
      return operations;
    }
    const auto operands = kOperands.find(list[i].get<std::string>());
    if (operands == kOperands.end()) {
      ADD_FAILURE() << file << ": unknown operation " << list[i] << " at " << i;
      return operations;
    }
    operations.push_back({operands->first, i++});
    for (const char kind : operands->second) {
      const bool fits = i < list.size() && (kind == 's' ? list[i].is_string() : list[i].is_number());
      if (!fits) {
        ADD_FAILURE() << file << ": " << operands->first << " at " << operations.back().at << " lacks an operand";
        return operations;
      }
      if (kind == '*') i += list[i].get<std::size_t>();
      ++i;
    }
  }
  EXPECT_EQ(i, list.size()) << file << ": the last operation runs past the list";
  return operations;
}

TEST(DisplayList, EveryOperationCarriesItsOperands) {
  for (const char* file : kExamples) {
    const nlohmann::json list = DisplayListOfPlan(PlanOf(file));
    ASSERT_TRUE(list.is_array());
    EXPECT_GT(Operations(list, file).size(), 100u) << file;
  }
}

// The planner's map says what draw's picture says, in the same order.
TEST(DisplayList, TextsAreDrawsTextsInOrder) {
  const std::regex svgText(R"(<text [^>]*>([^<]*)</text>)");
  for (const char* file : kExamples) {
    const RoutePlan plan = PlanOf(file);
    std::string svg, why;
    ASSERT_TRUE(RenderRoutePlan(plan, PictureFormat::Svg, svg, why)) << why;
    std::vector<std::string> drawn;
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), svgText); it != std::sregex_iterator(); ++it)
      drawn.push_back((*it)[1]);
    const nlohmann::json list = DisplayListOfPlan(plan);
    std::vector<std::string> listed;
    for (const Operation& operation : Operations(list, file))
      if (operation.letter == "T") listed.push_back(XmlEscaped(list[operation.at + 3].get<std::string>()));
    EXPECT_GT(listed.size(), plan.waypoints.size()) << file;
    EXPECT_EQ(listed, drawn) << file;
  }
}

}  // namespace

namespace {

// A waypoint joins the first label within a pixel of it, across pixel
// cells; one farther from that label's place starts its own.
TEST(DisplayList, WaypointsWithinAPixelShareTheFirstLabel) {
  RouteSource source;
  source.waypoints.resize(4);
  RoutePlan plan = MakeRoutePlan(source, "labels");
  const PlanFit& fit = plan.fit;
  const double placesPx[][2] = {{500.9, 400.5}, {700.0, 400.0}, {501.6, 400.5}, {502.4, 400.5}};
  for (std::size_t i = 0; i < 4; ++i) {
    plan.waypoints[i].at = fit.AtPx(placesPx[i][0], placesPx[i][1]);
    ASSERT_NEAR(fit.XPx(plan.waypoints[i].at.eastMetres), placesPx[i][0], 1e-6);
  }
  const nlohmann::json list = DisplayListOfPlan(plan);
  // The waypoints' labels are the map's texts of 14 px: legs and the
  // legend number in smaller ones.
  std::vector<std::string> labels;
  for (const Operation& operation : Operations(list, "labels"))
    if (operation.letter == "T" && list[operation.at + 4] == 14.0) labels.push_back(list[operation.at + 3]);
  EXPECT_EQ(labels, (std::vector<std::string>{"1, 3", "2", "4"}));
}

}  // namespace
