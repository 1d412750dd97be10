// TFaults: faults injected through the admin interface for the next N shop requests
// whose resource matches a route: an HTTP status with a body, a delay, a body that
// is not JSON, or a dropped connection. Thread-safe; owned by the server.
#pragma once

#include <regex>
#include <string>
#include <vector>
#include <mutex>

#include "RandomFaults.h"

namespace ooa::standin {

struct TFault {
  // Delay waits, then handles the request; LateAnswer handles it at once and
  // holds the answer back, as a busy shop that did the work after the client
  // gave up.
  enum EKind { Status, Delay, NotJson, Drop, LateAnswer };
  std::string Route;   // ECMAScript regex searched in the resource ("orders", "^products/batch$");
                       // one starting with "/" is searched in the whole path
  std::string Method;  // "" for any
  int Count = 1;       // requests left
  EKind Kind = Status;
  int HttpStatus = 500;
  std::string Body;    // "" for the default body of the kind
  int DelayMs = 0;
  std::regex Pattern;
};

class TFaults {
 public:
  // Adds a fault from its JSON description {route, count, kind, status, body, delay_ms,
  // method}; false and a message when the description is bad.
  bool Add(const std::string& json, std::string& error);
  // Copies the fault for this request into fault when one matches and uses up one
  // of its count, else draws a random fault when that mode is on; false when the
  // request gets none.
  bool Take(const std::string& method, const std::string& path, const std::string& resource,
            TFault& fault);
  void Clear();
  std::string ListText() const;

  // Faults drawn at random for requests no queued fault takes.
  TRandomFaults Random;

 private:
  mutable std::mutex Mutex;
  std::vector<TFault> List;
};

}  // namespace ooa::standin
