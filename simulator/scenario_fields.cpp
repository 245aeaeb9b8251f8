// Reading the fields of a scenario's JSON, each fault placed by the JSON
// pointer of the value it is about.
#include "simulator/scenario_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "files/input_file.h"

namespace simulator::scenario_fields {

namespace fs = std::filesystem;

void Fail(const std::string& place, const std::string& fault) { throw Fault{place, fault}; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string WithArticle(const char* typeName) {
  const std::string name = typeName;
  return (name == "array" || name == "object" ? "an " : "a ") + name;
}

std::string Escaped(const std::string& key) {
  std::string out;
  for (char c : key) {
    if (c == '~') out += "~0";
    else if (c == '/') out += "~1";
    else out += c;
  }
  return out;
}

std::string AsWritten(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

bool NearlyTheSame(const std::string& a, const std::string& b) {
  constexpr std::size_t kMostEdits = 2;
  if (a.size() > b.size() + kMostEdits || b.size() > a.size() + kMostEdits) return false;
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j)
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
    std::swap(previous, current);
  }
  return previous[b.size()] <= kMostEdits;
}

ObjectReader::ObjectReader(const json& value, std::string place) : value_(value), place_(std::move(place)) {
  if (!value_.is_object()) Fail(Place(), "expected an object, found " + WithArticle(value_.type_name()));
}

const json& ObjectReader::Required(const std::string& key) {
  if (!value_.contains(key)) {
    // A misspelt name is the fault to report, not the field it misses.
    for (auto it = value_.begin(); it != value_.end(); ++it)
      if (read_.count(it.key()) == 0 && NearlyTheSame(it.key(), key))
        Fail(PlaceOf(it.key()), "unknown field; did you mean " + Quoted(key) + "?");
    Fail(PlaceOf(key), "required field is missing");
  }
  read_.insert(key);
  return value_.at(key);
}

const json* ObjectReader::Optional(const std::string& key) {
  if (!value_.contains(key)) return nullptr;
  read_.insert(key);
  return &value_.at(key);
}

double ObjectReader::Number(const std::string& key) { return AsNumber(Required(key), PlaceOf(key)); }

double ObjectReader::Number(const std::string& key, double fallback) {
  const json* v = Optional(key);
  return v != nullptr ? AsNumber(*v, PlaceOf(key)) : fallback;
}

bool ObjectReader::Flag(const std::string& key, bool fallback) {
  const json* v = Optional(key);
  if (v == nullptr) return fallback;
  if (!v->is_boolean()) Fail(PlaceOf(key), "expected true or false, found " + WithArticle(v->type_name()));
  return v->get<bool>();
}

std::string ObjectReader::Text(const std::string& key) { return AsText(Required(key), PlaceOf(key)); }

std::string ObjectReader::Text(const std::string& key, const std::string& fallback) {
  const json* v = Optional(key);
  return v != nullptr ? AsText(*v, PlaceOf(key)) : fallback;
}

const json& ObjectReader::Array(const std::string& key) { return AsArray(Required(key), PlaceOf(key)); }

const json& ObjectReader::Array(const std::string& key, const json& fallback) {
  const json* v = Optional(key);
  return v != nullptr ? AsArray(*v, PlaceOf(key)) : fallback;
}

void ObjectReader::Finish() const {
  for (auto it = value_.begin(); it != value_.end(); ++it)
    if (read_.count(it.key()) == 0) Fail(PlaceOf(it.key()), "unknown field");
}

double ObjectReader::AsNumber(const json& v, const std::string& place) {
  if (!v.is_number()) Fail(place, "expected a number, found " + WithArticle(v.type_name()));
  return v.get<double>();
}

long long ObjectReader::AsInteger(const json& v, const std::string& place) {
  if (!v.is_number_integer()) {
    if (v.is_number()) Fail(place, "expected a whole number, found " + v.dump());
    Fail(place, "expected a whole number, found " + WithArticle(v.type_name()));
  }
  return v.get<long long>();
}

std::string ObjectReader::AsText(const json& v, const std::string& place) {
  if (!v.is_string()) Fail(place, "expected a string, found " + WithArticle(v.type_name()));
  return v.get<std::string>();
}

const json& ObjectReader::AsArray(const json& v, const std::string& place) {
  if (!v.is_array()) Fail(place, "expected an array, found " + WithArticle(v.type_name()));
  return v;
}

void RequirePositive(double value, const std::string& place) {
  if (!(value > 0.0)) Fail(place, "must be greater than 0, found " + AsWritten(value));
}

namespace {

// Names the module's folder listing finds: "*.route" without regard to case.
bool IsRouteFileName(const std::string& name) {
  if (name.size() <= 6 || name.find('/') != std::string::npos || name.find('\\') != std::string::npos) return false;
  std::string ext = name.substr(name.size() - 6);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".route";
}

}  // namespace

void RequireRouteFile(const std::string& name, const std::string& folder, const std::string& place) {
  if (!IsRouteFileName(name)) Fail(place, Quoted(name) + " is not a route file name (a plain name ending in .route)");
  std::error_code ec;
  const fs::path file = fs::path(folder) / name;
  // A folder or file that may not be read is named as such, not as missing.
  if (fs::is_regular_file(file, ec)) {
    if (const std::string why = files::WhyUnreadable(file.string()); !why.empty())
      Fail(place, "route file " + Quoted(name) + " in " + folder + ": " + why);
    return;
  }
  if (ec == std::errc::permission_denied) Fail(place, "route file " + Quoted(name) + " in " + folder + ": " + ec.message());
  Fail(place, "route file " + Quoted(name) + " not found in " + folder);
}

}  // namespace simulator::scenario_fields
