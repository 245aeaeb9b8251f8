#include "route_tool/planner/planner_safety.h"

#include <cstdio>

namespace route_tool {
namespace {

// Inside or the folder itself, both canonical.
bool Within(const std::filesystem::path& path, const std::filesystem::path& folder) {
  auto p = path.begin();
  for (auto f = folder.begin(); f != folder.end(); ++f, ++p) {
    if (p == path.end() || *p != *f) return false;
  }
  return true;
}

}  // namespace

std::string NewSessionToken() {
  unsigned char bytes[16];
  std::FILE* random = std::fopen("/dev/urandom", "rb");
  if (random == nullptr) return {};
  const bool read = std::fread(bytes, 1, sizeof bytes, random) == sizeof bytes;
  std::fclose(random);
  if (!read) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string token;
  for (const unsigned char byte : bytes) {
    token.push_back(kHex[byte >> 4]);
    token.push_back(kHex[byte & 15]);
  }
  return token;
}

bool TokensEqual(const std::string& given, const std::string& expected) {
  if (given.size() != expected.size() || expected.empty()) return false;
  unsigned difference = 0;
  for (std::size_t i = 0; i < given.size(); ++i)
    difference |= static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(expected[i]);
  return difference == 0;
}

bool HostAllowed(const std::string& hostHeader, int port) {
  const std::string suffix = ":" + std::to_string(port);
  return hostHeader == "127.0.0.1" + suffix || hostHeader == "localhost" + suffix;
}

bool OriginAllowed(const std::string& originHeader, bool hasOrigin, int port) {
  if (!hasOrigin) return true;
  const std::string suffix = ":" + std::to_string(port);
  return originHeader == "http://127.0.0.1" + suffix || originHeader == "http://localhost" + suffix;
}

PathInFolder ResolveInFolder(const std::filesystem::path& folder, const std::string& relative, bool mustExist) {
  namespace fs = std::filesystem;
  PathInFolder result;
  const fs::path given(relative);
  if (relative.empty()) {
    result.why = "no file name given";
    return result;
  }
  if (given.is_absolute() || relative.find('\0') != std::string::npos) {
    result.why = relative + ": give a path inside the folder, relative to it";
    return result;
  }
  for (const fs::path& part : given) {
    if (part == "..") {
      result.why = relative + ": a path with \"..\" is refused";
      return result;
    }
  }
  std::error_code error;
  const fs::path root = fs::canonical(folder, error);
  if (error) {
    result.why = folder.string() + ": " + error.message();
    return result;
  }
  const fs::path joined = root / given;
  fs::path resolved = fs::canonical(joined, error);
  if (error) {
    if (mustExist || fs::symlink_status(joined, error).type() == fs::file_type::symlink) {
      result.why = relative + ": no such file in the folder";
      return result;
    }
    // A new file: its folder must exist inside, and the name is its own.
    const fs::path parent = fs::canonical(joined.parent_path(), error);
    if (error || !Within(parent, root)) {
      result.why = relative + ": the folder it names is not inside the planner's folder";
      return result;
    }
    resolved = parent / joined.filename();
  }
  if (!Within(resolved, root) || resolved == root) {
    result.why = relative + ": leads outside the planner's folder";
    return result;
  }
  result.path = resolved;
  return result;
}

}  // namespace route_tool
