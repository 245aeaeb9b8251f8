// The planner's HTTP server: on 127.0.0.1 only, every request checked
// (planner_safety) before it reaches the page's files or the session's
// API. One request at a time reaches the session: an edit is a few
// milliseconds, and the reader's echo and the simulated host are shared.
#pragma once

#include <memory>
#include <string>

#include "route_tool/planner/planner_api.h"

namespace route_tool {

class PlannerServer {
 public:
  PlannerServer(PlannerSession& session, std::string token);
  ~PlannerServer();
  PlannerServer(const PlannerServer&) = delete;
  PlannerServer& operator=(const PlannerServer&) = delete;

  // Binds 127.0.0.1:port (0: any free port); false with why.
  bool Bind(int port, std::string& why);
  int Port() const { return port_; }
  // "http://127.0.0.1:PORT/?token=HEX"
  std::string Address() const;
  // Serves until Stop; false when the server could not run.
  bool Run();
  void Stop();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
  std::string token_;
  int port_ = 0;
};

}  // namespace route_tool
