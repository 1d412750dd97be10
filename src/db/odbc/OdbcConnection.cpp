// ODBC connection text for the POS database (see OdbcConnection.h).
#include "db/odbc/OdbcConnection.h"

#include <cctype>

namespace ooa {

std::string OdbcQuote(const std::string& value) {
  std::string out = "{";
  for (char c : value) {
    out += c;
    if (c == '}') out += '}';
  }
  out += '}';
  return out;
}

namespace {

bool EqualsNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

}  // namespace

std::string OdbcServerAddress(const std::string& serverName) {
  const std::string name = Trim(serverName);
  size_t hostEnd = name.find_first_of("\\,");
  std::string host = name.substr(0, hostEnd);
  std::string rest = hostEnd == std::string::npos ? std::string() : name.substr(hostEnd);
  if (host == "." || EqualsNoCase(host, "(local)") || EqualsNoCase(host, "localhost")) host = "localhost";
  return host + rest;
}

std::string OdbcConnectionText(const std::string& serverName, const std::string& databaseName,
                               const std::string& driver) {
  std::string text;
  text += "Driver=" + OdbcQuote(driver) + ";";
  text += "Server=" + OdbcQuote(OdbcServerAddress(serverName)) + ";";
  text += "Database=" + OdbcQuote(databaseName) + ";";
  text += "UID=" + OdbcQuote(kPosLoginUser) + ";";
  text += "PWD=" + OdbcQuote(kPosLoginPassword) + ";";
  text += "TDS_Version=7.4;";
  text += "ClientCharset=UTF-8";
  return text;
}

}  // namespace ooa
