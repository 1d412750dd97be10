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

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
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

std::string ChooseOdbcDriver(const std::string& configured, const std::vector<std::string>& installed) {
  const std::string named = Trim(configured);
  if (!named.empty()) return named;
  for (const std::string& wanted : kSqlServerDrivers) {
    for (const std::string& name : installed) {
      if (EqualsNoCase(Trim(name), wanted)) return wanted;
    }
  }
  return std::string();
}

TOdbcDriverKind OdbcDriverKindOf(const std::string& driver) {
  const std::string name = Lower(Trim(driver));
  if (name == "sql server") return TOdbcDriverKind::Legacy;
  if ((name.rfind("odbc driver ", 0) == 0 && name.size() > 15 &&
       name.compare(name.size() - 15, 15, " for sql server") == 0) ||
      name.rfind("sql server native client", 0) == 0)
    return TOdbcDriverKind::Microsoft;
  if (name == "freetds" || name.find("tdsodbc") != std::string::npos) return TOdbcDriverKind::FreeTds;
  return TOdbcDriverKind::Other;
}

std::string OdbcConnectionText(const std::string& serverName, const std::string& databaseName,
                               const std::string& driver) {
  const TOdbcDriverKind kind = OdbcDriverKindOf(driver);
  const std::string server =
      kind == TOdbcDriverKind::FreeTds ? OdbcServerAddress(serverName) : Trim(serverName);
  std::string text;
  text += "Driver=" + OdbcQuote(Trim(driver)) + ";";
  text += "Server=" + OdbcQuote(server) + ";";
  text += "Database=" + OdbcQuote(databaseName) + ";";
  text += "UID=" + OdbcQuote(kPosLoginUser) + ";";
  text += "PWD=" + OdbcQuote(kPosLoginPassword);
  switch (kind) {
    case TOdbcDriverKind::Microsoft:
      // The POS server on the shop's network has the self-signed certificate
      // SQL Server makes for itself, which no till trusts; Driver 18 refuses
      // such a server (and an unencrypted one) by default. The traffic is
      // encrypted and the certificate is not checked: that keeps the shop's
      // data off the wire in clear and works with every shop's server, while
      // the login it protects is the POS system's fixed one anyway.
      text += ";Encrypt=yes;TrustServerCertificate=yes";
      break;
    case TOdbcDriverKind::Legacy:
      // The old driver has no way to accept a self-signed certificate, so
      // encrypting would fail on nearly every shop's server; it connects
      // unencrypted (the server still encrypts the login packet).
      text += ";Encrypt=no";
      break;
    case TOdbcDriverKind::FreeTds:
      // FreeTDS encrypts when the server offers it and checks no certificate
      // unless its own configuration names a CA file, as the Microsoft
      // drivers above do; it has no keyword for the certificate.
      text += ";TDS_Version=7.4;ClientCharset=UTF-8";
      break;
    case TOdbcDriverKind::Other:
      break;
  }
  return text;
}

}  // namespace ooa
