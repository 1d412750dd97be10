// TOdbcSession: connect, run a batch, read every result (see OdbcSession.h).
#include "db/odbc/OdbcSession.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "db/odbc/OdbcText.h"
#include "db/session/SqlText.h"

namespace ooa {

namespace {

// The diagnostic records of a handle as one message ("text; text"), each
// distinct text once (drivers often repeat a record).
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, std::string* firstState = nullptr,
                        int* firstNumber = nullptr) {
  std::vector<std::string> lines;
  for (SQLSMALLINT i = 1; i < 32; ++i) {
    std::string state, line;
    int native = 0;
    if (!OdbcDiagRecord(type, handle, i, state, native, line)) break;
    if (firstState && firstState->empty()) *firstState = state;
    if (firstNumber && *firstNumber == 0) *firstNumber = native;
    if (std::find(lines.begin(), lines.end(), line) == lines.end()) lines.push_back(line);
  }
  std::string out;
  for (const std::string& line : lines) out += (out.empty() ? "" : "; ") + line;
  return out.empty() ? std::string("unknown ODBC error") : out;
}

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

TDbValue::TKind KindOf(SQLSMALLINT sqlType) {
  switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
      return TDbValue::TKind::Integer;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC:
      return TDbValue::TKind::Float;
    case SQL_TYPE_DATE:
    case SQL_TYPE_TIMESTAMP:
    case SQL_DATETIME:
    case SQL_TIMESTAMP:
      return TDbValue::TKind::DateTime;
    default:
      return TDbValue::TKind::Text;
  }
}

// Date-times arrive as "yyyy-mm-dd[ hh:mm:ss[.fffffff]]"; the session hands
// them on as "yyyy-mm-dd hh:mm:ss.zzz".
std::string NormaliseDateTime(const std::string& text) {
  std::string date = text.substr(0, 10);
  std::string time = text.size() > 11 ? text.substr(11) : std::string("00:00:00");
  std::string hms = time.substr(0, 8);
  std::string frac = time.size() > 9 ? time.substr(9) : std::string();
  frac = (frac + "000").substr(0, 3);
  return date + " " + hms + "." + frac;
}

// Fixed-point values (money, decimal) arrive with every place of their scale,
// "12.5000"; the session hands them on as the embedded database does, "12.5",
// so that a value reads the same whichever database holds it. Microsoft's
// drivers leave out the zero before the point (".5000", "-.5000"); it is put
// back.
std::string TrimFixedPoint(std::string text) {
  if (text.find('.') == std::string::npos || text.find_first_of("eE") != std::string::npos) return text;
  if (text[0] == '.') text = "0" + text;
  else if (text.rfind("-.", 0) == 0) text = "-0" + text.substr(1);
  while (!text.empty() && text.back() == '0') text.pop_back();
  if (!text.empty() && text.back() == '.') text.pop_back();
  if (text.empty() || text == "-") return "0";
  if (text == "-0") return "0";
  return text;
}

}  // namespace

struct TOdbcSession::THandles {
  SQLHENV Env = SQL_NULL_HENV;
  SQLHDBC Dbc = SQL_NULL_HDBC;
  bool Connected = false;
  ~THandles() {
    if (Connected) SQLDisconnect(Dbc);
    if (Dbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, Dbc);
    if (Env != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, Env);
  }
};

TOdbcSession::TOdbcSession(std::string serverName, std::string databaseName, std::string driver,
                           TOdbcTimeouts timeouts)
    : Server(std::move(serverName)),
      Database(std::move(databaseName)),
      Driver(std::move(driver)),
      Text(ChooseOdbcDriver(Driver, {}).empty() ? std::string() : OdbcConnectionText(Server, Database, Driver)),
      Timeouts(timeouts) {}

TOdbcSession::~TOdbcSession() = default;

void TOdbcSession::Close() { H.reset(); }

bool TOdbcSession::IsOpen() const { return H && H->Connected; }

void TOdbcSession::Open() {
  Close();
  auto h = std::make_unique<THandles>();
  if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h->Env)))
    throw TDbError("Can not allocate the ODBC environment");
  SQLSetEnvAttr(h->Env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);

  auto tryConnect = [&](const std::string& text, std::string& state) -> std::string {
    if (h->Dbc != SQL_NULL_HDBC) {
      SQLFreeHandle(SQL_HANDLE_DBC, h->Dbc);
      h->Dbc = SQL_NULL_HDBC;
    }
    if (!Ok(SQLAllocHandle(SQL_HANDLE_DBC, h->Env, &h->Dbc))) return "Can not allocate an ODBC connection";
    SQLSetConnectAttr(h->Dbc, SQL_ATTR_LOGIN_TIMEOUT,
                      reinterpret_cast<SQLPOINTER>(static_cast<SQLLEN>(Timeouts.LoginSeconds)), 0);
    SQLRETURN rc = OdbcDriverConnect(h->Dbc, text);
    if (Ok(rc)) {
      h->Connected = true;
      return std::string();
    }
    return Diagnostics(SQL_HANDLE_DBC, h->Dbc, &state);
  };

  // The settings' driver, else the platform's choice (asked again at every
  // connection, so that a driver installed meanwhile is found).
  std::string driver = ChooseOdbcDriver(Driver, {});  // the settings' name, trimmed, or ""
  if (driver.empty()) driver = OdbcDefaultDriver(h->Env);
  if (driver.empty()) {
    std::string wanted;
    for (const std::string& name : kSqlServerDrivers) wanted += (wanted.empty() ? "\"" : ", \"") + name + "\"";
    throw TDbError("No SQL Server ODBC driver is installed (looked for " + wanted + ")");
  }
  Text = OdbcConnectionText(Server, Database, driver);
  std::string state;
  std::string error = tryConnect(Text, state);
  // IM002: no data source or driver of that name; IM003: the driver could not be loaded.
  if (!h->Connected && (state == "IM002" || state == "IM003") && driver == kOdbcDefaultDriver &&
      std::filesystem::exists(kOdbcDefaultDriverLibrary)) {
    std::string retryState;
    std::string retry = tryConnect(OdbcConnectionText(Server, Database, kOdbcDefaultDriverLibrary), retryState);
    if (h->Connected) error.clear();
    else error = retry;
  }
  if (!h->Connected) throw TDbError(error);
  H = std::move(h);
}

namespace {

// Reads the current result's rows into a record set.
void ReadRows(SQLHSTMT stmt, SQLSMALLINT columns, TRecordSet& set) {
  std::vector<TDbValue::TKind> kinds(columns);
  std::vector<bool> fixedPoint(columns), binaryFloat(columns);
  for (SQLSMALLINT c = 1; c <= columns; ++c) {
    SQLSMALLINT type = 0;
    set.Columns.emplace_back(OdbcColumnName(stmt, c, type));
    kinds[c - 1] = KindOf(type);
    fixedPoint[c - 1] = type == SQL_DECIMAL || type == SQL_NUMERIC;
    binaryFloat[c - 1] = type == SQL_FLOAT || type == SQL_DOUBLE || type == SQL_REAL;
  }
  for (;;) {
    SQLRETURN rc = SQLFetch(stmt);
    if (rc == SQL_NO_DATA) break;
    if (!Ok(rc)) throw TDbError(Diagnostics(SQL_HANDLE_STMT, stmt));
    std::vector<TDbValue> row(columns);
    for (SQLSMALLINT c = 1; c <= columns; ++c) {
      if (binaryFloat[c - 1]) {
        // As text the driver writes 17 digits ("3.6400000000000001"); read
        // as a number it is written as the embedded database writes it ("3.64").
        double number = 0;
        SQLLEN ind = 0;
        rc = SQLGetData(stmt, c, SQL_C_DOUBLE, &number, sizeof number, &ind);
        if (!Ok(rc)) throw TDbError(Diagnostics(SQL_HANDLE_STMT, stmt));
        if (ind != SQL_NULL_DATA) row[c - 1] = TDbValue{TDbValue::TKind::Float, SqlFloatText(number)};
        continue;
      }
      std::string value;
      bool isNull = false;
      rc = OdbcGetText(stmt, c, value, isNull);
      if (!Ok(rc)) throw TDbError(Diagnostics(SQL_HANDLE_STMT, stmt));
      TDbValue& v = row[c - 1];
      if (isNull) continue;
      v.Kind = kinds[c - 1];
      v.Text = v.Kind == TDbValue::TKind::DateTime ? NormaliseDateTime(value)
               : fixedPoint[c - 1]                  ? TrimFixedPoint(value)
                                                    : value;
    }
    set.Rows.push_back(std::move(row));
  }
}

}  // namespace

TQueryResult TOdbcSession::Query(const std::string& batch) {
  if (!IsOpen()) throw TDbError("The database connection is not open");
  if (LinkLost) {
    // The last batch found the connection gone (the server restarted, the
    // network dropped it, the driver gave up after a time-out): connect
    // again; when that fails, this batch fails and the next one tries again.
    std::unique_ptr<THandles> lost = std::move(H);
    try {
      Open();
    } catch (...) {
      H = std::move(lost);  // still "open": the next batch tries again
      throw;
    }
    LinkLost = false;
  }
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, H->Dbc, &stmt)))
    throw TDbError(Diagnostics(SQL_HANDLE_DBC, H->Dbc));
  struct TStmtGuard {
    SQLHSTMT S;
    ~TStmtGuard() {
      SQLFreeStmt(S, SQL_CLOSE);
      SQLFreeHandle(SQL_HANDLE_STMT, S);
    }
  } guard{stmt};
  SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT,
                 reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(Timeouts.StatementSeconds)), 0);

  TQueryResult result;
  std::string firstError;
  int firstNumber = 0;  // the server's error number of firstError
  // The batch goes with its length: a NUL inside a text literal (the shop
  // sends what its customers typed) is a character of the text, not the end
  // of the batch.
  SQLRETURN rc = OdbcExecDirect(stmt, batch);
  // Walk every result of the batch: row counts, result sets and errors. An
  // error does not stop the walk (the server goes on with the batch), but a
  // run of errors without progress means the connection is gone. There is no
  // cap on the results: each Insert, Update and Delete is one, and a walk
  // left early cancels the rest of the batch, rolling it back unseen.
  int errorsInARow = 0;
  for (int step = 0;; ++step) {
    if (rc == SQL_NO_DATA && step > 0) break;
    if (rc == SQL_ERROR) {
      std::string state;
      int number = 0;
      std::string message = Diagnostics(SQL_HANDLE_STMT, stmt, &state, &number);
      if (firstError.empty()) {
        firstError = message;
        firstNumber = number;
      }
      if (state.rfind("08", 0) == 0) LinkLost = true;
      if (++errorsInARow >= 8 || state.rfind("08", 0) == 0 || state == "HYT00") break;
    } else if (rc == SQL_INVALID_HANDLE) {
      if (firstError.empty()) firstError = "invalid ODBC statement handle";
      break;
    } else if (Ok(rc)) {
      errorsInARow = 0;
      SQLSMALLINT columns = 0;
      SQLNumResultCols(stmt, &columns);
      if (columns > 0) {
        TRecordSet set;
        try {
          ReadRows(stmt, columns, set);
          result.Sets.push_back(std::move(set));
        } catch (const TDbError& e) {
          if (firstError.empty()) firstError = e.what();
        }
      }
    }
    rc = SQLMoreResults(stmt);
  }
  if (!firstError.empty()) throw TDbError(firstError, firstNumber);
  return result;
}

void TOdbcSession::Execute(const std::string& batch) { (void)Query(batch); }

}  // namespace ooa
