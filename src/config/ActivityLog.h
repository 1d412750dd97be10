// The activity log: the lines the user reads in the main window (or on standard
// output when headless). Status lines always go in; detail lines written with
// LogLine only while the settings' Debug flag is set.
//
// Any thread may write. Every append is handed to the sink under one lock, so
// the lines of each thread arrive in the order that thread wrote them; a sink
// that belongs to another thread (the window) forwards them to its thread in
// that order. The log does not own its sink; the sink must outlive its use.
#pragma once

#include <mutex>
#include <string>
#include <vector>

namespace ooa {

class ILogSink {
 public:
  virtual ~ILogSink() = default;
  virtual void Append(const std::string& line) = 0;
  virtual void Clear() = 0;
};

// Keeps lines in memory (tests, summaries).
class TMemoryLogSink : public ILogSink {
 public:
  void Append(const std::string& line) override;
  void Clear() override;
  std::vector<std::string> Lines() const;

 private:
  mutable std::mutex Mutex;
  std::vector<std::string> Items;
};

// Writes each line to standard output, flushed (headless mode).
class TStdoutLogSink : public ILogSink {
 public:
  void Append(const std::string& line) override;
  void Clear() override {}
};

// Hands every line to two sinks in turn (the window and standard output).
// Owns neither; both must outlive it.
class TTeeLogSink : public ILogSink {
 public:
  TTeeLogSink(ILogSink& first, ILogSink& second) : First(first), Second(second) {}
  void Append(const std::string& line) override {
    First.Append(line);
    Second.Append(line);
  }
  void Clear() override {
    First.Clear();
    Second.Clear();
  }

 private:
  ILogSink& First;
  ILogSink& Second;
};

class TActivityLog {
 public:
  void SetSink(ILogSink* sink);
  // The shop's API secret, masked in every line appended from now on
  // (SetConfig keeps it current).
  void SetSecret(const std::string& secret);
  void Status(const std::string& line);  // always
  void Detail(const std::string& line);  // only in debug mode
  void Clear();
  std::string Masked(const std::string& text);

 private:
  std::mutex Mutex;
  ILogSink* Sink = nullptr;
  std::string Secret;
};

// The process-wide activity log.
TActivityLog& ActivityLog();

// Appends a detail line when TConfig.Debug is set; never fails the caller.
void LogLine(const std::string& text);
// Appends a status line whatever the settings.
void StatusLine(const std::string& text);
// text with the shop's API secret masked, as every log line is (for texts
// that leave the program by another way: standard error, the problems list).
std::string MaskedText(const std::string& text);
// Writes text and a line end to standard error, masked like the log.
void ErrorLine(const std::string& text);

}  // namespace ooa
