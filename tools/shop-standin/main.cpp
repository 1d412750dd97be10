// shop-standin: runs the stand-in shop until SIGTERM or SIGINT. Prints one line,
// "listening on http://127.0.0.1:PORT" (https with a certificate), once it accepts
// connections, so scripts and tests can read the port.
#include <csignal>
#include <cstdio>
#include <iostream>
#include <pthread.h>
#include <thread>

#include <CLI/CLI.hpp>

#include "StandinServer.h"

int main(int argc, char** argv) {
  using namespace ooa::standin;
  TStandinConfig config;
  std::string key = "ck_standin", secret = "cs_standin", readOnlyKey, readOnlySecret;

  CLI::App app{"Stand-in shop: answers the shop REST API requests of the adaptor on loopback"};
  app.add_option("--host", config.Host, "Address to listen on")->capture_default_str();
  app.add_option("--port", config.Port, "Port; 0 picks a free one")->capture_default_str();
  app.add_option("--home-url", config.HomeUrl,
                 "Home URL the OAuth base string is built from (default: http(s)://HOST:PORT)");
  app.add_option("--key", key, "Consumer key (read and write)")->capture_default_str();
  app.add_option("--secret", secret, "Consumer secret")->capture_default_str();
  app.add_option("--read-only-key", readOnlyKey, "An extra consumer key that may only read");
  app.add_option("--read-only-secret", readOnlySecret, "Its secret (default: --secret)");
  app.add_option("--state", config.StateFile, "State file: loaded at start, written after every change");
  app.add_option("--seed", config.SeedFile, "Orders to load at start (JSON array)");
  app.add_option("--cert", config.CertFile, "TLS certificate (PEM); with --key-file serves HTTPS");
  app.add_option("--key-file", config.KeyFile, "TLS private key (PEM)");
  app.add_flag("--no-auth", config.NoAuth, "Accept shop requests without OAuth signatures");
  CLI11_PARSE(app, argc, argv);

  config.Keys.push_back({key, secret, false});
  if (!readOnlyKey.empty()) {
    config.Keys.push_back({readOnlyKey, readOnlySecret.empty() ? secret : readOnlySecret, true});
  }

  // Signals go to one waiting thread; the server threads never see them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::signal(SIGPIPE, SIG_IGN);

  TStandinServer server(config);
  std::string error;
  if (!server.Start(error)) {
    std::cerr << "shop-standin: " << error << std::endl;
    return 1;
  }
  std::thread waiter([&] {
    int received = 0;
    sigwait(&signals, &received);
    server.Stop();
  });
  std::cout << "listening on " << server.Origin() << std::endl;
  server.Run();
  // Run also ends when the server fails; wake the waiter so the process can exit.
  pthread_kill(waiter.native_handle(), SIGTERM);
  waiter.join();
  return 0;
}
