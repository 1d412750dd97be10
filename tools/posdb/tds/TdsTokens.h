// The tokens of a TDS reply that the server double sends: DONE, ERROR and
// INFO, ENVCHANGE, LOGINACK, and a result set as COLMETADATA and ROW tokens.
// Each appends to a buffer that becomes one reply message. Plain functions;
// any thread.
#pragma once

#include <cstdint>
#include <string>

#include "db/session/DbSession.h"
#include "tds/TdsBytes.h"

namespace ooa::tds {

// DONE status bits.
enum : uint16_t { kDoneFinal = 0x00, kDoneMore = 0x01, kDoneError = 0x02, kDoneCount = 0x10, kDoneAttention = 0x20 };
// DONE's current-command values.
enum : uint16_t { kCmdNone = 0x00, kCmdSelect = 0xC1 };

void Done(TBytes& out, uint16_t status, uint16_t command, uint64_t rows);

// An ERROR (severity above 10) or INFO token, as SQL Server fills it.
void Message(TBytes& out, bool isError, int32_t number, uint8_t state, uint8_t severity, const std::string& text,
             const std::string& server);

// ENVCHANGE with texts (database 1, language 2, packet size 4).
void EnvChange(TBytes& out, uint8_t type, const std::string& newValue, const std::string& oldValue);
// ENVCHANGE 7: the SQL collation (Latin1 general, case-insensitive).
void CollationChange(TBytes& out);
// LOGINACK for TDS 7.4.
void LoginAck(TBytes& out, const std::string& programName);

// A result set: COLMETADATA and one ROW per row. Column types come from the
// set's declared types; where those are missing, from the values.
void ResultSet(TBytes& out, const TRecordSet& set);

}  // namespace ooa::tds
