// What the planner's server asks of every request before it does
// anything: that it was meant for this server (Host), comes from its own
// page (Origin) and carries the session's token, and that every path it
// names stays inside the planner's folder. Plain functions, so that each
// rule is tested without a socket.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace route_tool {

// A request body larger than this is refused (413) before it is read: a
// route file the module reads fits many times over.
inline constexpr std::size_t kLargestRequestBytes = 4u << 20;

// The header and the query parameter that carry the token.
inline constexpr char kTokenHeader[] = "X-Planner-Token";
inline constexpr char kTokenParameter[] = "token";

// 32 hex digits from the system's random source; empty when it cannot be
// read (the server then does not start).
std::string NewSessionToken();

// The same bytes, compared in a time that does not depend on where they
// differ.
bool TokensEqual(const std::string& given, const std::string& expected);

// "127.0.0.1:PORT" or "localhost:PORT": a page of another name that was
// made to resolve to this machine (DNS rebinding) is refused.
bool HostAllowed(const std::string& hostHeader, int port);

// No Origin (a request typed by hand, or a same-origin GET) or this
// server's own, under either of its names.
bool OriginAllowed(const std::string& originHeader, bool hasOrigin, int port);

// A path given by the page, relative to the folder, resolved. Refused
// (empty path, why set): an absolute path, a ".." part, and anything that
// resolves, symbolic links followed, outside the folder. A name that does
// not exist yet is allowed when mustExist is false and its parent folder
// resolves inside.
struct PathInFolder {
  std::filesystem::path path;  // canonical (the parent canonical for a new file)
  std::string why;
};
PathInFolder ResolveInFolder(const std::filesystem::path& folder, const std::string& relative, bool mustExist);

}  // namespace route_tool
