// Reading the fields of a scenario's JSON: each value of the type it must
// have, every member of an object read so that a misspelt name is a fault,
// and each fault placed by the JSON pointer of the value it is about.
#pragma once

#include <set>
#include <string>

#include <nlohmann/json.hpp>

namespace simulator::scenario_fields {

using nlohmann::json;

// A fault found while reading: where (a JSON pointer) and what. Reading
// stops at the first; ReadScenario turns it into the message.
struct Fault {
  std::string place;
  std::string fault;
};

[[noreturn]] void Fail(const std::string& place, const std::string& fault);

std::string Quoted(const std::string& text);

// "a number", "an object": as a fault names the type it found.
std::string WithArticle(const char* typeName);

// A member name as it stands in a JSON pointer.
std::string Escaped(const std::string& key);

// A number as the user would have written it in the file.
std::string AsWritten(double value);

// Names one or two edits apart ("lattitude", "latitude"): a misspelling.
bool NearlyTheSame(const std::string& a, const std::string& b);

// Reads the members of one JSON object; every member must be read, so a
// misspelt name is a fault rather than a silent default.
class ObjectReader {
 public:
  ObjectReader(const json& value, std::string place);

  std::string Place() const { return place_.empty() ? "/" : place_; }
  std::string PlaceOf(const std::string& key) const { return place_ + "/" + Escaped(key); }
  bool Has(const std::string& key) const { return value_.contains(key); }

  const json& Required(const std::string& key);
  const json* Optional(const std::string& key);

  double Number(const std::string& key);
  double Number(const std::string& key, double fallback);
  bool Flag(const std::string& key, bool fallback);
  std::string Text(const std::string& key);
  std::string Text(const std::string& key, const std::string& fallback);
  const json& Array(const std::string& key);
  const json& Array(const std::string& key, const json& fallback);

  // Every member must have been read.
  void Finish() const;

  static double AsNumber(const json& v, const std::string& place);
  static long long AsInteger(const json& v, const std::string& place);
  static std::string AsText(const json& v, const std::string& place);
  static const json& AsArray(const json& v, const std::string& place);

 private:
  const json& value_;
  std::string place_;
  std::set<std::string> read_;
};

void RequirePositive(double value, const std::string& place);

// A route file the module's folder listing would find in the folder.
void RequireRouteFile(const std::string& name, const std::string& folder, const std::string& place);

}  // namespace simulator::scenario_fields
