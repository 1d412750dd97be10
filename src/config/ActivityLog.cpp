#include "config/ActivityLog.h"

#include <cstdio>

#include "config/Config.h"
#include "config/SecretMask.h"

namespace ooa {

void TMemoryLogSink::Append(const std::string& line) {
  std::lock_guard lock(Mutex);
  Items.push_back(line);
}

void TMemoryLogSink::Clear() {
  std::lock_guard lock(Mutex);
  Items.clear();
}

std::vector<std::string> TMemoryLogSink::Lines() const {
  std::lock_guard lock(Mutex);
  return Items;
}

void TStdoutLogSink::Append(const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

void TActivityLog::SetSink(ILogSink* sink) {
  std::lock_guard lock(Mutex);
  Sink = sink;
}

void TActivityLog::SetSecret(const std::string& secret) {
  std::lock_guard lock(Mutex);
  Secret = secret;
}

void TActivityLog::Status(const std::string& line) {
  std::lock_guard lock(Mutex);
  if (Sink) Sink->Append(MaskSecret(line, Secret));
}

void TActivityLog::Detail(const std::string& line) {
  if (ConfigDebug()) Status(line);
}

void TActivityLog::Clear() {
  std::lock_guard lock(Mutex);
  if (Sink) Sink->Clear();
}

std::string TActivityLog::Masked(const std::string& text) {
  std::lock_guard lock(Mutex);
  return MaskSecret(text, Secret);
}

TActivityLog& ActivityLog() {
  static TActivityLog log;
  return log;
}

void LogLine(const std::string& text) {
  try {
    ActivityLog().Detail(text);
  } catch (...) {
    // Logging never fails the caller.
  }
}

void StatusLine(const std::string& text) {
  try {
    ActivityLog().Status(text);
  } catch (...) {
  }
}

std::string MaskedText(const std::string& text) { return ActivityLog().Masked(text); }

void ErrorLine(const std::string& text) {
  const std::string line = MaskedText(text) + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

}  // namespace ooa
