// Receipts through the Windows spooler (the Windows edition only): raw jobs
// in the "RAW" data type, the printer list, the text-only check, and the
// canvas modes drawn with GDI. The test installs printers of its own whose
// port is a file, and reads the jobs back from that file. Under Wine a port
// can be a file of the host; elsewhere, where that cannot be set up, the
// cases that need such a printer are skipped with the reason.
#include <gtest/gtest.h>

#ifdef _WIN32

#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "print/CanvasPrinter.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterFixture.h"
#include "print/PrinterList.h"
#include "print/PrinterOutput.h"
#include "print/win/GdiCanvasPrinter.h"
#include "config/win/WideText.h"
#include "support/TempDir.h"

namespace ooa::test {
namespace {

const std::string Init = Hex("1B 40 0C");
const std::string Normal = Hex("1B 21 00 1D 42 00 1D 21 00");
const std::string FeedAndCut = Hex("1B 64 05 1D 56 01");

bool UnderWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

// The host's name for a file (Wine); empty elsewhere.
std::string HostPath(const std::string& path) {
  using TUnixName = char*(CDECL*)(const wchar_t*);
  auto unixName = reinterpret_cast<TUnixName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (unixName == nullptr) return {};
  char* name = unixName(Widen(path).c_str());
  if (name == nullptr) return {};
  std::string result = name;
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

bool DriverInstalled(const std::wstring& driver) {
  DWORD needed = 0, count = 0;
  EnumPrinterDriversW(nullptr, nullptr, 1, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed + 1);
  if (!EnumPrinterDriversW(nullptr, nullptr, 1, buffer.data(), needed, &needed, &count)) return false;
  const auto* info = reinterpret_cast<const DRIVER_INFO_1W*>(buffer.data());
  for (DWORD i = 0; i < count; ++i)
    if (driver == info[i].pName) return true;
  return false;
}

// The description of a PostScript receipt printer (80 mm by 200 mm pages at
// 203 dpi) for Wine's PostScript driver, which stands in for the printer's.
const char* const ReceiptPpd = R"PPD(*PPD-Adobe: "4.3"
*FormatVersion: "4.3"
*FileVersion: "1.0"
*LanguageVersion: English
*LanguageEncoding: ISOLatin1
*PCFileName: "OOATEST.PPD"
*Manufacturer: "OOA"
*Product: "(OOA test printer)"
*ModelName: "OOA test printer"
*ShortNickName: "OOA test printer"
*NickName: "OOA test printer"
*PSVersion: "(3010.000) 0"
*LanguageLevel: "3"
*ColorDevice: False
*DefaultColorSpace: Gray
*TTRasterizer: Type42
*DefaultResolution: 203dpi
*OpenUI *PageSize: PickOne
*OrderDependency: 10 AnySetup *PageSize
*DefaultPageSize: Roll
*PageSize Roll/Receipt roll: "<</PageSize[227 567]>>setpagedevice"
*CloseUI: *PageSize
*DefaultPageRegion: Roll
*PageRegion Roll/Receipt roll: "<</PageSize[227 567]>>setpagedevice"
*DefaultImageableArea: Roll
*ImageableArea Roll/Receipt roll: "6 6 221 561"
*DefaultPaperDimension: Roll
*PaperDimension Roll/Receipt roll: "227 567"
*DefaultFont: Courier
*Font Courier: Standard "(002.004S)" Standard ROM
)PPD";

// A printer of the test's own, installed while the object lives; its jobs
// land in a file.
class TFilePrinter {
 public:
  TFilePrinter(const std::string& name, const std::wstring& driver, const TTempDir& dir)
      : Name(name), Port(dir.File(name + ".port")) {
    const std::string hostPort = HostPath(Port);
    if (hostPort.empty()) {
      WhyNot = "a printer whose port is a file is set up under Wine only";
      return;
    }
    if (!DriverInstalled(driver)) {
      // Wine's PostScript driver stands in for the printer's driver.
      // The description goes where the driver looks for it: the drivers' folder.
      wchar_t folder[MAX_PATH] = L"";
      DWORD size = 0;
      GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<LPBYTE>(folder), sizeof folder, &size);
      std::wstring name = driver, ppd = driver + L".ppd";
      Ppd = std::filesystem::path(folder) / L"3" / ppd;
      std::error_code ec;
      std::filesystem::create_directories(Ppd.parent_path(), ec);
      std::ofstream(Ppd, std::ios::binary) << ReceiptPpd;
      wchar_t dll[] = L"wineps.drv";
      DRIVER_INFO_3W info{};
      info.cVersion = 3;
      info.pName = name.data();
      info.pDriverPath = dll;
      info.pDataFile = ppd.data();
      info.pConfigFile = dll;
      if (!AddPrinterDriverW(nullptr, 3, reinterpret_cast<LPBYTE>(&info))) {
        WhyNot = "the driver cannot be installed: " + SystemErrorText(GetLastError());
        return;
      }
      AddedDriver = driver;
    }
    std::wstring printer = Widen(name), driverName = driver, port = Widen(hostPort);
    wchar_t processor[] = L"winprint", raw[] = L"RAW";
    PRINTER_INFO_2W info{};
    info.pPrinterName = printer.data();
    info.pDriverName = driverName.data();
    info.pPortName = port.data();
    info.pPrintProcessor = processor;
    info.pDatatype = raw;
    HANDLE h = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (h == nullptr) {
      WhyNot = "the printer cannot be installed: " + SystemErrorText(GetLastError());
      return;
    }
    ClosePrinter(h);
    Installed = true;
  }

  ~TFilePrinter() {
    if (Installed) {
      std::wstring name = Widen(Name);
      PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
      HANDLE h = nullptr;
      if (OpenPrinterW(name.data(), &h, &access)) {
        DeletePrinter(h);
        ClosePrinter(h);
      }
    }
    if (!AddedDriver.empty()) DeletePrinterDriverW(nullptr, nullptr, AddedDriver.data());
    std::error_code ec;
    if (!Ppd.empty()) std::filesystem::remove(Ppd, ec);
  }

  bool Ready(std::string& whyNot) const {
    whyNot = WhyNot;
    return Installed;
  }
  std::string Jobs() const { return TTempDir::Read(Port); }

  const std::string Name;

 private:
  std::string Port;
  std::string WhyNot;
  std::wstring AddedDriver;
  std::filesystem::path Ppd;
  bool Installed = false;
};

std::string Unique(const std::string& name) { return name + " " + std::to_string(GetCurrentProcessId()); }

class SpoolerTest : public TPrinterTest {
 protected:
  void TearDown() override {
    TPrinterTest::TearDown();
    SetCanvasPrinterFactory(nullptr);
  }
  TTempDir Dir;
};

TEST_F(SpoolerTest, RawJobReachesThePrinterByteForByte) {
  TFilePrinter printer(Unique("OOA Receipt"), L"Generic / Text Only", Dir);
  std::string whyNot;
  if (!printer.Ready(whyNot)) GTEST_SKIP() << whyNot;

  const auto installed = InstalledPrinters();
  EXPECT_NE(std::find(installed.begin(), installed.end(), printer.Name), installed.end());
  EXPECT_TRUE(IsTextOnlyPrinter(printer.Name));

  UsePrinter(printer.Name);
  ASSERT_TRUE(OpenReceiptPrinter("W26000002", whyNot)) << whyNot;
  EXPECT_TRUE(ReceiptPrinterRawMode());
  PrintLogo();
  PrintLine("AB");
  PrintBarcode("1234567890", 1);
  CloseReceiptPrinter();
  EXPECT_EQ(printer.Jobs(), Init + Hex("1C 70 01 00") + "AB\r\n" +
                                Hex("1B 61 01 1D 68 32 1D 77 02 1D 66 00 1D 48 02 1D 6B 48 0A") + "1234567890" +
                                Hex("00") + Normal + FeedAndCut);
}

TEST_F(SpoolerTest, PrinterThatIsNotInstalledGivesTheSpoolersReason) {
  const std::string name = Unique("OOA no such printer");
  try {
    OpenQueueRawOutput(name, "W1");
    ADD_FAILURE() << "a job was opened on a printer that does not exist";
  } catch (const TPrintError& e) {
    const std::string head = "Printer " + name + ": the printer cannot be opened (";
    const std::string what = e.what();
    EXPECT_EQ(what.substr(0, head.size()), head) << what;
    EXPECT_EQ(what.back(), ')');
    EXPECT_GT(what.size(), head.size() + 1);  // the system's words
  }
  EXPECT_FALSE(IsTextOnlyPrinter(name));

  // Through the receipt printer: the system's default printer stands in for
  // a name that is not installed; without one nothing is printed.
  if (!DefaultPrinter().empty()) return;
  UsePrinter(name);
  std::string whyNot;
  EXPECT_FALSE(OpenReceiptPrinter("W1", whyNot));
  EXPECT_EQ(whyNot, "printer \"" + name + "\" is not installed and there is no default printer");
}

TEST_F(SpoolerTest, UnfinishedJobIsDeleted) {
  if (UnderWine()) GTEST_SKIP() << "Wine's spooler prints a job its program abandons (AbortPrinter does nothing there)";
  TFilePrinter printer(Unique("OOA Receipt"), L"Generic / Text Only", Dir);
  std::string whyNot;
  if (!printer.Ready(whyNot)) GTEST_SKIP() << whyNot;
  {
    auto output = OpenQueueRawOutput(printer.Name, "W1");
    output->Write("half a receipt");
  }
  Sleep(500);
  EXPECT_EQ(printer.Jobs(), "");
}

// Both canvas modes on a page printer: the job holds the pages GDI drew, a
// line that would reach the bottom of the page starting the next one.
TEST_F(SpoolerTest, CanvasModesPrintPagesThroughGdi) {
  RegisterGdiCanvasPrinter();
  for (bool graphic : {false, true}) {
    const std::string mode = graphic ? "graphic mode" : "device-font mode";
    SCOPED_TRACE(mode);
    // A driver of its own: a run that ended early leaves nothing this one uses.
    TFilePrinter printer(Unique("OOA Page " + mode), Widen(Unique("OOA test page printer " + mode)), Dir);
    std::string whyNot;
    if (!printer.Ready(whyNot)) GTEST_SKIP() << whyNot;
    EXPECT_FALSE(IsTextOnlyPrinter(printer.Name));

    UsePrinter(printer.Name, graphic);
    ASSERT_TRUE(OpenReceiptPrinter("W26000002", whyNot)) << whyNot;
    EXPECT_FALSE(ReceiptPrinterRawMode());
    PrintLogo();
    SetLargeFont();
    PrintLine("TAX INVOICE");
    SetNormalFont();
    const int lineHeight = ReceiptLineHeight();
    const int pageHeight = ReceiptPageHeight();
    ASSERT_GT(lineHeight, 0);
    ASSERT_GT(pageHeight, 10 * lineHeight);
    PrintBarcode("1234567890", 1);
    SetNormalFont();
    int lines = 0;
    while (ReceiptLinePosition() + lineHeight < pageHeight) {
      PrintLine("Line " + std::to_string(++lines));
      ASSERT_LT(lines, 10000);
    }
    PrintLine("On the second page");
    EXPECT_EQ(ReceiptLinePosition(), lineHeight);
    CloseReceiptPrinter();
    EXPECT_FALSE(ReceiptDocumentOpen());

    // Wine's driver writes PostScript: one job of two pages.
    const std::string job = printer.Jobs();
    EXPECT_EQ(job.rfind("%!PS", 0), 0u);
    EXPECT_NE(job.find("%%Page: 2"), std::string::npos);
    EXPECT_EQ(job.find("%%Page: 3"), std::string::npos);
  }
}

TEST_F(SpoolerTest, PdfReceiptNeedsThePdfPrinter) {
  const auto installed = InstalledPrinters();
  if (std::find(installed.begin(), installed.end(), kPdfPrinterName) != installed.end())
    GTEST_SKIP() << "the PDF printer is installed here";
  RegisterGdiCanvasPrinter();
  UsePrinter("pdf:" + Dir.Path() + "/");
  std::string whyNot;
  EXPECT_FALSE(OpenReceiptPrinter("W26000002", whyNot));
  EXPECT_EQ(whyNot, "PDF file " + Dir.Path() + "/W26000002.pdf: the printer \"Microsoft Print to PDF\" is not installed");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(Widen(Dir.File("W26000002.pdf")))));
}

}  // namespace
}  // namespace ooa::test

#endif  // _WIN32
