// Writes the PNG file of the preview: 8-bit grey, one byte per dot, rows top
// first. libpng writes it on Linux, the Windows Imaging Component on Windows
// (posix/ and win/ hold the two halves). Any thread.
#pragma once

#include <string>

namespace ooa::escpos {

// False, with `error` set ("cannot write <path>" when the file cannot be
// made or written), when the file was not written whole.
bool WriteGreyPng(const std::string& path, int width, int height, const unsigned char* pixels, std::string& error);

}  // namespace ooa::escpos
