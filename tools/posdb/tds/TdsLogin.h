// The TDS connection's opening: the PRELOGIN answer (no encryption) and the
// LOGIN7 record read into what the server checks. Plain functions; the
// connection's thread.
#pragma once

#include <string>

namespace ooa::tds {

// The answer to the client's PRELOGIN: our version, encryption not
// supported, no MARS.
std::string PreLoginReply();

struct TLogin {
  std::string User, Password, Database, Application, Host;
  int PacketSize = 4096;
  unsigned TdsVersion = 0;
};

// Reads a LOGIN7 message's data; throws TProtocolError when it is malformed.
TLogin ParseLogin7(const std::string& data);

}  // namespace ooa::tds
