// TWooModule: construction of the two REST channels and Init from the settings.
// The catalogue and order routines live in their own source files.
#include "shop/WooModule.h"

#include <cstdlib>

namespace ooa {
namespace {

// The libcurl transport; OOA_CA_FILE names an extra PEM file of CA
// certificates to trust besides the system store (a shop with its own CA).
std::unique_ptr<IHttpTransport> DefaultTransport() {
  const char* caFile = std::getenv("OOA_CA_FILE");
  return CreateCurlTransport(caFile ? caFile : "");
}

}  // namespace

TWooModule::TWooModule(TDatabaseModule& db, TTransportFactory transportFactory) : Database(db) {
  if (!transportFactory) transportFactory = DefaultTransport;
  RESTRequest1 = std::make_unique<TRestChannel>(transportFactory());
  RESTRequest2 = std::make_unique<TRestChannel>(transportFactory());
}

TWooModule::~TWooModule() = default;

void TWooModule::Init() { Init(ConfigSnapshot()); }

void TWooModule::Init(const TConfig& config) {
  RESTRequest1->SetCredentials(config.Url, config.Key, config.Secret);
  RESTRequest2->SetCredentials(config.Url, config.Key, config.Secret);
}

}  // namespace ooa
