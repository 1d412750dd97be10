// The text-carrying ODBC calls on Linux: the narrow forms, in UTF-8 (see
// OdbcText.h).
#include "db/odbc/OdbcText.h"

#include <vector>

#include "db/odbc/OdbcConnection.h"

namespace ooa {

SQLRETURN OdbcDriverConnect(SQLHDBC dbc, const std::string& text) {
  std::vector<SQLCHAR> in(text.begin(), text.end());
  in.push_back(0);
  SQLCHAR out[1024];
  SQLSMALLINT outLen = 0;
  return SQLDriverConnect(dbc, nullptr, in.data(), SQL_NTS, out, sizeof(out), &outLen, SQL_DRIVER_NOPROMPT);
}

SQLRETURN OdbcExecDirect(SQLHSTMT stmt, const std::string& batch) {
  std::vector<SQLCHAR> text(batch.begin(), batch.end());
  text.push_back(0);
  return SQLExecDirect(stmt, text.data(), static_cast<SQLINTEGER>(batch.size()));
}

bool OdbcDiagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, std::string& state, int& native,
                    std::string& text) {
  SQLCHAR stateBuf[8] = {0};
  SQLINTEGER nativeNumber = 0;
  SQLCHAR textBuf[2048] = {0};
  SQLSMALLINT len = 0;
  SQLRETURN rc = SQLGetDiagRec(type, handle, record, stateBuf, &nativeNumber, textBuf, sizeof(textBuf), &len);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return false;
  state = reinterpret_cast<char*>(stateBuf);
  native = static_cast<int>(nativeNumber);
  text = reinterpret_cast<char*>(textBuf);
  return true;
}

std::string OdbcColumnName(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT& sqlType) {
  SQLCHAR name[512] = {0};
  SQLSMALLINT nameLen = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  sqlType = 0;
  SQLDescribeCol(stmt, column, name, sizeof(name), &nameLen, &sqlType, &size, &digits, &nullable);
  return reinterpret_cast<char*>(name);
}

SQLRETURN OdbcGetText(SQLHSTMT stmt, SQLUSMALLINT column, std::string& value, bool& isNull) {
  value.clear();
  isNull = false;
  char buf[4096];
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(stmt, column, SQL_C_CHAR, buf, sizeof(buf), &ind);
    if (rc == SQL_NO_DATA) return SQL_SUCCESS;
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return rc;
    if (ind == SQL_NULL_DATA) {
      isNull = true;
      return SQL_SUCCESS;
    }
    // With SQL_SUCCESS_WITH_INFO (01004) the buffer was filled and more follows.
    if (rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind >= static_cast<SQLLEN>(sizeof(buf)))) {
      value.append(buf, sizeof(buf) - 1);
      continue;
    }
    value.append(buf, static_cast<size_t>(ind));
    return SQL_SUCCESS;
  }
}

std::string OdbcDefaultDriver(SQLHENV) { return kOdbcDefaultDriver; }

}  // namespace ooa
