#include "support/PosFixture.h"

#include <gtest/gtest.h>

#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"

namespace ooa::test {

TPosFixture::TPosFixture(const std::string& seed) : File(Dir.File("POS.DB")), PreviousConfigPath(ConfigPath()) {
  // Files kept beside the settings file (the problems list) belong to the test.
  SetConfigPath(Dir.File("OnlineService.ini"));
  {
    auto session = CreateEmbeddedSession(File, true);
    session->Open();
    session->Execute(PosSchemaBatch({"1"}));
    session->Execute("Update Profile Set POSInit=N'W', GenerateInvoiceNoKind=0, DefaultGSTRate=10;");
    session->Execute(kFixtureProducts);
    if (!seed.empty()) session->Execute(seed);
    session->Close();
  }
  Server.PointAt(Config, File);
  Config.WarehouseCode = "1";
  SetConfig(Config);
  if (!Db.ConnectToServer(Config)) ADD_FAILURE() << "cannot open " << File;
}

TPosFixture::~TPosFixture() {
  SetConfig(TConfig{});
  SetConfigPath(PreviousConfigPath);
}

TRecordSet TPosFixture::Rows(const std::string& sql) {
  try {
    return Db.SelectRows(sql);
  } catch (const std::exception& e) {
    ADD_FAILURE() << e.what() << "\n" << sql;
    return {};
  }
}

void TPosFixture::Exec(const std::string& sql) {
  std::string error;
  if (!Db.ExecQueryPro(sql, error)) ADD_FAILURE() << error << "\n" << sql;
}

TDbValue TPosFixture::Value(const std::string& sql) {
  TRecordSet rows = Rows(sql);
  if (rows.RecordCount() == 0 || rows.Rows[0].empty()) return TDbValue{};
  return rows.Rows[0][0];
}

}  // namespace ooa::test
