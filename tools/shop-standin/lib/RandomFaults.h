// TRandomFaults: faults drawn at random for shop requests, from a fixed seed, so
// that a long run against the stand-in meets errors everywhere and the same seed
// gives the same sequence of draws. Set up through POST /standin/faults/random
// {seed, rate, kinds, statuses, delay_ms, timeout_ms, route}; GET tells the
// settings and how many faults of each kind were injected so far. Queued faults
// (TFaults) come first; a request none of them takes draws here. Thread-safe;
// owned by TFaults.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <random>
#include <regex>
#include <string>
#include <vector>

namespace ooa::standin {

struct TFault;

class TRandomFaults {
 public:
  // Starts (or restarts, counters kept) drawing from a JSON description:
  //   seed       integer, default 1
  //   rate       chance of a fault per request, 0 to 1 (0 stops drawing)
  //   kinds      any of "status", "timeout", "notjson", "drop", "slow";
  //              default all of them
  //   statuses   the statuses a "status" fault picks from; default [500, 503, 401]
  //   delay_ms   how long a "slow" answer waits before it is given; default 500
  //   timeout_ms how long a "timeout" waits (longer than the client waits);
  //              default 5000
  //   route      regex searched in the resource; default every route
  // False and a message when the description is bad.
  bool Configure(const std::string& json, std::string& error);
  // Stops drawing; the counters stay.
  void Stop();
  // Forgets settings and counters.
  void Reset();
  // Draws for one request; true and the fault when one is injected.
  bool Draw(const std::string& resource, TFault& fault);
  // {"active", "seed", "rate", "requests", "injected": {"status 500": n, "timeout": n, ...}}
  std::string Text() const;

 private:
  mutable std::mutex Mutex;
  bool Active = false;
  uint64_t Seed = 1;
  double Rate = 0;
  std::vector<std::string> Kinds;
  std::vector<int> Statuses;
  int DelayMs = 500;
  int TimeoutMs = 5000;
  std::string Route;
  std::regex Pattern;
  std::mt19937_64 Random;
  uint64_t Requests = 0;  // requests drawn for while active
  std::map<std::string, uint64_t> Injected;
};

}  // namespace ooa::standin
