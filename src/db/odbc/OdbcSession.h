// TOdbcSession: the database session on a real SQL Server, through ODBC
// (unixODBC and FreeTDS on Linux, odbc32 and a SQL Server driver on Windows).
// It runs the same T-SQL text as the embedded
// database. Owned by TDatabaseModule (or a tool); one thread at a time, as
// every IDbSession.
#pragma once

#include <memory>
#include <string>

#include "db/session/DbSession.h"
#include "db/odbc/OdbcConnection.h"

namespace ooa {

class TOdbcSession : public IDbSession {
 public:
  // driver: a registered driver name or a library path; "" (the settings
  // name none) chooses when connecting: FreeTDS on Linux, the best installed
  // SQL Server driver on Windows (OdbcText.h).
  TOdbcSession(std::string serverName, std::string databaseName, std::string driver = std::string(),
               TOdbcTimeouts timeouts = TOdbcTimeouts());
  ~TOdbcSession() override;
  TOdbcSession(const TOdbcSession&) = delete;
  TOdbcSession& operator=(const TOdbcSession&) = delete;

  // Connects within the login timeout. When the default driver name is not
  // registered, the FreeTDS library at its Debian path is tried directly.
  // Throws TDbError when no SQL Server driver is installed (Windows).
  void Open() override;
  void Close() override;
  bool IsOpen() const override;
  // Every result set that has columns, in order. All results of the batch are
  // read, so an error raised by a statement after the first select is thrown
  // too (after the rest of the batch has run). A batch that finds the
  // connection gone fails; the next one connects again first (the server
  // rolled back what the lost connection had open; its application lock is
  // gone and is taken again by the next pass).
  TQueryResult Query(const std::string& batch) override;
  void Execute(const std::string& batch) override;

  // The text of the last connection (before the first: "" when the driver is
  // chosen when connecting).
  const std::string& ConnectionText() const { return Text; }

 private:
  struct THandles;
  std::string Server, Database, Driver, Text;
  TOdbcTimeouts Timeouts;
  std::unique_ptr<THandles> H;
  bool LinkLost = false;  // a batch ended with a communication error (SQLSTATE 08...)
};

}  // namespace ooa
