// TWooModule: the program's connection to the shop. Owns the two REST channels
// (the first for the catalogue pass, the second for the order pass) and
// borrows the database module the passes write into; the passes themselves
// are in sync/ (sync/catalog/CatalogueUploads.h, sync/OrderSync.h).
// Init runs on the UI thread; each channel is used by one worker at a time.
// Created once in main after the database module; lives until the program ends.
#pragma once

#include <functional>
#include <memory>

#include "config/Config.h"
#include "shop/rest/RestChannel.h"

namespace ooa {

class TDatabaseModule;

class TWooModule {
 public:
  using TTransportFactory = std::function<std::unique_ptr<IHttpTransport>()>;
  // db is not owned. transportFactory makes each channel's transport
  // (by default the libcurl one).
  explicit TWooModule(TDatabaseModule& db, TTransportFactory transportFactory = nullptr);
  ~TWooModule();

  // Copies Url, Key and Secret of the settings into both channels.
  void Init();
  void Init(const TConfig& config);

  TRestChannel& Channel1() { return *RESTRequest1; }  // catalogue pass
  TRestChannel& Channel2() { return *RESTRequest2; }  // order pass
  TDatabaseModule& Db() { return Database; }

 private:
  TDatabaseModule& Database;
  std::unique_ptr<TRestChannel> RESTRequest1;
  std::unique_ptr<TRestChannel> RESTRequest2;
};

}  // namespace ooa
