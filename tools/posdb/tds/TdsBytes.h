// Byte-level helpers of the TDS protocol: a growing output buffer with the
// little-endian integers and UTF-16 texts the protocol is made of, a reader
// over a received message, and the UTF-8 <-> UTF-16LE conversion (the
// database keeps UTF-8, the protocol speaks UTF-16). Plain values; any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace ooa::tds {

// A message that breaks the protocol; the connection is dropped.
class TProtocolError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// UTF-8 text as UTF-16LE bytes; invalid UTF-8 bytes become U+FFFD.
std::string Utf16FromUtf8(const std::string& utf8);
// UTF-16LE bytes as UTF-8; a lone surrogate becomes U+FFFD.
std::string Utf8FromUtf16(const char* data, size_t bytes);
// UTF-8 text in code page 1252 (what a varchar column of the default
// collation holds); characters it lacks become '?', as SQL Server stores them.
std::string Cp1252FromUtf8(const std::string& utf8);

class TBytes {
 public:
  std::string Data;

  void U8(uint8_t v) { Data += static_cast<char>(v); }
  void U16(uint16_t v) { LittleEndian(v, 2); }
  void U32(uint32_t v) { LittleEndian(v, 4); }
  void U64(uint64_t v) { LittleEndian(v, 8); }
  void U16BigEndian(uint16_t v) {
    U8(static_cast<uint8_t>(v >> 8));
    U8(static_cast<uint8_t>(v));
  }
  void Raw(const std::string& bytes) { Data += bytes; }
  // B_VARCHAR: a character count in one byte, then UTF-16 (cut at 255 characters).
  void BVarChar(const std::string& utf8);
  // US_VARCHAR: a character count in two bytes, then UTF-16.
  void UsVarChar(const std::string& utf8);
  size_t Size() const { return Data.size(); }
  // Overwrites two bytes at pos with a little-endian value (token lengths).
  void PatchU16(size_t pos, uint16_t v);

 private:
  void LittleEndian(uint64_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) Data += static_cast<char>((v >> (8 * i)) & 0xFF);
  }
};

class TReader {
 public:
  TReader(const std::string& data, size_t pos = 0) : D(data), Pos(pos) {}
  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint16_t U16BigEndian();
  void Skip(size_t n);
  size_t Position() const { return Pos; }
  size_t Left() const { return D.size() - Pos; }

 private:
  void Need(size_t n) const {
    if (Pos + n > D.size()) throw TProtocolError("message too short");
  }
  const std::string& D;
  size_t Pos;
};

}  // namespace ooa::tds
