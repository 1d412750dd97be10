// Whole-file reading and atomic replacement on Windows: the file is written
// beside the target, flushed to disk, and moved over it in one step
// (MoveFileExW with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH).
// The new file is its owner's, the administrators' and the system's only, as
// the Linux edition's are its owner's (mode 0600): the settings file holds the
// shop's secret, and a file moved in keeps the rights it was made with rather
// than taking the folder's (which let every user of the till read it).
#include "config/FileBytes.h"

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "config/win/WideText.h"

namespace ooa {

namespace {

// Closes the handle on every way out.
struct THandle {
  HANDLE H = INVALID_HANDLE_VALUE;
  explicit THandle(HANDLE h) : H(h) {}
  ~THandle() {
    if (H != INVALID_HANDLE_VALUE) CloseHandle(H);
  }
  THandle(const THandle&) = delete;
  THandle& operator=(const THandle&) = delete;
  bool Close() {
    const bool ok = CloseHandle(H) != 0;
    H = INVALID_HANDLE_VALUE;
    return ok;
  }
};

// The file a symbolic link (or junction) at `path` names; `path` itself for
// anything else, or when the link leads nowhere.
std::wstring LinkTarget(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return path;
  THandle h(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (h.H == INVALID_HANDLE_VALUE) return path;
  wchar_t buffer[MAX_PATH * 4];
  const DWORD n = GetFinalPathNameByHandleW(h.H, buffer, static_cast<DWORD>(std::size(buffer)), FILE_NAME_NORMALIZED);
  if (n == 0 || n >= std::size(buffer)) return path;
  std::wstring target(buffer, n);
  // "\\?\C:\..." -> "C:\...", "\\?\UNC\server\share" -> "\\server\share".
  if (target.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\" + target.substr(7);
  if (target.rfind(L"\\\\?\\", 0) == 0) return target.substr(4);
  return target;
}

// Whether a failed replace may succeed a moment later (a reader or a virus
// scanner holding the file open without sharing its deletion).
bool IsPassing(DWORD err) { return err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION || err == ERROR_LOCK_VIOLATION; }

// Full access for the owner, the administrators and the system, nobody else;
// not inherited from the folder (the DACL is protected).
class TOwnerOnly {
 public:
  TOwnerOnly() {
    ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;OW)(A;;FA;;;BA)(A;;FA;;;SY)", SDDL_REVISION_1,
                                                         &Descriptor, nullptr);
    Attributes.lpSecurityDescriptor = Descriptor;
  }
  ~TOwnerOnly() { LocalFree(Descriptor); }
  SECURITY_ATTRIBUTES* Get() { return Descriptor ? &Attributes : nullptr; }

 private:
  PSECURITY_DESCRIPTOR Descriptor = nullptr;
  SECURITY_ATTRIBUTES Attributes{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

}  // namespace

std::optional<std::string> ReadFileBytes(const std::string& path, const std::string& kind) {
  const std::wstring wpath = Widen(path);
  const DWORD attributes = GetFileAttributesW(wpath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    throw std::runtime_error("Cannot read " + kind + " " + path + ": Is a folder");
  }
  HANDLE raw = CreateFileW(wpath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (raw == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::nullopt;
    throw std::runtime_error("Cannot open " + kind + " " + path + ": " + SystemErrorText(err));
  }
  THandle h(raw);
  std::string data;
  char buf[65536];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(h.H, buf, sizeof buf, &n, nullptr)) {
      throw std::runtime_error("Cannot read " + kind + " " + path + ": " + SystemErrorText(GetLastError()));
    }
    if (n == 0) break;
    data.append(buf, n);
  }
  return data;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes, const std::string& kind) {
  const std::wstring target = LinkTarget(Widen(path));
  auto fail = [&](DWORD err) {
    throw std::runtime_error("Cannot write " + kind + " " + Narrow(target) + ": " + SystemErrorText(err));
  };
  // A new name beside the target, made by this call alone (CREATE_NEW).
  static std::atomic<unsigned> counter{0};
  std::wstring tmp;
  HANDLE raw = INVALID_HANDLE_VALUE;
  TOwnerOnly ownerOnly;
  for (int attempt = 0; raw == INVALID_HANDLE_VALUE; ++attempt) {
    tmp = target + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
    raw = CreateFileW(tmp.c_str(), GENERIC_WRITE, 0, ownerOnly.Get(), CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (raw == INVALID_HANDLE_VALUE && (GetLastError() != ERROR_FILE_EXISTS || attempt > 100)) fail(GetLastError());
  }
  THandle h(raw);
  auto discard = [&](DWORD err) {
    h.Close();
    DeleteFileW(tmp.c_str());
    fail(err);
  };
  size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
    DWORD n = 0;
    if (!WriteFile(h.H, bytes.data() + done, chunk, &n, nullptr)) discard(GetLastError());
    done += n;
  }
  if (!FlushFileBuffers(h.H)) discard(GetLastError());
  if (!h.Close()) {
    const DWORD err = GetLastError();
    DeleteFileW(tmp.c_str());
    fail(err);
  }
  for (int attempt = 0;; ++attempt) {
    if (MoveFileExW(tmp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return;
    const DWORD err = GetLastError();
    if (!IsPassing(err) || attempt >= 20) {
      DeleteFileW(tmp.c_str());
      fail(err);
    }
    Sleep(50);
  }
}

bool MoveFileOver(const std::string& from, const std::string& to) {
  return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

}  // namespace ooa
