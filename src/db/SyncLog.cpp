// TDatabaseModule's sync log: table OnlineSyncLog, one row per event name,
// holding the local time up to which that event (the order pass: "orders")
// has been handled. Each routine holds the module's lock throughout, so its
// read and its write are not interleaved with another pass.
#include "config/UtilUnit.h"
#include "db/DatabaseModule.h"

namespace ooa {

TDateTime TDatabaseModule::GetLastSyncTime(const std::string& event) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  const TRecordSet rows = SelectRows("Select LastSyncAt From OnlineSyncLog Where Event=" + SqlTextLiteral(event));
  if (rows.RecordCount() > 0) return rows.Field(0, "LastSyncAt").AsDateTime();
  return TDateTime::FromCivil(2000, 1, 1);
}

void TDatabaseModule::UpdateSyncLogPro(TDateTime syncTime, const std::string& event) {
  std::string ignored;
  UpdateSyncLogPro(syncTime, event, ignored);
}

bool TDatabaseModule::UpdateSyncLogPro(TDateTime syncTime, const std::string& event, std::string& errorText) {
  std::lock_guard<std::recursive_mutex> lock(Mutex);
  const bool logged = SelectRows("Select * From OnlineSyncLog Where Event=" + SqlTextLiteral(event)).RecordCount() > 0;
  std::string sql;
  if (logged)
    sql = "Update OnlineSyncLog Set LastSyncAt = " + SqlDateTimeLiteral(syncTime) +
          " Where Event = " + SqlTextLiteral(event);
  else
    sql = "Insert OnlineSyncLog (Event, LastSyncAt) Values (" + SqlTextLiteral(event) + ", " +
          SqlDateTimeLiteral(syncTime) + ")";
  // A failure leaves the old time in place; the next pass starts from there again.
  return ExecQueryPro(sql, errorText);
}

}  // namespace ooa
