// TRequestLog: the shop requests the stand-in received (not the admin ones), so tests
// can check what a client sent. Keeps the latest kCapacity entries. Thread-safe;
// owned by the server.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <string>

#include "ShopRequest.h"

namespace ooa::standin {

class TRequestLog {
 public:
  static constexpr size_t kCapacity = 2000;

  // Records a request; the returned number identifies it for SetStatus.
  uint64_t Add(const TShopRequest& request, const std::string& target);
  void SetStatus(uint64_t number, int status);
  // [{"seq", "method", "path", "target", "query": [[name, value], ...], "content_type",
  //   "authorization", "body", "status"}] oldest first; entries with seq > after only.
  std::string Text(uint64_t after = 0) const;
  void Clear();

 private:
  struct TEntry {
    uint64_t Seq;
    TShopRequest Request;
    std::string Target;
    int Status = 0;
  };
  mutable std::mutex Mutex;
  std::deque<TEntry> Entries;
  uint64_t NextSeq = 1;
};

}  // namespace ooa::standin
