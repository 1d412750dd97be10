// A fresh POS database (the order fixture's, support/PosFixture.h) served by
// `posdb serve`, with an embedded session on the same file to compare with
// and an ODBC session of the test's own. Test thread only.
#pragma once

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "tsql/EmbeddedSession.h"
#include "db/odbc/OdbcSession.h"
#include "support/PosFixture.h"

namespace ooa::test {

class OdbcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(OdbcRun()) << "test_odbc runs with OOA_TEST_ODBC=1 (ctest sets it)";
    Embedded = CreateEmbeddedSession(Pos.Path());
    Embedded->Open();
  }
  // A new ODBC session on the served file, opened.
  std::unique_ptr<TOdbcSession> Connect() {
    auto s = std::make_unique<TOdbcSession>(Pos.Config.ServerName, Pos.Config.DatabaseName);
    s->Open();
    return s;
  }

  TPosFixture Pos;
  std::unique_ptr<IDbSession> Embedded;
};

}  // namespace ooa::test
