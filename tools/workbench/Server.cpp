// The page's HTTP side: routes, the Host and Origin checks, the pane host behind them.
#include "Server.h"

#include <arpa/inet.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>

#include <httplib.h>

#include "Page.h"

namespace workbench {

namespace {

using nlohmann::json;

bool IsIPv4(const std::string& text) {
  in_addr parsed{};
  return inet_pton(AF_INET, text.c_str(), &parsed) == 1;
}

/// The Host headers a browser sends for this server: the address served, and
/// names that cannot be pointed elsewhere by a foreign page (no DNS rebinding).
std::set<std::string> AllowedHosts(const std::string& address, int port) {
  const std::string suffix = ":" + std::to_string(port);
  std::set<std::string> hosts = {address + suffix};
  const bool any = address == "0.0.0.0";
  if (any || address == "localhost" || address.rfind("127.", 0) == 0) {
    hosts.insert("localhost" + suffix);
    hosts.insert("127.0.0.1" + suffix);
  }
  char name[256] = {};
  if (any && gethostname(name, sizeof name - 1) == 0) hosts.insert(name + suffix);
  return hosts;
}

bool HostAllowed(const std::set<std::string>& allowed, const std::string& address,
                 const std::string& host, int port) {
  if (allowed.count(host) != 0) return true;
  // Served on every interface: any IPv4 literal of this port names this machine.
  const std::string suffix = ":" + std::to_string(port);
  return address == "0.0.0.0" && host.size() > suffix.size() &&
         host.compare(host.size() - suffix.size(), suffix.size(), suffix) == 0 &&
         IsIPv4(host.substr(0, host.size() - suffix.size()));
}

std::string Base64(const std::vector<unsigned char>& bytes) {
  static const char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string text;
  text.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const unsigned n = unsigned(bytes[i]) << 16 | (i + 1 < bytes.size() ? unsigned(bytes[i + 1]) << 8 : 0) |
                       (i + 2 < bytes.size() ? bytes[i + 2] : 0);
    text += kDigits[n >> 18 & 63];
    text += kDigits[n >> 12 & 63];
    text += i + 1 < bytes.size() ? kDigits[n >> 6 & 63] : '=';
    text += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return text;
}

void SendJson(httplib::Response& res, const Reply& reply) {
  res.status = reply.status;
  res.set_header("Cache-Control", "no-store");
  res.set_content(reply.body.dump(), "application/json");
}

void SendError(httplib::Response& res, int status, const std::string& message) {
  res.status = status;
  res.set_content(json{{"error", message}}.dump(), "application/json");
}

void SendPicture(httplib::Response& res, const std::vector<unsigned char>& bytes, const char* type) {
  if (bytes.empty()) return SendError(res, 503, "the pane cannot be drawn now");
  res.set_header("Cache-Control", "no-store");
  res.set_content(reinterpret_cast<const char*>(bytes.data()), bytes.size(), type);
}

/// The JSON object of a request's body; false (and a 400 sent) when it is none.
bool ReadBody(const httplib::Request& req, httplib::Response& res, json* body) {
  *body = json::parse(req.body, nullptr, false);
  if (body->is_object()) return true;
  SendError(res, 400, "the request's body is not a JSON object");
  return false;
}

class Server {
 public:
  Server(const ServeOptions& options, PaneHost& pane) : options_(options), pane_(pane) {}
  void Bind();
  void Listen() { http_.listen_after_bind(); }
  void Stop() { http_.stop(); }
  int Port() const { return port_; }

 private:
  httplib::Server::HandlerResponse Guard(const httplib::Request& req, httplib::Response& res);
  void Routes();
  void Static(const char* path, const char* content, const char* type);
  void AttachPicture(const json& request, Reply* reply);

  const ServeOptions& options_;
  PaneHost& pane_;
  httplib::Server http_;
  int port_ = 0;
  std::set<std::string> allowed_;
};

void Server::Bind() {
  port_ = options_.port == 0 ? http_.bind_to_any_port(options_.address)
                             : (http_.bind_to_port(options_.address, options_.port) ? options_.port : -1);
  if (port_ <= 0)
    throw SessionError("cannot serve on " + options_.address + ":" + std::to_string(options_.port));
  allowed_ = AllowedHosts(options_.address, port_);
  http_.set_pre_routing_handler(
      [this](const httplib::Request& req, httplib::Response& res) { return Guard(req, res); });
  Routes();
}

/// Refuses requests another page could have made: a Host that is not this
/// server, an Origin of another site, a POST that is not JSON (which a plain
/// form of another site cannot send without asking first).
httplib::Server::HandlerResponse Server::Guard(const httplib::Request& req, httplib::Response& res) {
  using Handled = httplib::Server::HandlerResponse;
  const std::string host = req.get_header_value("Host");
  if (!HostAllowed(allowed_, options_.address, host, port_)) {
    SendError(res, 403, "refused: Host '" + host + "' is not the address served");
    return Handled::Handled;
  }
  if (req.has_header("Origin") && req.get_header_value("Origin") != "http://" + host) {
    SendError(res, 403, "refused: a page of another origin");
    return Handled::Handled;
  }
  if (req.method == "POST" && req.get_header_value("Content-Type").rfind("application/json", 0) != 0) {
    SendError(res, 415, "requests carry JSON");
    return Handled::Handled;
  }
  return Handled::Unhandled;
}

void Server::Static(const char* path, const char* content, const char* type) {
  http_.Get(path, [content, type](const httplib::Request&, httplib::Response& res) {
    res.set_header("Cache-Control", "no-store");
    res.set_content(content, type);
  });
}

/// What changed in the pane since the frame the page shows ("have", at "scale"),
/// in the reply itself when it is small: one round trip from input to picture.
void Server::AttachPicture(const json& request, Reply* reply) {
  constexpr size_t kInlineBytes = 256 * 1024;
  if (!request.contains("have") || !request["have"].is_number_integer()) return;
  const PictureRegion region = pane_.Pixels(request.value("scale", 1) == 2 ? 2 : 1, request["have"].get<int>());
  if (region.frame == 0 || region.frame != reply->body.value("frame", -1) || region.rgba.size() > kInlineBytes)
    return;
  reply->body["picture"] = {{"frame", region.frame},
                            {"region", {region.x, region.y, region.width, region.height}},
                            {"rgba", Base64(region.rgba)}};
}

void Server::Routes() {
  Static("/", kPageHtml, "text/html; charset=utf-8");
  Static("/page.js", kPageScript, "text/javascript; charset=utf-8");
  Static("/page.css", kPageStyle, "text/css; charset=utf-8");
  http_.Get("/api/state", [this](const httplib::Request&, httplib::Response& res) {
    SendJson(res, pane_.State());
  });
  http_.Post("/api/input", [this](const httplib::Request& req, httplib::Response& res) {
    json body;
    if (!ReadBody(req, res, &body)) return;
    if (!body.contains("line") || !body["line"].is_string())
      return SendError(res, 400, "an input needs a \"line\" of script text");
    Reply reply = pane_.Input(body["line"].get<std::string>());
    AttachPicture(body, &reply);
    SendJson(res, reply);
  });
  http_.Post("/api/answer", [this](const httplib::Request& req, httplib::Response& res) {
    json body;
    if (!ReadBody(req, res, &body)) return;
    if (!body.contains("item") || !body["item"].is_number_integer())
      return SendError(res, 400, "an answer needs an \"item\" number");
    Reply reply = pane_.Answer(body["item"].get<int>());
    AttachPicture(body, &reply);
    SendJson(res, reply);
  });
  http_.Post("/api/reload", [this](const httplib::Request&, httplib::Response& res) {
    SendJson(res, pane_.Reload());
  });
  http_.Post("/api/record", [this](const httplib::Request& req, httplib::Response& res) {
    json body;
    if (!ReadBody(req, res, &body)) return;
    SendJson(res, pane_.Record(body.value("on", false)));
  });
  http_.Get("/session.script", [this](const httplib::Request&, httplib::Response& res) {
    res.set_header("Content-Disposition", "attachment; filename=\"recorded.session\"");
    res.set_content(pane_.Script(), "text/plain; charset=utf-8");
  });
  // The pane as drawn: raw pixels for the page (no encoding, no decoding), PNG to keep.
  http_.Get("/pane.rgba", [this](const httplib::Request& req, httplib::Response& res) {
    const std::string have = req.get_param_value("have");
    const PictureRegion region = pane_.Pixels(req.get_param_value("scale") == "2" ? 2 : 1,
                                              have.empty() ? -1 : std::atoi(have.c_str()));
    if (region.frame == 0) return SendError(res, 503, "the pane cannot be drawn now");
    res.set_header("X-Frame", std::to_string(region.frame));
    res.set_header("X-Region", std::to_string(region.x) + " " + std::to_string(region.y) + " " +
                                   std::to_string(region.width) + " " + std::to_string(region.height));
    res.set_header("Cache-Control", "no-store");
    res.set_content(reinterpret_cast<const char*>(region.rgba.data()), region.rgba.size(),
                    "application/octet-stream");
  });
  http_.Get("/pane.png", [this](const httplib::Request& req, httplib::Response& res) {
    SendPicture(res, pane_.Png(req.get_param_value("scale") == "2" ? 2 : 1), "image/png");
  });
}

}  // namespace

bool ParseServeAddress(const std::string& text, std::string* address, int* port,
                       std::string* error) {
  const size_t colon = text.rfind(':');
  const std::string host = colon == std::string::npos ? "127.0.0.1" : text.substr(0, colon);
  const std::string digits = colon == std::string::npos ? text : text.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos ||
      std::stoi(digits) > 65535) {
    *error = "--serve wants [ADDRESS:]PORT, e.g. 8080 or 127.0.0.1:8080, not '" + text + "'";
    return false;
  }
  if (host != "localhost" && !IsIPv4(host)) {
    *error = "--serve: '" + host + "' is no IPv4 address";
    return false;
  }
  *address = host == "localhost" ? "127.0.0.1" : host;
  *port = std::stoi(digits);
  return true;
}

void Serve(const ServeOptions& options) {
  // SIGINT and SIGTERM end the server from a thread of its own, so no handler
  // runs inside the pane or the HTTP code; blocked before any thread starts.
  sigset_t stops;
  sigemptyset(&stops);
  sigaddset(&stops, SIGINT);
  sigaddset(&stops, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stops, nullptr);
  PaneHost pane(options.source, options.folders);
  Server server(options, pane);
  server.Bind();
  std::printf("velkui-workbench: %s at http://%s:%d/\n", pane.State().body.value("pane", std::string()).c_str(),
              options.address.c_str(), server.Port());
  std::fflush(stdout);
  std::thread stopper([&] {
    int signal = 0;
    sigwait(&stops, &signal);
    server.Stop();
  });
  server.Listen();
  pthread_kill(stopper.native_handle(), SIGTERM);  // when listening ended otherwise
  stopper.join();
}

}  // namespace workbench
