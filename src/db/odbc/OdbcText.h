// The ODBC headers and the ODBC calls that carry text, with the text in UTF-8
// on both sides. Linux (posix/OdbcTextPosix.cpp) uses the narrow calls, which
// FreeTDS runs in UTF-8 (ClientCharset); Windows (win/OdbcTextWin.cpp) uses the
// wide calls in UTF-16, since the drivers there read and write the narrow
// ones in the till's ANSI code page. Used by TOdbcSession only.
#pragma once

#ifdef _WIN32
#include <windows.h>
#endif
// The calls below name their narrow or wide form themselves.
#define SQL_NOUNICODEMAP
#include <sql.h>
#include <sqlext.h>

#include <string>

namespace ooa {

// SQLDriverConnect without a window and without prompting.
SQLRETURN OdbcDriverConnect(SQLHDBC dbc, const std::string& text);
// SQLExecDirect with the batch's length (a NUL inside it is a character).
SQLRETURN OdbcExecDirect(SQLHSTMT stmt, const std::string& batch);
// Diagnostic record `record` (from 1) of a handle; false when there is none.
bool OdbcDiagRecord(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record, std::string& state, int& native,
                    std::string& text);
// SQLDescribeCol: the column's name and SQL type.
std::string OdbcColumnName(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT& sqlType);
// The current row's value of a column as text, read in as many pieces as it
// takes; isNull is set for NULL. Returns the first failing call's result, or
// SQL_SUCCESS.
SQLRETURN OdbcGetText(SQLHSTMT stmt, SQLUSMALLINT column, std::string& value, bool& isNull);
// The driver to use when the settings name none: FreeTDS on Linux; on
// Windows the best installed SQL Server driver (ChooseOdbcDriver over what
// SQLDrivers lists), or "" when none is installed.
std::string OdbcDefaultDriver(SQLHENV env);

}  // namespace ooa
