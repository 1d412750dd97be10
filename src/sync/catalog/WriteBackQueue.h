// The write-back queue of one catalogue upload run: the statements
// (db/catalog/ShopIds.h) that record the shop's answers in the POS database
// wait here, in their order, instead of being committed one by one.
//
// They are committed when the run's next request to the shop has left
// (SendBatchObject commits them the moment its request is written, while the
// shop works on it; a routine that sends by other means calls FlushWriteBacks
// first) or when the outermost SendBatchObject / ProcessBatchResults returns.
// Then they go to the database as one batch in one transaction. So every shop
// id is committed without waiting for another answer, as when each statement
// committed alone, and an answer whose elements need no follow-up request
// costs one commit instead of one per element. A statement that may wait
// (mayWait) does not make SendBatchObject flush: it waits for the next one
// that must not, or for the end. When the batch fails, any transaction it
// left open is rolled back and every statement runs again alone, so a failing
// statement costs only itself (the write-backs set fixed values, so running
// one twice changes nothing).
//
// Owned by the upload routine that starts a run (the Upload* entry points, on the
// catalogue worker thread) and lent to every routine of the run; the database
// module is borrowed. Outside the protocol's routines nothing waits, so the
// queue is empty whenever none of them is running.
#pragma once

#include <string>
#include <vector>

namespace ooa {

class TDatabaseModule;

class TWriteBackQueue {
 public:
  explicit TWriteBackQueue(TDatabaseModule& db) : Db(db) {}
  TWriteBackQueue(const TWriteBackQueue&) = delete;
  TWriteBackQueue& operator=(const TWriteBackQueue&) = delete;

  // Whether a queued statement must be committed as the next request leaves.
  bool MustFlush() const { return FlushDue; }

 private:
  friend void QueueWriteBack(TWriteBackQueue& queue, std::string statement, bool mayWait);
  friend void FlushWriteBacks(TWriteBackQueue& queue);
  friend class TWriteBackScope;

  TDatabaseModule& Db;
  std::vector<std::string> Statements;
  bool FlushDue = false;
  int Depth = 0;  // how deep the run is in the protocol's routines
};

// Queues a write-back statement (see above); "" queues nothing. Outside the
// protocol's routines it is committed at once.
void QueueWriteBack(TWriteBackQueue& queue, std::string statement, bool mayWait = false);
// Commits the queued write-backs now; for callers about to send a request by
// other means than SendBatchObject.
void FlushWriteBacks(TWriteBackQueue& queue);
// FlushWriteBacks for the channel's OnSent, which must not throw: out of
// memory while joining the batch loses the statements, as an unreachable
// database loses them.
void FlushWriteBacksNoThrow(TWriteBackQueue& queue) noexcept;

// Marks one routine of the protocol (the product upload sends its follow-up
// requests from inside them); the outermost flushes the queue on its way
// out, also when an exception leaves it.
class TWriteBackScope {
 public:
  explicit TWriteBackScope(TWriteBackQueue& queue) : Queue(queue) { ++Queue.Depth; }
  ~TWriteBackScope() {
    if (--Queue.Depth == 0) FlushWriteBacksNoThrow(Queue);
  }
  TWriteBackScope(const TWriteBackScope&) = delete;
  TWriteBackScope& operator=(const TWriteBackScope&) = delete;

 private:
  TWriteBackQueue& Queue;
};

}  // namespace ooa
