// PRELOGIN and LOGIN7 (see TdsLogin.h).
#include "tds/TdsLogin.h"

#include "tds/TdsBytes.h"

namespace ooa::tds {

std::string PreLoginReply() {
  // Options: token, offset, length (big-endian), then 0xFF and the values.
  struct TOption {
    uint8_t Token;
    std::string Value;
  };
  const TOption options[] = {
      {0x00, std::string("\x10\x00\x10\x00\x00\x00", 6)},  // version 16.0.4096
      {0x01, std::string("\x02", 1)},                      // encryption: not supported
      {0x02, std::string("\x00", 1)},                      // instance: fine
      {0x03, std::string()},                               // thread id: none
      {0x04, std::string("\x00", 1)},                      // MARS: off
  };
  TBytes out;
  uint16_t offset = sizeof(options) / sizeof(options[0]) * 5 + 1;
  for (const TOption& o : options) {
    out.U8(o.Token);
    out.U16BigEndian(offset);
    out.U16BigEndian(static_cast<uint16_t>(o.Value.size()));
    offset = static_cast<uint16_t>(offset + o.Value.size());
  }
  out.U8(0xFF);
  for (const TOption& o : options) out.Raw(o.Value);
  return out.Data;
}

namespace {

std::string Field(const std::string& data, size_t at, bool scrambled = false) {
  TReader r(data, at);
  const uint16_t offset = r.U16();
  const uint16_t chars = r.U16();
  const size_t bytes = static_cast<size_t>(chars) * 2;
  if (offset + bytes > data.size()) throw TProtocolError("LOGIN7 field outside the record");
  std::string raw = data.substr(offset, bytes);
  if (scrambled) {
    // The password's bytes are XOR 0xA5 of the bytes with their halves swapped.
    for (char& c : raw) {
      auto b = static_cast<uint8_t>(static_cast<uint8_t>(c) ^ 0xA5);
      c = static_cast<char>(static_cast<uint8_t>((b << 4) | (b >> 4)));
    }
  }
  return Utf8FromUtf16(raw.data(), raw.size());
}

}  // namespace

TLogin ParseLogin7(const std::string& data) {
  if (data.size() < 94) throw TProtocolError("LOGIN7 record too short");
  TReader r(data);
  TLogin login;
  r.U32();  // length
  login.TdsVersion = r.U32();
  login.PacketSize = static_cast<int>(r.U32());
  login.Host = Field(data, 36);
  login.User = Field(data, 40);
  login.Password = Field(data, 44, true);
  login.Application = Field(data, 48);
  login.Database = Field(data, 68);
  return login;
}

}  // namespace ooa::tds
