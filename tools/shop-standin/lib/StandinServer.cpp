#include "StandinServer.h"

#include <httplib.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>

#include "Orders.h"

namespace ooa::standin {

oauth::TParams ParseQuery(const std::string& query) {
  oauth::TParams params;
  size_t pos = 0;
  while (pos < query.size()) {
    size_t amp = query.find('&', pos);
    std::string pair = query.substr(pos, amp == std::string::npos ? std::string::npos : amp - pos);
    if (!pair.empty()) {
      size_t eq = pair.find('=');
      params.emplace_back(oauth::PercentDecode(pair.substr(0, eq)),
                          eq == std::string::npos ? "" : oauth::PercentDecode(pair.substr(eq + 1)));
    }
    if (amp == std::string::npos) break;
    pos = amp + 1;
  }
  return params;
}

TStandinServer::TStandinServer(TStandinConfig config) : Config(std::move(config)) {}

TStandinServer::~TStandinServer() { Stop(); }

std::string TStandinServer::Origin() const {
  return std::string(Config.CertFile.empty() ? "http" : "https") + "://" + Config.Host + ":" +
         std::to_string(BoundPort);
}

static bool ReadFile(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  text = buffer.str();
  return true;
}

bool TStandinServer::Start(std::string& error) {
  if (!Config.StateFile.empty()) {
    std::string text;
    if (ReadFile(Config.StateFile, text) && !text.empty()) {
      std::lock_guard lock(Store.Mutex);
      if (!Store.LoadState(text, error)) {
        error = "state file " + Config.StateFile + ": " + error;
        return false;
      }
    }
  }
  if (!Config.SeedFile.empty()) {
    std::string text;
    if (!ReadFile(Config.SeedFile, text)) {
      error = "cannot read the seed file " + Config.SeedFile;
      return false;
    }
    std::lock_guard lock(Store.Mutex);
    TShopResponse seeded = AdminPutOrders(Store, text, false);
    if (seeded.Status != 200) {
      error = "seed file " + Config.SeedFile + ": " + seeded.Body;
      return false;
    }
  }
  if (!Config.CertFile.empty() || !Config.KeyFile.empty()) {
    if (Config.CertFile.empty() || Config.KeyFile.empty()) {
      error = "HTTPS needs both a certificate and a key file";
      return false;
    }
    Http = std::make_unique<httplib::SSLServer>(Config.CertFile.c_str(), Config.KeyFile.c_str());
  } else {
    Http = std::make_unique<httplib::Server>();
  }
  if (!Http->is_valid()) {
    error = "the server could not be set up (certificate or key unreadable?)";
    return false;
  }
  // Enough workers for idle keep-alive connections of several clients, injected
  // delays and the admin calls of a test at the same time.
  Http->new_task_queue = [] { return new httplib::ThreadPool(24); };
  Http->set_keep_alive_max_count(100);
  // Answers go out at once: headers and body are written separately, and
  // waiting for the client's delayed acknowledgement costs 40 ms a request.
  Http->set_tcp_nodelay(true);
  auto handler = [this](const httplib::Request& req, httplib::Response& res) { Serve(req, res); };
  Http->Get(".*", handler);
  Http->Post(".*", handler);
  Http->Put(".*", handler);
  Http->Patch(".*", handler);
  Http->Delete(".*", handler);
  Http->Options(".*", handler);
  Http->set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
    std::string what = "unknown error";
    try {
      std::rethrow_exception(ep);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
    res.status = 500;
    res.set_content(ErrorBody("internal_server_error", "The stand-in failed: " + what, 500),
                    "application/json; charset=UTF-8");
  });
  if (Config.Port == 0) {
    BoundPort = Http->bind_to_any_port(Config.Host);
    if (BoundPort <= 0) {
      error = "cannot bind to " + Config.Host;
      return false;
    }
  } else {
    if (!Http->bind_to_port(Config.Host, Config.Port)) {
      error = "cannot bind to " + Config.Host + ":" + std::to_string(Config.Port);
      return false;
    }
    BoundPort = Config.Port;
  }
  std::string home = Config.HomeUrl.empty() ? Origin() : Config.HomeUrl;
  Verifier = std::make_unique<TOAuthVerifier>(home, Config.Keys);
  return true;
}

void TStandinServer::Run() {
  if (Http) Http->listen_after_bind();
}

void TStandinServer::Stop() {
  {
    std::lock_guard lock(StopMutex);
    Stopping = true;
  }
  StopSignal.notify_all();
  if (Http) Http->stop();
}

bool TStandinServer::WaitOrStop(int milliseconds) {
  std::unique_lock lock(StopMutex);
  return StopSignal.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Stopping; });
}

void TStandinServer::SaveState() {
  if (Config.StateFile.empty()) return;
  std::string text;
  {
    std::lock_guard lock(Store.Mutex);
    text = Store.StateText();
  }
  std::lock_guard lock(SaveMutex);
  std::string temp = Config.StateFile + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << text;
    if (!out) return;
  }
  std::rename(temp.c_str(), Config.StateFile.c_str());
}

void TStandinServer::Serve(const httplib::Request& req, httplib::Response& res) {
  TShopRequest request;
  request.Method = req.method;
  size_t q = req.target.find('?');
  request.Path = req.target.substr(0, q);
  if (q != std::string::npos) request.Query = ParseQuery(req.target.substr(q + 1));
  request.Body = req.body;
  request.ContentType = req.get_header_value("Content-Type");
  request.Authorization = req.get_header_value("Authorization");
  request.Tls = !Config.CertFile.empty();

  TShopResponse response;
  if (request.Path.rfind(kAdminPrefix, 0) == 0) {
    response = HandleAdmin(request);
  } else {
    std::string resource = request.Path.rfind(kApiPrefix, 0) == 0 ? request.Path.substr(kApiPrefix.size()) : "";
    request.Resource = resource;
    uint64_t seq = Log.Add(request, req.target);
    TFault fault;
    bool faulty = Faults.Take(request.Method, request.Path, resource, fault);
    if (faulty && fault.Kind == TFault::Delay) {
      // A stop during the delay drops the connection, as a server going away would.
      fault.Kind = WaitOrStop(fault.DelayMs) ? TFault::Drop : TFault::Delay;
      faulty = fault.Kind == TFault::Drop;
    }
    // The headers go out, then the connection closes before the promised body.
    auto drop = [&] {
      Log.SetStatus(seq, -1);
      res.set_content_provider(1024, "application/json", [](size_t, size_t, httplib::DataSink&) { return false; });
    };
    if (faulty && fault.Kind == TFault::Drop) {
      drop();
      return;
    }
    if (faulty && fault.Kind == TFault::LateAnswer) {
      // The change is made, then the answer waits (a stop drops it).
      response = HandleShop(request);
      if (response.Mutated) SaveState();
      response.Mutated = false;
      if (WaitOrStop(fault.DelayMs)) {
        drop();
        return;
      }
    } else if (faulty) {
      response.Status = fault.HttpStatus;
      if (fault.Kind == TFault::NotJson) {
        response.Body = fault.Body.empty() ? "<html><body><h1>Service Unavailable</h1></body></html>" : fault.Body;
        response.ContentType = "text/html; charset=UTF-8";
      } else {
        response.Body = fault.Body.empty()
            ? ErrorBody("standin_injected_fault", "The stand-in was told to fail this request.", fault.HttpStatus)
            : fault.Body;
        if (!ParseJson(response.Body)) response.ContentType = "text/plain; charset=UTF-8";
      }
    } else {
      response = HandleShop(request);
    }
    Log.SetStatus(seq, response.Status);
  }
  res.status = response.Status;
  if (request.Path.rfind(kAdminPrefix, 0) != 0) {
    // The shop's answers carry its clock, as a web server's do.
    std::time_t now = 0;
    {
      std::lock_guard lock(Store.Mutex);
      now = static_cast<std::time_t>(Store.Now());
    }
    std::tm tm{};
    gmtime_r(&now, &tm);
    char date[64];
    std::strftime(date, sizeof date, "%a, %d %b %Y %H:%M:%S GMT", &tm);
    res.set_header("Date", date);
  }
  for (const auto& [name, value] : response.Headers) res.set_header(name, value);
  res.set_content(response.Body, response.ContentType);
  if (response.Mutated) SaveState();
}

}  // namespace ooa::standin
