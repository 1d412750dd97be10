// Which session the settings select and where the embedded file is found.
#include <gtest/gtest.h>

#include <fstream>

#include "DbTestUtil.h"
#include "db/session/DbSession.h"
#include "db/DbSessionFactory.h"

namespace ooa {
namespace {

TEST(SessionFactory, EmbeddedServerNameInAnyCase) {
  EXPECT_TRUE(IsEmbeddedServer("(EMBEDDED)"));
  EXPECT_TRUE(IsEmbeddedServer("(embedded)"));
  EXPECT_TRUE(IsEmbeddedServer(" (Embedded) "));
  EXPECT_FALSE(IsEmbeddedServer("EMBEDDED"));
  EXPECT_FALSE(IsEmbeddedServer("db01\\POS"));
  EXPECT_FALSE(IsEmbeddedServer(""));
}

TEST(SessionFactory, ResolvesTheDatabaseFileBesideTheSettings) {
  dbtest::TScratchDir dir;
  std::ofstream(dir.File("shop.db")) << "";
  std::ofstream(dir.File("Both.db")) << "";
  std::ofstream(dir.File("BOTH.DB")) << "";
  const std::string base = dir.Path() + "/";
  struct TCase {
    std::string Name, Expected;
  } cases[] = {
      {"shop.db", base + "shop.db"},
      // The settings dialog upper-cases the name.
      {"SHOP.DB", base + "shop.db"},
      // An exact match wins over one that differs in case.
      {"BOTH.DB", base + "BOTH.DB"},
      {"both.db", base + "BOTH.DB"},  // first in name order
      // A path is taken as it stands (its file name still matched without case).
      {dir.File("SHOP.DB"), base + "shop.db"},
      // Nothing to find: the exact name, so that opening fails.
      {"MISSING.DB", base + "MISSING.DB"},
  };
  for (TCase& c : cases) {
#ifdef _WIN32
    // Windows finds a file whatever the case of its name, and one folder
    // cannot hold names that differ only in case: the name stays as given.
    if (c.Name != "MISSING.DB") c.Expected = c.Name.find('/') == std::string::npos ? base + c.Name : c.Name;
#endif
    EXPECT_EQ(ResolveEmbeddedDatabasePath(c.Name, base), c.Expected) << c.Name;
  }
}

}  // namespace
}  // namespace ooa
