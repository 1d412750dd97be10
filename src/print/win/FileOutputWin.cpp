// Raw output to a printer device (\\.\COM1, LPT1, ...) or a capture file
// (file:PATH, appended). Each piece is written at once; a device that takes
// no data within the time-out is an error, not a hang (its write is
// overlapped, waited for with a bound and cancelled after it).
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "print/PrinterOutput.h"
#include "config/win/WideText.h"

namespace ooa {

namespace {

// "LPT1", "COM3:" as the Win32 device path "\\.\LPT1"; other names as they are.
std::wstring DevicePath(const std::string& name) {
  std::string n = name;
  if (!n.empty() && n.back() == ':') n.pop_back();
  if (n.size() >= 4 && n.size() <= 6) {
    std::string head = n.substr(0, 3);
    for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if ((head == "LPT" || head == "COM") && n.find_first_not_of("0123456789", 3) == std::string::npos)
      return L"\\\\.\\" + Widen(n);
  }
  return Widen(name);
}

// file:///C:/r.bin leaves "/C:/r.bin": the drive letter starts the path.
std::wstring FilePath(const std::string& path) {
  if (path.size() >= 3 && path[0] == '/' && std::isalpha(static_cast<unsigned char>(path[1])) && path[2] == ':')
    return Widen(path.substr(1));
  return Widen(path);
}

class TFileOutput : public IPrinterOutput {
 public:
  TFileOutput(const std::string& path, bool device) : Path(path), Device(device) {
    if (device) {
      File = CreateFileW(DevicePath(path).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED,
                         nullptr);
    } else {
      File = CreateFileW(FilePath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (File == INVALID_HANDLE_VALUE) throw TPrintError("Printer " + path + ": " + SystemErrorText(GetLastError()));
    if (device) {
      Event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
      if (Event == nullptr) {
        const DWORD error = GetLastError();
        CloseHandle(File);
        File = INVALID_HANDLE_VALUE;
        throw TPrintError("Printer " + path + ": " + SystemErrorText(error));
      }
    }
  }

  ~TFileOutput() override {
    if (File != INVALID_HANDLE_VALUE) CloseHandle(File);
    if (Event != nullptr) CloseHandle(Event);
  }

  void Write(std::string_view data) override {
    if (File == INVALID_HANDLE_VALUE) throw TPrintError("Printer " + Path + ": the document is closed");
    size_t done = 0;
    while (done < data.size()) {
      const DWORD piece = static_cast<DWORD>(std::min<size_t>(data.size() - done, 1u << 20));
      const DWORD written = Device ? WriteDevice(data.data() + done, piece) : WriteFileOnce(data.data() + done, piece);
      done += written;
    }
  }

  void Finish() override {
    if (File == INVALID_HANDLE_VALUE) return;
    const BOOL ok = CloseHandle(File);
    File = INVALID_HANDLE_VALUE;
    if (!ok) throw TPrintError("Printer " + Path + ": " + SystemErrorText(GetLastError()));
  }

 private:
  DWORD WriteFileOnce(const char* bytes, DWORD size) {
    DWORD written = 0;
    if (!WriteFile(File, bytes, size, &written, nullptr) || written == 0)
      throw TPrintError("Printer " + Path + ": " + SystemErrorText(GetLastError()));
    return written;
  }

  DWORD WriteDevice(const char* bytes, DWORD size) {
    OVERLAPPED o{};
    o.hEvent = Event;
    ResetEvent(Event);
    DWORD written = 0;
    if (!WriteFile(File, bytes, size, nullptr, &o)) {
      const DWORD error = GetLastError();
      if (error != ERROR_IO_PENDING) throw TPrintError("Printer " + Path + ": " + SystemErrorText(error));
      if (WaitForSingleObject(Event, static_cast<DWORD>(PrinterTimings().IoTimeoutMs)) != WAIT_OBJECT_0) {
        CancelIoEx(File, &o);
        GetOverlappedResult(File, &o, &written, TRUE);  // the cancelled write ends before o goes away
        throw TPrintError("Printer " + Path + ": the printer takes no data (time-out)");
      }
    }
    if (!GetOverlappedResult(File, &o, &written, TRUE))
      throw TPrintError("Printer " + Path + ": " + SystemErrorText(GetLastError()));
    if (written == 0) throw TPrintError("Printer " + Path + ": the printer takes no data");
    return written;
  }

  std::string Path;
  bool Device = false;
  HANDLE File = INVALID_HANDLE_VALUE;
  HANDLE Event = nullptr;
};

}  // namespace

std::unique_ptr<IPrinterOutput> OpenFileOutput(const std::string& path, bool device) {
  return std::make_unique<TFileOutput>(path, device);
}

}  // namespace ooa
