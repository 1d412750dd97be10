// TDS packets on a connected socket: a message is one or more packets of an
// 8-byte header (type, status, big-endian length, ...) and data, the last
// marked end-of-message. Used by the connection's own thread.
#pragma once

#include <cstdint>
#include <string>

namespace ooa::tds {

enum TPacketType : uint8_t {
  kSqlBatch = 0x01,
  kRpc = 0x03,
  kReply = 0x04,
  kAttention = 0x06,
  kTransactionManager = 0x0E,
  kLogin7 = 0x10,
  kPreLogin = 0x12,
};

struct TMessage {
  uint8_t Type = 0;
  std::string Data;  // the packets' data, joined
};

class TPacketSocket {
 public:
  explicit TPacketSocket(int fd) : Fd(fd) {}
  // Reads one whole message; false when the peer closed the connection (or
  // the socket failed). Throws TProtocolError on a malformed packet.
  bool Read(TMessage& message);
  // Whether a packet (of any type) is waiting to be read now.
  bool Pending() const;
  // Sends data as a reply message split into packets of the negotiated
  // size; false when the peer is gone.
  bool Write(uint8_t type, const std::string& data) {
    std::string copy = data;
    return WritePart(type, copy, true);
  }
  // Sends the front of a message being made: the whole packets that data
  // fills (removed from it), or with last all of it, ending the message.
  bool WritePart(uint8_t type, std::string& data, bool last);
  void SetPacketSize(int size) { PacketSize = size; }
  int Fd;

 private:
  bool ReadFully(char* to, size_t n);
  int PacketSize = 4096;
  uint8_t NextId = 1;  // packet number within the message being sent
};

}  // namespace ooa::tds
