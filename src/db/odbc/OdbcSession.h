// TOdbcSession: the database session on a real SQL Server, through unixODBC
// and the FreeTDS driver. It runs the same T-SQL text as the embedded
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
  // driver: a driver name registered with unixODBC, or a library path.
  TOdbcSession(std::string serverName, std::string databaseName,
               std::string driver = kOdbcDefaultDriver, TOdbcTimeouts timeouts = TOdbcTimeouts());
  ~TOdbcSession() override;
  TOdbcSession(const TOdbcSession&) = delete;
  TOdbcSession& operator=(const TOdbcSession&) = delete;

  // Connects within the login timeout. When the default driver name is not
  // registered, the FreeTDS library at its Debian path is tried directly.
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

  const std::string& ConnectionText() const { return Text; }

 private:
  struct THandles;
  std::string Server, Database, Driver, Text;
  TOdbcTimeouts Timeouts;
  std::unique_ptr<THandles> H;
  bool LinkLost = false;  // a batch ended with a communication error (SQLSTATE 08...)
};

}  // namespace ooa
