// Aiming a kill of the service inside its database batches: the database's
// write lock shows when a write transaction begins, and the run's log (the
// service logs with Debug) names the batch it announced just before.
// Whether the kill then lands inside a write transaction is read from the
// same lock while the process is stopped.
// Test thread only.
#pragma once

#include <string>

namespace ooa::test {

class TProgramRun;

enum class TBatchKind { Anywhere, Invoices, CreditNotes, Catalogue };

// "invoice batches", "credit-note batches", ... as the figures name them.
std::string BatchKindName(TBatchKind kind);

// The kind of the last batch a log announces; Anywhere before the first.
TBatchKind LastBatch(const std::string& log);

// Spins until the service takes the write lock of the database file for its
// nth batch of `kind` (the last batch its log announced then; a later one if
// the spin missed the nth), and returns at once. False when the run ended or
// timeoutMs passed first. The log alone comes too late: an invoice's write
// transaction lasts about 0.1 ms. Keeps one core busy while it waits.
bool AwaitBatch(TProgramRun& run, const std::string& dbFile, TBatchKind kind, int nth, int timeoutMs);

// AwaitBatch, then spins on until that transaction has ended (committed or
// rolled back): what the service does next is what a kill then interrupts.
bool AwaitBatchEnd(TProgramRun& run, const std::string& dbFile, TBatchKind kind, int nth, int timeoutMs);

// Whether a process holds the write lock of the database file (a WAL
// database: the writer's lock in its shared-memory file), that is, is inside
// a write transaction. Look while the writer is stopped.
bool WriteTransactionOpen(const std::string& dbFile);

}  // namespace ooa::test
