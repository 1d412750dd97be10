#include "PosCatalog.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "db/PosSchema.h"
#include "db/embedded/EmbeddedSession.h"

namespace ooa::fuzz {

namespace {

tsql::TCatalog Build() {
  char dir[] = "/tmp/ooa-fuzz-XXXXXX";
  if (!::mkdtemp(dir)) {
    std::perror("mkdtemp");
    std::abort();
  }
  const std::string file = std::string(dir) + "/pos.db";
  {
    auto session = CreateEmbeddedSession(file, /*createIfMissing=*/true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    session->Close();
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) std::abort();
  tsql::TCatalog catalog;
  catalog.Load(db);
  sqlite3_close_v2(db);
  for (const char* suffix : {"", "-wal", "-shm"}) std::remove((file + suffix).c_str());
  ::rmdir(dir);
  return catalog;
}

}  // namespace

const tsql::TCatalog& PosCatalog() {
  static const tsql::TCatalog catalog = Build();
  return catalog;
}

}  // namespace ooa::fuzz
