#include "support/win/CommandLine.h"

#include "config/TextCodec.h"

namespace ooa::test {

namespace {

std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
  std::string out = "\"";
  size_t slashes = 0;
  for (char c : arg) {
    if (c == '\\') {
      ++slashes;
      continue;
    }
    out.append(c == '"' ? 2 * slashes + 1 : slashes, '\\');
    slashes = 0;
    out += c;
  }
  out.append(2 * slashes, '\\');
  return out + "\"";
}

}  // namespace

std::string CommandLine(const std::vector<std::string>& args) {
  std::string line;
  for (const std::string& a : args) line += (line.empty() ? "" : " ") + QuoteArgument(a);
  return line;
}

std::wstring Wide(const std::string& utf8) {
  const std::string bytes = Utf8ToUtf16Le(utf8);
  std::wstring out(bytes.size() / 2, L'\0');
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                  (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  return out;
}

}  // namespace ooa::test
