// A client connection of the TDS server double (see TdsConnection.h).
#include "tds/TdsConnection.h"

#include <sys/socket.h>
#include <unistd.h>

#include <iostream>
#include <limits>
#include <mutex>

#include "tsql/EmbeddedSession.h"
#include "tds/TdsBytes.h"
#include "tds/TdsLogin.h"
#include "tds/TdsTokens.h"

namespace ooa::tds {

namespace {

const char* const kServerName = "posdb";
// Login failed, as SQL Server numbers it.
constexpr int kLoginFailed = 18456;
// What a batch's error carries when the engine gave no number.
constexpr int kGeneralError = 50000;

// The batch ended early: the client cancelled it or went away.
struct TCancelled {};
struct TClientGone {};

std::mutex& LogMutex() {
  static std::mutex m;
  return m;
}

}  // namespace

TTdsConnection::~TTdsConnection() {
  if (Session) Session->Close();
  ::close(Socket.Fd);
}

void TTdsConnection::Log(const std::string& line) const {
  if (!Options.Verbose) return;
  std::lock_guard<std::mutex> lock(LogMutex());
  std::cerr << "posdb serve [" << Socket.Fd << "] " << line << std::endl;
}

void TTdsConnection::Run() {
  try {
    if (!Login()) return;
    TMessage m;
    while (Socket.Read(m)) {
      if (m.Type == kSqlBatch) {
        if (!Batch(m.Data)) break;
      } else if (m.Type == kAttention) {
        // Nothing runs between batches: the cancel is acknowledged at once.
        TBytes out;
        Done(out, kDoneAttention, kCmdNone, 0);
        if (!Socket.Write(kReply, out.Data)) break;
      } else {
        TBytes out;
        Message(out, true, 40000 + m.Type, 1, 16, "This server runs SQL batches only.", kServerName);
        Done(out, kDoneError, kCmdNone, 0);
        if (!Socket.Write(kReply, out.Data)) break;
      }
    }
  } catch (const TProtocolError& e) {
    Log(std::string("protocol error: ") + e.what());
  } catch (const TClientGone&) {
    Log("client gone");
  }
  Log("closed");
}

bool TTdsConnection::Login() {
  TMessage m;
  if (!Socket.Read(m)) return false;
  if (m.Type == kPreLogin) {
    if (!Socket.Write(kReply, PreLoginReply())) return false;
    if (!Socket.Read(m)) return false;
  }
  if (m.Type != kLogin7) throw TProtocolError("expected LOGIN7");
  const TLogin login = ParseLogin7(m.Data);
  Log("login " + login.User + " database " + login.Database);
  TBytes out;
  if (login.User != Options.Login || login.Password != Options.Password) {
    Message(out, true, kLoginFailed, 1, 14, "Login failed for user '" + login.User + "'.", kServerName);
    Done(out, kDoneError, kCmdNone, 0);
    Socket.Write(kReply, out.Data);
    return false;
  }
  try {
    Session = CreateEmbeddedSession(Options.File);
    Session->Open();
    // Each Insert, Update and Delete is answered with its row count, as
    // SQL Server does without SET NOCOUNT.
    Session->SetRowCountObserver([this](int64_t rows) {
      HearClient();
      AddDone(kDoneMore | kDoneCount, kCmdNone, static_cast<uint64_t>(rows));
    });
  } catch (const std::exception& e) {
    Message(out, true, 4060, 1, 11,
            "Cannot open database \"" + login.Database + "\" requested by the login. The login failed. (" +
                e.what() + ")",
            kServerName);
    Done(out, kDoneError, kCmdNone, 0);
    Socket.Write(kReply, out.Data);
    return false;
  }
  Database = login.Database.empty() ? std::string("POS") : login.Database;
  const int packetSize = login.PacketSize >= 512 && login.PacketSize <= 32767 ? login.PacketSize : 4096;
  EnvChange(out, 1, Database, "master");
  Message(out, false, 5701, 2, 0, "Changed database context to '" + Database + "'.", kServerName);
  CollationChange(out);
  EnvChange(out, 2, "us_english", "");
  Message(out, false, 5703, 1, 0, "Changed language setting to us_english.", kServerName);
  LoginAck(out, "Microsoft SQL Server");
  EnvChange(out, 4, std::to_string(packetSize), "4096");
  Done(out, kDoneFinal, kCmdNone, 0);
  if (!Socket.Write(kReply, out.Data)) return false;
  Socket.SetPacketSize(packetSize);
  return true;
}

bool TTdsConnection::Batch(const std::string& data) {
  // ALL_HEADERS (TDS 7.2 on): its total length, itself included, comes first.
  TReader r(data);
  const uint32_t headers = r.U32();
  if (headers < 4 || headers > data.size()) throw TProtocolError("bad ALL_HEADERS length");
  const std::string batch = Utf8FromUtf16(data.data() + headers, data.size() - headers);
  Log("batch: " + batch);

  Reply = TBytes{};
  LastDone = std::string::npos;
  bool failed = false;
  try {
    Session->QueryInPieces(batch, std::numeric_limits<size_t>::max(), [&](const TRecordSet& set) {
      HearClient();
      ResultSet(Reply, set);
      AddDone(kDoneMore | kDoneCount, kCmdSelect, set.Rows.size());
    });
  } catch (const TCancelled&) {
    // The acknowledgement ends the reply; the client drops what comes
    // before it (whole tokens: a token begun in a packet already sent is
    // finished first).
    Log("cancelled");
    Done(Reply, kDoneAttention, kCmdNone, 0);
    return Socket.WritePart(kReply, Reply.Data, true);
  } catch (const TClientGone&) {
    Log("client gone during the batch; rolled back");
    return false;
  } catch (const TProtocolError&) {
    throw;
  } catch (const TDbError& e) {
    Log(std::string("error: ") + e.what());
    Message(Reply, true, e.Number ? e.Number : kGeneralError, 1, 16, e.what(), kServerName);
    failed = true;
  } catch (const std::exception& e) {
    Log(std::string("error: ") + e.what());
    Message(Reply, true, kGeneralError, 1, 16, e.what(), kServerName);
    failed = true;
  }
  if (failed || LastDone == std::string::npos) {
    AddDone(failed ? kDoneError : kDoneFinal, kCmdNone, 0);
  } else {
    // The last statement's DONE ends the reply.
    Reply.PatchU16(LastDone, static_cast<uint16_t>(kDoneCount));
  }
  return Socket.WritePart(kReply, Reply.Data, true);
}

void TTdsConnection::HearClient() {
  if (!Socket.Pending()) return;
  char c;
  if (::recv(Socket.Fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) <= 0) throw TClientGone{};
  TMessage m;
  if (Socket.Read(m) && m.Type == kAttention) throw TCancelled{};
  throw TProtocolError("a message arrived while a batch ran");
}

void TTdsConnection::AddDone(uint16_t status, uint16_t command, uint64_t rows) {
  LastDone = Reply.Size() + 1;
  Done(Reply, status, command, rows);
  // A long batch's reply goes out as it grows (the last DONE stays, to be
  // marked as the last).
  constexpr size_t kSendFrom = 64 * 1024;
  if (LastDone - 1 < kSendFrom) return;
  std::string front = Reply.Data.substr(0, LastDone - 1);
  if (!Socket.WritePart(kReply, front, false)) throw TClientGone{};
  const size_t sent = LastDone - 1 - front.size();
  Reply.Data.erase(0, sent);
  LastDone -= sent;
}

}  // namespace ooa::tds
