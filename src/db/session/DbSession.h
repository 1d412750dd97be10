// The database session: the one way this program talks to the POS database,
// always in T-SQL text. Two backends implement it: ODBC for a real SQL Server
// and the embedded POS database (SQLite plus our own T-SQL engine).
//
// A session is used by one thread at a time; TDatabaseModule serialises its
// callers. Results are returned by value and owned by the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "config/DateTime.h"

namespace ooa {

// A database error; what() carries the server's (or engine's) message and
// Number its SQL Server error number (0 when none is known).
class TDbError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
  TDbError(const std::string& message, int number) : std::runtime_error(message), Number(number) {}
  int Number = 0;
};

// One value of a result row. NULL reads as empty text, 0, false, day 0.
struct TDbValue {
  enum class TKind { Null, Integer, Float, Text, DateTime };
  TKind Kind = TKind::Null;
  std::string Text;  // the value as text (date-times as "yyyy-mm-dd hh:mm:ss.zzz")

  bool IsNull() const { return Kind == TKind::Null; }
  std::string AsString() const;
  double AsFloat() const;
  int64_t AsInteger() const;
  bool AsBoolean() const;
  TDateTime AsDateTime() const;
};

// One result set: column names and rows, with an ADO-like cursor for callers
// that walk it (First / Eof / Next / FieldByName).
class TRecordSet {
 public:
  std::vector<std::string> Columns;
  // The declared T-SQL type of each column where the backend knows it (the
  // embedded engine: "int", "money", "nvarchar(15)", ...; "" when unknown);
  // may be empty altogether.
  std::vector<std::string> ColumnTypes;
  std::vector<std::vector<TDbValue>> Rows;

  int RecordCount() const { return static_cast<int>(Rows.size()); }
  // Column index by name without regard to case; the first of equal names wins; -1 if none.
  int ColumnIndex(const std::string& name) const;
  // Value of a named column in a given row; throws TDbError for an unknown column.
  const TDbValue& Field(int row, const std::string& name) const;

  // Cursor.
  void First() { Position = 0; }
  void Next() { ++Position; }
  bool Eof() const { return Position >= RecordCount(); }
  int RecNo() const { return Position; }
  const TDbValue& FieldByName(const std::string& name) const { return Field(Position, name); }

 private:
  int Position = 0;
};

// What a batch returned: every result set that has columns, in order.
struct TQueryResult {
  std::vector<TRecordSet> Sets;
  bool Empty() const { return Sets.empty(); }
  // The first result set (an empty one when the batch produced none).
  const TRecordSet& First() const;
  TRecordSet& First();
};

class IDbSession {
 public:
  virtual ~IDbSession() = default;
  // Opens the connection; throws TDbError with the reason on failure.
  virtual void Open() = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;
  // Runs a batch and returns every result set that has columns.
  // Throws TDbError on any error (after the batch's own handling, see backends).
  virtual TQueryResult Query(const std::string& batch) = 0;
  // Runs a batch, discarding rows. Throws TDbError on any error.
  virtual void Execute(const std::string& batch) = 0;
  // Runs a batch whose rows may be many and hands them over in pieces, so
  // that they are never all held at once: piece gets each result set's
  // columns with the next (at most) `rows` of its rows, in order; a set
  // without rows comes once with its columns. The default runs Query and
  // hands each set over whole. Errors as Query; pieces handed over before an
  // error stay handed over, and an exception from piece ends the batch (its
  // open transaction rolled back) and reaches the caller.
  virtual void QueryInPieces(const std::string& batch, size_t rows,
                             const std::function<void(const TRecordSet&)>& piece);
  // Gives back the memory the session keeps only to be faster (compiled
  // batches, prepared statements, cached pages); called between passes.
  // The default keeps nothing of that kind.
  virtual void ReleaseMemory() {}
  // Has counted called, while later batches run, after each statement that
  // changes rows (Insert, Update, Delete) with the number of rows it changed,
  // in order with the pieces; an exception from it ends the batch as one from
  // a piece does. An empty function stops it. The default ignores it (a
  // backend that cannot tell); the embedded database tells (its TDS front
  // sends the counts as SQL Server does).
  virtual void SetRowCountObserver(std::function<void(int64_t rows)> counted) {}
};

// Connection settings, as the settings file gives them.
struct TDbConnectParams {
  std::string ServerName;    // "(EMBEDDED)" in any case selects the embedded database
  std::string DatabaseName;  // SQL Server database, or the embedded database file
  std::string BaseDir;       // folder that a relative embedded file name is resolved in
  std::string OdbcDriver;    // SQL Server's ODBC driver; "" lets the session choose
};

bool IsEmbeddedServer(const std::string& serverName);

// Creates the session the parameters ask for (not yet opened).
std::unique_ptr<IDbSession> CreateDbSession(const TDbConnectParams& params);

}  // namespace ooa
