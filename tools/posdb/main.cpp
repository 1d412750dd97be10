// posdb: the command-line tool over an embedded POS database file.
//   posdb init FILE [--warehouse CODE ...] [--demo]   create the POS tables
//   posdb exec FILE [-Q TEXT]                         run a T-SQL batch (or stdin)
//   posdb serve FILE [--port P] [--login L --password W]
//                                                     the file behind the TDS
//                                                     protocol (a test double)
// It is the only thing that creates an embedded POS database; the service
// never does. Errors go to standard error with a non-zero exit code.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "DemoShop.h"
#include "ResultText.h"
#include "config/Clock.h"
#include "db/PosSchema.h"
#include "tsql/EmbeddedSession.h"
#include "db/odbc/OdbcConnection.h"
#if OOA_POSDB_SERVE
#include "tds/TdsServer.h"
#endif

namespace {

using namespace ooa;

void RemoveDatabaseFiles(const std::string& file) {
  std::error_code ec;
  for (const char* suffix : {"", "-wal", "-shm", "-journal"}) std::filesystem::remove(file + suffix, ec);
}

int RunInit(const std::string& file, std::vector<std::string> warehouses, bool demo) {
  if (std::filesystem::exists(file)) {
    std::cerr << "posdb: " << file << " already exists; remove it first to create a new POS database\n";
    return 1;
  }
  if (warehouses.empty()) warehouses.push_back("1");
  std::string schema;
  try {
    schema = PosSchemaBatch(warehouses);
  } catch (const std::exception& e) {
    std::cerr << "posdb: " << e.what() << "\n";
    return 2;
  }
  try {
    auto session = CreateEmbeddedSession(file, /*createIfMissing=*/true);
    session->Open();
    session->Execute(schema);
    if (demo) session->Execute(DemoShopBatch(warehouses, Clock().NowLocal()));
    session->Close();
  } catch (const std::exception& e) {
    // Nothing half-made stays behind.
    RemoveDatabaseFiles(file);
    std::cerr << "posdb: " << e.what() << "\n";
    return 1;
  }
  std::string list;
  for (const std::string& w : warehouses) list += (list.empty() ? "" : ", ") + (w.empty() ? "(none)" : w);
  std::cout << "Created " << file << " (warehouses: " << list << (demo ? "; demo shop" : "") << ")\n";
  return 0;
}

int RunExec(const std::string& file, const std::string* query) {
  std::string batch;
  if (query) {
    batch = *query;
  } else {
    batch.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  try {
    auto session = CreateEmbeddedSession(file);
    session->Open();
    TQueryResult result = session->Query(batch);
    session->Close();
    std::cout << ResultText(result);
  } catch (const std::exception& e) {
    std::cerr << "posdb: " << e.what() << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"posdb: create and query an embedded POS database"};
  app.require_subcommand(1);
  // A path may start with '/' (under Wine, or a root-relative Windows path):
  // never read it as a Windows-style "/option".
  app.allow_windows_style_options(false);

  std::string initFile;
  std::vector<std::string> warehouses;
  bool demo = false;
  CLI::App* init = app.add_subcommand("init", "Create the POS tables in a new database file");
  init->add_option("FILE", initFile, "The database file to create (must not exist)")->required();
  init->add_option("--warehouse", warehouses,
                   "Warehouse code for the StockQty<code>/StockValue<code> columns; repeat for more (default: 1)");
  init->add_flag("--demo", demo, "Fill in a small demo shop");

  std::string execFile, query;
  CLI::App* exec = app.add_subcommand("exec", "Run a T-SQL batch and print every result set tab-separated");
  exec->add_option("FILE", execFile, "An existing database file")->required()->check(CLI::ExistingFile);
  CLI::Option* queryOption = exec->add_option("-Q,--query", query, "The batch (default: read standard input)");

#if OOA_POSDB_SERVE
  tds::TServeOptions serveOptions;
  serveOptions.Login = kPosLoginUser;
  serveOptions.Password = kPosLoginPassword;
  CLI::App* serve = app.add_subcommand(
      "serve",
      "Serve a database file over the TDS protocol, so that the SQL Server set-up (unixODBC and FreeTDS) can be "
      "tried and tested without a SQL Server. A test double, not a database server: no encryption, one login, "
      "one database; only on this machine unless --address says otherwise");
  serve->add_option("FILE", serveOptions.File, "An existing database file")->required()->check(CLI::ExistingFile);
  serve->add_option("--port", serveOptions.Port, "TCP port (0: any free port; the line 'listening on ...' tells)")
      ->capture_default_str();
  serve->add_option("--address", serveOptions.Address, "IPv4 address to listen on")->capture_default_str();
  serve->add_option("--login", serveOptions.Login, "The login accepted (default: the POS system's login)");
  serve->add_option("--password", serveOptions.Password, "Its password (default: the POS system's)");
  serve->add_flag("--verbose", serveOptions.Verbose, "Log every connection and batch on standard error");
#endif

  CLI11_PARSE(app, argc, argv);

  if (init->parsed()) return RunInit(initFile, warehouses, demo);
#if OOA_POSDB_SERVE
  if (serve->parsed()) return tds::Serve(serveOptions);
#endif
  return RunExec(execFile, queryOption->count() > 0 ? &query : nullptr);
}
