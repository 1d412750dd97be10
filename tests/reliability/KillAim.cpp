// Kills aimed at the service's batches (see KillAim.h).
#include "KillAim.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <vector>

#include "ProgramRun.h"

namespace ooa::test {
namespace {

// Follows the log a run writes, line by line: the batch each line announces.
class TLogReader {
 public:
  // The kind of batch the line announces; Anywhere for any other line.
  TBatchKind Announces(const std::string& line) {
    if (line.rfind("Start Upload ", 0) == 0) Catalogue = true;
    if (line.rfind("Start Sync orders", 0) == 0) Catalogue = false;
    if (line == " |- Prcessing Order") return TBatchKind::Invoices;
    if (line == " |- Cancelling Order" || line.rfind("  |- Refunding: ", 0) == 0) return TBatchKind::CreditNotes;
    // A catalogue batch's request and the shop's answer: the ids answered so
    // far are written back after each.
    if (Catalogue && !line.empty() && (line[0] == '{' || line[0] == '[')) return TBatchKind::Catalogue;
    return TBatchKind::Anywhere;
  }

 private:
  bool Catalogue = false;
};

// The named file's complete lines from `offset` on; moves offset past them.
std::vector<std::string> NewLines(const std::string& path, std::streamoff& offset) {
  std::vector<std::string> lines;
  std::ifstream in(path, std::ios::binary);
  if (!in) return lines;
  in.seekg(offset);
  std::string line;
  while (std::getline(in, line)) {
    if (in.eof()) break;  // not yet ended by its newline
    offset += static_cast<std::streamoff>(line.size()) + 1;
    lines.push_back(std::move(line));
  }
  return lines;
}

}  // namespace

std::string BatchKindName(TBatchKind kind) {
  switch (kind) {
    case TBatchKind::Invoices: return "invoice batches";
    case TBatchKind::CreditNotes: return "credit-note batches";
    case TBatchKind::Catalogue: return "catalogue write-backs";
    case TBatchKind::Anywhere: break;
  }
  return "no batch yet";
}

TBatchKind LastBatch(const std::string& log) {
  TLogReader reader;
  TBatchKind last = TBatchKind::Anywhere;
  size_t start = 0;
  while (start < log.size()) {
    size_t end = log.find('\n', start);
    if (end == std::string::npos) end = log.size();
    const TBatchKind kind = reader.Announces(log.substr(start, end - start));
    if (kind != TBatchKind::Anywhere) last = kind;
    start = end + 1;
  }
  return last;
}

bool AwaitBatch(TProgramRun& run, const std::string& dbFile, TBatchKind kind, int nth, int timeoutMs) {
  TLogReader reader;
  TBatchKind last = TBatchKind::Anywhere;
  int announced = 0;  // batches of the kind so far: a transaction the spin missed still counts
  std::streamoff offset = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool held = false;
  for (unsigned spin = 0;; ++spin) {
    const bool now = WriteTransactionOpen(dbFile);
    if (now && !held) {
      for (const std::string& line : NewLines(run.StdoutPath(), offset))
        if (TBatchKind k = reader.Announces(line); k != TBatchKind::Anywhere) {
          last = k;
          announced += k == kind;
        }
      if (last == kind && announced >= nth) return true;
    }
    held = now;
    // Looking at the clock and the child costs more than looking at the lock.
    if (spin % 64 == 0 && (run.Wait(0) >= 0 || std::chrono::steady_clock::now() >= end)) return false;
  }
}

bool AwaitBatchEnd(TProgramRun& run, const std::string& dbFile, TBatchKind kind, int nth, int timeoutMs) {
  if (!AwaitBatch(run, dbFile, kind, nth, timeoutMs)) return false;
  for (unsigned spin = 0; WriteTransactionOpen(dbFile); ++spin)
    if (spin % 64 == 0 && run.Wait(0) >= 0) return false;
  return true;
}

bool WriteTransactionOpen(const std::string& dbFile) {
  // The write lock of a WAL database: the first of the lock bytes at offset
  // 120 of its "-shm" file, held exclusively from the start of a write
  // transaction to its end. F_GETLK names a lock another process holds.
  const int fd = ::open((dbFile + "-shm").c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 120;
  lock.l_len = 1;
  const bool held = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
  ::close(fd);
  return held;
}

}  // namespace ooa::test
