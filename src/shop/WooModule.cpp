// TWooModule: construction of the two REST channels and Init from the settings.
// The catalogue and order routines live in their own source files.
#include "shop/WooModule.h"

#include <cstdlib>

namespace ooa {
namespace {

// The platform's HTTP transport; OOA_CA_FILE names an extra PEM file of CA
// certificates to trust besides the system store (a shop with its own CA), and
// OOA_SHOP_TIMEOUT_MS shortens or lengthens the 30 s wait for the shop (a
// whole number of milliseconds from 1 to 600000; anything else keeps 30 s).
std::unique_ptr<IHttpTransport> DefaultTransport() {
  const char* caFile = std::getenv("OOA_CA_FILE");
  int timeoutMs = 30000;
  if (const char* text = std::getenv("OOA_SHOP_TIMEOUT_MS")) {
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end != text && *end == '\0' && value >= 1 && value <= 600000) timeoutMs = static_cast<int>(value);
  }
  return CreateHttpTransport(caFile ? caFile : "", timeoutMs);
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
