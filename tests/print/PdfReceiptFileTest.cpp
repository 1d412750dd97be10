// pdf:PATH keeps every receipt in a file of its own, named after its invoice,
// and never overwrites one.
#include <gtest/gtest.h>

#include <filesystem>

#include "print/PdfReceiptFile.h"
#include "print/PrinterOutput.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

// A UTF-8 path as the file system takes it.
std::filesystem::path Path(const std::string& utf8) { return std::u8string(utf8.begin(), utf8.end()); }

TEST(PdfReceiptFileTest, EachReceiptGetsAFileOfItsOwn) {
  TTempDir dir;
  std::filesystem::create_directory(Path(dir.File("receipts")));
  const std::string d = dir.Path() + "/";
  const struct {
    const char* Case;
    std::string Target, Invoice, File;
  } cases[] = {
      {"a folder", d + "receipts", "W26000002", d + "receipts/W26000002.pdf"},
      {"the same invoice again", d + "receipts", "W26000002", d + "receipts/W26000002-2.pdf"},
      {"and once more", d + "receipts/", "W26000002", d + "receipts/W26000002-3.pdf"},
      {"another invoice", d + "receipts/", "W26000003", d + "receipts/W26000003.pdf"},
      {"a file name", d + "till.pdf", "W26000002", d + "till-W26000002.pdf"},
      {"a file name without .pdf", d + "till", "W26000002", d + "till-W26000002-2.pdf"},
      {"no invoice number", d + "receipts", "", d + "receipts/Receipt.pdf"},
      {"no invoice number, a file", d + "plain.pdf", "", d + "plain.pdf"},
      {"no invoice number, the file taken", d + "plain.pdf", "", d + "plain-2.pdf"},
      {"a slash in the number", d + "receipts", "W/7", d + "receipts/W_7.pdf"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Case);
    EXPECT_EQ(ReservePdfReceiptFile(c.Target, c.Invoice), c.File);
    EXPECT_TRUE(std::filesystem::exists(Path(c.File)));  // reserved: the next receipt takes another name
  }
#ifdef _WIN32
  // A folder may end with '\' too, and no character of the invoice number
  // makes a folder or a stream of its own.
  const std::string w = dir.Path() + "\\receipts\\";
  EXPECT_EQ(ReservePdfReceiptFile(w, "W\\8"), w + "W_8.pdf");
  EXPECT_EQ(ReservePdfReceiptFile(w, "W:9"), w + "W_9.pdf");
#endif
  EXPECT_THROW(ReservePdfReceiptFile(d + "missing/", "W1"), TPrintError);
  EXPECT_THROW(ReservePdfReceiptFile(d + "missing/till.pdf", "W1"), TPrintError);
}

}  // namespace
}  // namespace ooa::test
