#include "support/ShopStandin.h"

#include "support/HostTools.h"


#include <chrono>
#include <stdexcept>

namespace ooa::test {

std::string ShopStandinPath() { return HostProgram("tools/shop-standin/shop-standin"); }

TShopStandin::TShopStandin(const TOptions& options) {
  std::vector<std::string> args = {ShopStandinPath(), "--host", "127.0.0.1", "--port", "0",
                                   "--key", options.Key, "--secret", options.Secret};
  if (!options.CertFile.empty()) {
    args.insert(args.end(), {"--cert", HostPath(options.CertFile), "--key-file", HostPath(options.KeyFile)});
  }
  args.insert(args.end(), options.Extra.begin(), options.Extra.end());

  OriginText = Process.Start(std::move(args), "shop stand-in");
}

TShopStandin::~TShopStandin() { Stop(); }

void TShopStandin::Stop() { Process.Stop(); }

}  // namespace ooa::test
