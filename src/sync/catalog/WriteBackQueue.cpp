// The catalogue upload's write-back queue (see WriteBackQueue.h).
#include "sync/catalog/WriteBackQueue.h"

#include <utility>

#include "db/DatabaseModule.h"

namespace ooa {

void QueueWriteBack(TWriteBackQueue& queue, std::string statement, bool mayWait) {
  if (statement.empty()) return;
  queue.Statements.push_back(std::move(statement));
  if (!mayWait) queue.FlushDue = true;
  if (queue.Depth == 0) FlushWriteBacks(queue);  // outside the protocol's routines nothing waits
}

void FlushWriteBacks(TWriteBackQueue& queue) {
  if (queue.Statements.empty()) return;
  std::vector<std::string> statements;
  statements.swap(queue.Statements);
  queue.FlushDue = false;
  TDatabaseModule& db = queue.Db;
  if (statements.size() == 1) {
    db.ExecQueryPro(statements.front());
    return;
  }
  std::size_t size = 32;
  for (const std::string& statement : statements) size += statement.size() + 1;
  std::string batch;
  batch.reserve(size);
  batch += "Begin Tran;";
  for (const std::string& statement : statements) {
    batch += ' ';
    batch += statement;
  }
  batch += " Commit Tran;";
  if (db.ExecQueryPro(batch)) return;
  // A server that gave up the batch may have left its transaction open.
  db.ExecQueryPro("If @@TranCount > 0 Rollback Tran;");
  for (const std::string& statement : statements) db.ExecQueryPro(statement);
}

void FlushWriteBacksNoThrow(TWriteBackQueue& queue) noexcept {
  try {
    FlushWriteBacks(queue);
  } catch (...) {
    // Out of memory while joining the batch: the statements are lost, as
    // an unreachable database loses them.
  }
}

}  // namespace ooa
