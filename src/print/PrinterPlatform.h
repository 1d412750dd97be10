// What the printer code asks of the operating system beyond the outputs of
// PrinterOutput.h (internal to src/print). Each platform has its half: posix/
// (the print service libcups, POSIX files) and win/ (the spooler, Win32
// files). Any thread; no state.
#pragma once

#include <string>

namespace ooa {

// True when the installed queue prints raw text: on Linux a raw queue or one
// with the generic text-only driver, on Windows a printer whose driver is
// "Generic / Text Only". False for an unknown name or when the print service
// cannot be asked.
bool QueueIsTextOnly(const std::string& queue);

// True when the printer name is a printer device: a path under /dev/, and on
// Windows also a device name (\\.\COM1, LPT1, COM3:).
bool IsPrinterDeviceName(const std::string& name);

// Files of pdf: printers. Paths are UTF-8.
bool IsFolder(const std::string& path);
// True for the character that ends a folder path ('/', on Windows also '\').
bool IsPathSeparator(char c);
// True for a byte that may not stand in a file name made from an invoice
// number (a folder separator or a control character; on Windows also the
// characters Windows refuses in names).
bool IsUnsafeInFileName(char c);
enum class TNewFile { Created, Taken, Failed };
// Creates the file empty, unless a file of that name exists (Taken). Failed
// sets error to the system's words.
TNewFile CreateNewFile(const std::string& path, std::string& error);
// Removes the file; errors are ignored.
void RemoveFile(const std::string& path);

}  // namespace ooa
