// The application locks of an embedded session (see AppLocks.h).
#include "tsql/AppLocks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <thread>

#include "tsql/Value.h"

namespace ooa::tsql {

namespace {

thread_local TAppLocks* tCurrent = nullptr;

// The byte of the lock file that stands for a resource (FNV-1a). Two names
// that met on one byte would exclude each other; with 62 bits they do not.
off_t ByteOf(const std::string& key) {
  uint64_t h = 14695981039346656037ull;
  for (unsigned char c : key) {
    h ^= c;
    h *= 1099511628211ull;
  }
  return static_cast<off_t>(h & 0x3FFFFFFFFFFFFFFFull);
}

struct flock Range(const std::string& key, short type) {
  struct flock fl {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = ByteOf(key);
  fl.l_len = 1;
  fl.l_pid = 0;  // must be 0 for open file description locks
  return fl;
}

short TypeOf(TAppLockMode mode) { return mode == TAppLockMode::Exclusive ? F_WRLCK : F_RDLCK; }

}  // namespace

TAppLocks::~TAppLocks() { ReleaseAll(); }

void TAppLocks::Attach(const std::string& databaseFile) {
  ReleaseAll();
  DatabasePath = databaseFile;
  // The same file reached by another name (a relative path, a link) must
  // give the same lock file.
  std::error_code ec;
  std::filesystem::path real = std::filesystem::weakly_canonical(std::filesystem::absolute(databaseFile, ec), ec);
  LockPath = (ec || real.empty() ? databaseFile : real.string()) + "-applock";
}

void TAppLocks::ReleaseAll() {
  if (Fd >= 0) ::close(Fd);  // the system drops every lock of this description
  Fd = -1;
  Held.clear();
}

void TAppLocks::OpenLockFile() {
  if (Fd >= 0) return;
  if (LockPath.empty()) throw TRuntimeError{50000, "The session has no database file to take a lock beside."};
  // Every user who may write the database may lock it: the lock file gets the
  // database file's permissions, whatever the umask.
  mode_t mode = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;
  struct stat st {};
  if (::stat(DatabasePath.c_str(), &st) == 0) mode = st.st_mode & 0666;
  int fd = ::open(LockPath.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd >= 0) {
    (void)::fchmod(fd, mode);
  } else if (errno == EEXIST) {
    fd = ::open(LockPath.c_str(), O_RDWR | O_CLOEXEC);
  }
  if (fd < 0) throw TRuntimeError{50000, "Cannot open the lock file '" + LockPath + "': " + std::strerror(errno)};
  Fd = fd;
}

bool TAppLocks::TryLock(const std::string& key, TAppLockMode mode) {
  struct flock fl = Range(key, TypeOf(mode));
  while (::fcntl(Fd, F_OFD_SETLK, &fl) != 0) {
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EACCES) return false;
    throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + std::strerror(errno)};
  }
  return true;
}

void TAppLocks::Unlock(const std::string& key) {
  struct flock fl = Range(key, F_UNLCK);
  while (::fcntl(Fd, F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
  }
}

int TAppLocks::Get(const std::string& key, TAppLockMode mode, int timeoutMs) {
  OpenLockFile();
  auto held = Held.find(key);
  if (held != Held.end() && (held->second.Mode == TAppLockMode::Exclusive || mode == TAppLockMode::Shared)) {
    ++held->second.Count;
    return 0;
  }
  bool waited = false;
  if (!TryLock(key, mode)) {
    if (timeoutMs == 0) return -1;
    waited = true;
    if (timeoutMs < 0) {
      struct flock fl = Range(key, TypeOf(mode));
      while (::fcntl(Fd, F_OFD_SETLKW, &fl) != 0) {
        if (errno != EINTR)
          throw TRuntimeError{50000, "Cannot lock the lock file '" + LockPath + "': " + std::strerror(errno)};
      }
    } else {
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
      while (true) {
        auto now = std::chrono::steady_clock::now();
        if (now >= deadline) return -1;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(10), deadline - now));
        if (TryLock(key, mode)) break;
      }
    }
  }
  THeld& h = Held[key];
  h.Mode = mode;
  ++h.Count;
  return waited ? 1 : 0;
}

bool TAppLocks::Release(const std::string& key) {
  auto held = Held.find(key);
  if (held == Held.end()) return false;
  if (--held->second.Count > 0) return true;
  Unlock(key);
  Held.erase(held);
  return true;
}

TAppLockMode TAppLocks::ModeOf(const std::string& key) const {
  auto held = Held.find(key);
  return held == Held.end() ? TAppLockMode::NoLock : held->second.Mode;
}

TAppLockScope::TAppLockScope(TAppLocks* locks) : Saved(tCurrent) { tCurrent = locks; }
TAppLockScope::~TAppLockScope() { tCurrent = Saved; }

TAppLocks* CurrentAppLocks() { return tCurrent; }

}  // namespace ooa::tsql
