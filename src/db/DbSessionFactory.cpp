// Choosing the database session from the settings (see DbSessionFactory.h).
#include "db/DbSessionFactory.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <vector>

#include "config/ProgramPath.h"
#include "db/session/DbSession.h"
#include "tsql/EmbeddedSession.h"
#include "db/odbc/OdbcSession.h"

namespace ooa {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string TrimBlanks(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

}  // namespace

bool IsEmbeddedServer(const std::string& serverName) {
  return Lower(TrimBlanks(serverName)) == "(embedded)";
}

std::string ResolveEmbeddedDatabasePath(const std::string& databaseName, const std::string& baseDir) {
  namespace fs = std::filesystem;
  const std::string name = TrimBlanks(databaseName);
  fs::path path = name.find_first_of(kPathSeparators) != std::string::npos || baseDir.empty()
                      ? FsPath(name)
                      : FsPath(baseDir) / FsPath(name);
  std::error_code ec;
  if (fs::exists(path, ec)) return PathText(path);

  fs::path folder = path.parent_path();
  if (folder.empty()) folder = ".";
  const std::string wanted = Lower(PathText(path.filename()));
  std::vector<std::string> matches;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    std::string candidate = PathText(it->path().filename());
    if (Lower(candidate) == wanted) matches.push_back(candidate);
  }
  if (matches.empty()) return PathText(path);
  std::sort(matches.begin(), matches.end());
  return PathText(path.parent_path() / FsPath(matches.front()));
}

std::unique_ptr<IDbSession> CreateDbSession(const TDbConnectParams& params) {
  if (IsEmbeddedServer(params.ServerName))
    return CreateEmbeddedSession(ResolveEmbeddedDatabasePath(params.DatabaseName, params.BaseDir));
  return std::make_unique<TOdbcSession>(params.ServerName, params.DatabaseName, params.OdbcDriver);
}

}  // namespace ooa
