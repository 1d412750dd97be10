// The text-carrying ODBC calls on Windows: the wide forms, UTF-8 <-> UTF-16
// here at the edge (see OdbcText.h).
#include "db/odbc/OdbcText.h"

#include <vector>

#include "db/odbc/OdbcConnection.h"

namespace ooa {

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string Utf8(const wchar_t* text, size_t length) {
  if (length == 0) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(length), out.data(), n, nullptr, nullptr);
  return out;
}

std::string Utf8(const wchar_t* text) { return Utf8(text, wcslen(text)); }

SQLWCHAR* W(std::wstring& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

}  // namespace

SQLRETURN OdbcDriverConnect(SQLHDBC dbc, const std::string& text) {
  std::wstring in = Wide(text);
  SQLWCHAR out[1024];
  SQLSMALLINT outLen = 0;
  return SQLDriverConnectW(dbc, nullptr, W(in), SQL_NTS, out, 1024, &outLen, SQL_DRIVER_NOPROMPT);
}

SQLRETURN OdbcExecDirect(SQLHSTMT stmt, const std::string& batch) {
  std::wstring text = Wide(batch);
  return SQLExecDirectW(stmt, W(text), static_cast<SQLINTEGER>(text.size()));
}

bool OdbcDiagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, std::string& state, int& native,
                    std::string& text) {
  wchar_t stateBuf[8] = {0};
  SQLINTEGER nativeNumber = 0;
  wchar_t textBuf[2048] = {0};
  SQLSMALLINT len = 0;
  SQLRETURN rc = SQLGetDiagRecW(type, handle, record, reinterpret_cast<SQLWCHAR*>(stateBuf), &nativeNumber,
                                reinterpret_cast<SQLWCHAR*>(textBuf), 2048, &len);
  if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return false;
  state = Utf8(stateBuf);
  native = static_cast<int>(nativeNumber);
  text = Utf8(textBuf);
  return true;
}

std::string OdbcColumnName(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT& sqlType) {
  wchar_t name[512] = {0};
  SQLSMALLINT nameLen = 0, digits = 0, nullable = 0;
  SQLULEN size = 0;
  sqlType = 0;
  SQLDescribeColW(stmt, column, reinterpret_cast<SQLWCHAR*>(name), 512, &nameLen, &sqlType, &size, &digits,
                  &nullable);
  return Utf8(name);
}

SQLRETURN OdbcGetText(SQLHSTMT stmt, SQLUSMALLINT column, std::string& value, bool& isNull) {
  value.clear();
  isNull = false;
  // The whole value is gathered in UTF-16 first, so that a surrogate pair
  // split between two pieces converts as one character.
  std::wstring wide;
  wchar_t buf[2048];
  constexpr SQLLEN kBytes = sizeof(buf);
  for (;;) {
    SQLLEN ind = 0;
    SQLRETURN rc = SQLGetData(stmt, column, SQL_C_WCHAR, buf, kBytes, &ind);
    if (rc == SQL_NO_DATA) break;
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return rc;
    if (ind == SQL_NULL_DATA) {
      isNull = true;
      return SQL_SUCCESS;
    }
    // With SQL_SUCCESS_WITH_INFO (01004) the buffer was filled (less its
    // terminating NUL) and more follows; ind counts bytes.
    if (rc == SQL_SUCCESS_WITH_INFO && (ind == SQL_NO_TOTAL || ind >= kBytes)) {
      wide.append(buf, sizeof(buf) / sizeof(buf[0]) - 1);
      continue;
    }
    wide.append(buf, static_cast<size_t>(ind) / sizeof(wchar_t));
    break;
  }
  value = Utf8(wide.data(), wide.size());
  return SQL_SUCCESS;
}

std::string OdbcDefaultDriver(SQLHENV env) {
  std::vector<std::string> installed;
  SQLUSMALLINT direction = SQL_FETCH_FIRST;
  for (;;) {
    wchar_t name[512] = {0};
    wchar_t attributes[2048] = {0};
    SQLSMALLINT nameLen = 0, attributesLen = 0;
    SQLRETURN rc = SQLDriversW(env, direction, reinterpret_cast<SQLWCHAR*>(name), 512, &nameLen,
                               reinterpret_cast<SQLWCHAR*>(attributes), 2048, &attributesLen);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) break;
    installed.push_back(Utf8(name));
    direction = SQL_FETCH_NEXT;
  }
  return ChooseOdbcDriver(std::string(), installed);
}

}  // namespace ooa
