// How the settings' server and database names choose and locate the POS
// database: the server name "(EMBEDDED)" (any case) selects the embedded
// database file, any other name a SQL Server through ODBC. CreateDbSession and
// IsEmbeddedServer themselves are declared in db/DbSession.h. Plain functions;
// any thread.
#pragma once

#include <string>

namespace ooa {

// The embedded database file that a database name stands for. A name without
// a '/' (on Windows also a backslash) is a file beside the settings file (in
// baseDir); a name with one is a path, taken as it stands. The settings
// dialog upper-cases the name, so when no file of exactly that name exists,
// a file in the same folder whose name differs only in letter case is taken
// (the exact name wins; among several others the first in name order). When nothing matches, the path of the
// exact name is returned; opening it then fails, since the service never
// creates the file.
std::string ResolveEmbeddedDatabasePath(const std::string& databaseName, const std::string& baseDir);

}  // namespace ooa
