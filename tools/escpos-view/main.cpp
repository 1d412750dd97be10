// escpos-view: shows what a receipt printer would print for an ESC/POS byte
// stream (a raw job file): the text rendering on standard output and, with
// --png, a picture of the paper.
//
//   escpos-view JOB_FILE [--png OUT.png] [--codepage CP1252] [--quiet]
#include <CLI/CLI.hpp>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "escpos-view/EscPosDecode.h"
#include "escpos-view/ProgramArgs.h"

int main(int argc, char** argv) {
  std::string input, png, codePage = "CP1252";
  bool quiet = false;
  CLI::App app{"Shows what a receipt printer prints for an ESC/POS byte stream"};
  // A path may start with '/' (under Wine, or a root-relative Windows path):
  // never read it as a Windows-style "/option".
  app.allow_windows_style_options(false);
  app.add_option("file", input, "raw job file ('-' for standard input)")->required();
  app.add_option("--png", png, "also draw the paper into this PNG file");
  app.add_option("--codepage", codePage,
                 "code page of the receipt text, named as in the settings (CP1252, GBK, BIG5, SHIFT_JIS, ...)");
  app.add_flag("--quiet,-q", quiet, "no text rendering");
  // Paths and text are UTF-8 on every platform.
  std::vector<std::string> args = ooa::escpos::Utf8Arguments(argc, argv);
  if (!args.empty()) {
    app.name(args.front());
    args.erase(args.begin());
  }
  std::reverse(args.begin(), args.end());  // the order CLI11 takes
  try {
    app.parse(args);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  }
  ooa::escpos::SetUpStandardStreams();

  std::string bytes;
  if (input == "-") {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  } else {
    std::ifstream f(std::filesystem::path(std::u8string(input.begin(), input.end())), std::ios::binary);
    if (!f) {
      std::cerr << "escpos-view: cannot read " << input << "\n";
      return 1;
    }
    bytes.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  const ooa::escpos::TReceipt receipt = ooa::escpos::Decode(bytes);
  if (!quiet) std::cout << ooa::escpos::RenderText(receipt, codePage);
  if (!png.empty()) {
    std::string error;
    if (!ooa::escpos::WritePng(receipt, png, error, codePage)) {
      std::cerr << "escpos-view: " << error << "\n";
      return 1;
    }
  }
  return 0;
}
