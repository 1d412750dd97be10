// TDS packet framing (see TdsPackets.h).
#include "tds/TdsPackets.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "tds/TdsBytes.h"

namespace ooa::tds {

namespace {
constexpr size_t kHeader = 8;
constexpr size_t kMaxMessage = 64u << 20;  // a batch larger than this is refused
}  // namespace

bool TPacketSocket::ReadFully(char* to, size_t n) {
  while (n > 0) {
    ssize_t got = ::recv(Fd, to, n, 0);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    to += got;
    n -= static_cast<size_t>(got);
  }
  return true;
}

bool TPacketSocket::Read(TMessage& message) {
  message = TMessage{};
  for (bool first = true;; first = false) {
    unsigned char h[kHeader];
    if (!ReadFully(reinterpret_cast<char*>(h), kHeader)) return false;
    const size_t length = (static_cast<size_t>(h[2]) << 8) | h[3];
    if (length < kHeader) throw TProtocolError("packet length below its header");
    if (first) message.Type = h[0];
    else if (h[0] != message.Type) throw TProtocolError("packet type changed inside a message");
    const size_t old = message.Data.size();
    if (old + length > kMaxMessage) throw TProtocolError("message too large");
    message.Data.resize(old + length - kHeader);
    if (!ReadFully(message.Data.data() + old, length - kHeader)) return false;
    // Status bit 0: end of message. An attention is a header alone.
    if (h[1] & 0x01) return true;
  }
}

bool TPacketSocket::Pending() const {
  pollfd p{Fd, POLLIN, 0};
  return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLIN | POLLHUP | POLLERR));
}

bool TPacketSocket::WritePart(uint8_t type, std::string& data, bool last) {
  const size_t room = static_cast<size_t>(PacketSize) - kHeader;
  size_t pos = 0;
  while (last ? (pos < data.size() || pos == 0) : data.size() - pos >= room) {
    const size_t n = std::min(room, data.size() - pos);
    const bool end = last && pos + n == data.size();
    std::string packet;
    packet.reserve(kHeader + n);
    const size_t length = kHeader + n;
    packet += static_cast<char>(type);
    packet += static_cast<char>(end ? 0x01 : 0x00);
    packet += static_cast<char>((length >> 8) & 0xFF);
    packet += static_cast<char>(length & 0xFF);
    packet += '\0';  // SPID
    packet += '\0';
    packet += static_cast<char>(NextId++);
    packet += '\0';  // window
    packet.append(data, pos, n);
    size_t sent = 0;
    while (sent < packet.size()) {
      ssize_t w = ::send(Fd, packet.data() + sent, packet.size() - sent, MSG_NOSIGNAL);
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      sent += static_cast<size_t>(w);
    }
    pos += n;
    if (end) break;
  }
  data.erase(0, pos);
  if (last) NextId = 1;
  return true;
}

}  // namespace ooa::tds
