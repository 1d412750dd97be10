#include <string_view>

#include "config/FileBytes.h"
#include "config/TextCodec.h"
#include "config/UtilUnit.h"

namespace ooa {

std::string ReadTextFile(const std::string& path) {
  const std::optional<std::string> data = ReadFileBytes(path, "file");
  if (!data) return {};
  const std::string_view bytes = *data;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    return Utf16LeToUtf8(bytes.substr(2));
  }
  return AnsiToUtf8(*data);
}

}  // namespace ooa
