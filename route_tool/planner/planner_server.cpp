#include "route_tool/planner/planner_server.h"

#include <httplib.h>

#include <mutex>

#include "route_tool/planner/planner_assets.h"
#include "route_tool/planner/planner_safety.h"

namespace route_tool {
namespace {

using nlohmann::json;

void SendJson(httplib::Response& response, int status, const json& body) {
  response.status = status;
  // A route's bytes need not be UTF-8; what is not shows as U+FFFD. With
  // the charset named, the library leaves the answer uncompressed: over
  // the loopback, compressing a map of 1,000 waypoints took seconds.
  response.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json; charset=utf-8");
}

void SendError(httplib::Response& response, int status, const std::string& why) {
  SendJson(response, status, {{"error", why}});
}

}  // namespace

struct PlannerServer::Impl {
  explicit Impl(PlannerSession& s) : session(s) {}
  PlannerSession& session;
  httplib::Server server;
  std::mutex sessionMutex;
};

PlannerServer::PlannerServer(PlannerSession& session, std::string token)
    : impl_(std::make_unique<Impl>(session)), token_(std::move(token)) {
  httplib::Server& server = impl_->server;
  server.set_payload_max_length(kLargestRequestBytes);
  server.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
    if (!HostAllowed(request.get_header_value("Host"), port_)) {
      SendError(response, 421, "this server answers only to 127.0.0.1:" + std::to_string(port_));
      return httplib::Server::HandlerResponse::Handled;
    }
    if (!OriginAllowed(request.get_header_value("Origin"), request.has_header("Origin"), port_)) {
      SendError(response, 403, "requests from another page are refused");
      return httplib::Server::HandlerResponse::Handled;
    }
    const std::string given = request.has_header(kTokenHeader) ? request.get_header_value(kTokenHeader)
                                                                 : request.get_param_value(kTokenParameter);
    if (!TokensEqual(given, token_)) {
      SendError(response, 403, "this request lacks the session's token: open the address the planner printed");
      return httplib::Server::HandlerResponse::Handled;
    }
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server.set_error_handler([](const httplib::Request&, httplib::Response& response) {
    // Keep the answer a handler already gave; fill in the others.
    if (!response.body.empty()) return;
    SendError(response, response.status,
              response.status == 413 ? "the request is larger than the planner takes (4 MiB)" : "no such address");
  });
  server.set_exception_handler([](const httplib::Request&, httplib::Response& response, std::exception_ptr failure) {
    std::string why = "the request failed";
    try {
      if (failure) std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
      why = "not enough memory for this request";
    } catch (const std::exception& e) {
      why = e.what();
    }
    SendError(response, 500, why);
  });
  server.Get(R"(/([a-z_]+\.(html|js|css))?)", [this](const httplib::Request& request, httplib::Response& response) {
    const std::optional<PlannerAsset> asset = FindPlannerAsset(request.path, token_);
    if (!asset) return SendError(response, 404, "no such file: " + request.path);
    response.set_header("Cache-Control", "no-store");
    response.set_content(asset->bytes, std::string(asset->contentType).c_str());
  });
  const auto get = [this](const char* path, ApiReply (PlannerSession::*call)() const) {
    impl_->server.Get(path, [this, call](const httplib::Request&, httplib::Response& response) {
      const std::lock_guard lock(impl_->sessionMutex);
      const ApiReply reply = (impl_->session.*call)();
      SendJson(response, reply.status, reply.body);
    });
  };
  get("/api/current", &PlannerSession::Current);
  get("/api/files", &PlannerSession::Files);
  get("/api/bases", &PlannerSession::Bases);
  const auto post = [this](const char* path, auto call) {
    impl_->server.Post(path, [this, call](const httplib::Request& request, httplib::Response& response) {
      const json body = json::parse(request.body, nullptr, false);
      if (body.is_discarded() || !body.is_object()) return SendError(response, 400, "the request is not a JSON object");
      const std::lock_guard lock(impl_->sessionMutex);
      const ApiReply reply = call(impl_->session, body);
      SendJson(response, reply.status, reply.body);
    });
  };
  post("/api/edit", [](PlannerSession& s, const json& b) { return s.Edit(b); });
  post("/api/open", [](PlannerSession& s, const json& b) { return s.Open(b); });
  post("/api/save", [](PlannerSession& s, const json& b) { return s.Save(b); });
  post("/api/save-as", [](PlannerSession& s, const json& b) { return s.SaveAs(b); });
  post("/api/export", [](PlannerSession& s, const json& b) { return s.Export(b); });
  post("/api/bases", [](PlannerSession& s, const json& b) { return s.AddBase(b); });
  post("/api/preview", [](PlannerSession& s, const json& b) { return s.Preview(b); });
}

PlannerServer::~PlannerServer() { Stop(); }

bool PlannerServer::Bind(int port, std::string& why) {
  port_ = port == 0 ? impl_->server.bind_to_any_port("127.0.0.1") : port;
  if (port != 0 && !impl_->server.bind_to_port("127.0.0.1", port)) port_ = -1;
  if (port_ <= 0) {
    why = "cannot listen on 127.0.0.1" + (port == 0 ? std::string() : ":" + std::to_string(port));
    return false;
  }
  return true;
}

std::string PlannerServer::Address() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/?token=" + token_;
}

bool PlannerServer::Run() { return impl_->server.listen_after_bind(); }

void PlannerServer::Stop() {
  if (impl_->server.is_running()) impl_->server.stop();
}

}  // namespace route_tool
