// Raw (ESC/POS) printing through the socket back-end into the printer
// stand-in: the exact bytes of every primitive, decoded back; faults of the
// printer connection.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <chrono>
#include <functional>
#include <stdexcept>
#include <future>
#include <thread>

#include "escpos-view/EscPosDecode.h"
#include "print/PrinterControlUnit.h"
#include "print/PrinterOutput.h"
#include "support/PrinterStandin.h"
#include "support/TempDir.h"
#include "print/PrinterFixture.h"

namespace ooa::test {
namespace {

using escpos::TItem;
using TKind = TItem::TKind;

const std::string Init = Hex("1B 40 0C");
const std::string Normal = Hex("1B 21 00 1D 42 00 1D 21 00");
const std::string FeedAndCut = Hex("1B 64 05 1D 56 01");

class RawPrintingTest : public TPrinterTest {};

struct TRawCase {
  const char* Name;
  std::function<void()> Print;
  std::string Bytes;                                    // what the piece must put on the wire
  std::function<void(const escpos::TReceipt&)> Check;  // what the decoder must read back
};

TEST_F(RawPrintingTest, EveryPrimitiveSendsItsExactBytes) {
  const std::vector<TRawCase> cases = {
      {"line", [] { PrintLine("AB"); }, Hex("41 42 0D 0A"),
       [](const escpos::TReceipt& r) { EXPECT_EQ(r.Lines(), std::vector<std::string>{"AB"}); }},
      {"normal size", [] { SetNormalFont(); }, Normal,
       [](const escpos::TReceipt& r) { EXPECT_TRUE(r.OfKind(TKind::Size).empty()); }},
      {"double width", [] { SetDoubleWidthFont(); PrintLine("W"); }, Hex("1B 21 20 1D 21 10 57 0D 0A"),
       [](const escpos::TReceipt& r) {
         EXPECT_EQ(r.LinesOfSize({2, 1}), std::vector<std::string>{"W"});
       }},
      {"large", [] { SetLargeFont(); PrintLine("L"); }, Hex("1B 21 30 1D 21 11 4C 0D 0A"),
       [](const escpos::TReceipt& r) {
         EXPECT_EQ(r.LinesOfSize({2, 2}), std::vector<std::string>{"L"});
       }},
      {"logo", [] { PrintLogo(); }, Hex("1C 70 01 00"),
       [](const escpos::TReceipt& r) {
         ASSERT_EQ(r.OfKind(TKind::Logo).size(), 1u);
         EXPECT_EQ(r.OfKind(TKind::Logo)[0].Number, 1);
       }},
      // Up to 9 bytes: CODE39, always left-justified, module width 3.
      {"barcode of 9", [] { PrintBarcode("123456789", 2); },
       Hex("1B 61 00 1D 68 32 1D 77 03 1D 66 00 1D 48 02 1D 6B 04") + "123456789" + Hex("00"),
       [](const escpos::TReceipt& r) {
         auto b = r.OfKind(TKind::Barcode);
         ASSERT_EQ(b.size(), 1u);
         EXPECT_EQ(b[0].Symbology, "CODE39");
         EXPECT_EQ(b[0].Text, "123456789");
         EXPECT_EQ(b[0].Align, escpos::TAlign::Left);
         EXPECT_EQ(b[0].ModuleWidth, 3);
         EXPECT_EQ(b[0].Height, 50);
       }},
      // From 10 bytes: CODE93 with its length, the caller's justification, module width 2.
      {"barcode of 10", [] { PrintBarcode("1234567890", 1); },
       Hex("1B 61 01 1D 68 32 1D 77 02 1D 66 00 1D 48 02 1D 6B 48 0A") + "1234567890" + Hex("00"),
       [](const escpos::TReceipt& r) {
         auto b = r.OfKind(TKind::Barcode);
         ASSERT_EQ(b.size(), 1u);
         EXPECT_EQ(b[0].Symbology, "CODE93");
         EXPECT_EQ(b[0].Text, "1234567890");
         EXPECT_EQ(b[0].Align, escpos::TAlign::Centre);
         EXPECT_EQ(b[0].ModuleWidth, 2);
         EXPECT_TRUE(r.OfKind(TKind::Unknown).empty());
       }},
      {"empty barcode", [] { PrintBarcode("", 1); },
       Hex("1B 61 00 1D 68 32 1D 77 03 1D 66 00 1D 48 02 1D 6B 04 00"),
       [](const escpos::TReceipt& r) {
         auto b = r.OfKind(TKind::Barcode);
         ASSERT_EQ(b.size(), 1u);
         EXPECT_EQ(b[0].Symbology, "CODE39");
         EXPECT_EQ(b[0].Text, "");
       }},
      // The cut itself: every receipt ends with it (CloseReceiptPrinter).
      {"cut", [] {}, "",
       [](const escpos::TReceipt& r) {
         auto feed = r.OfKind(TKind::Feed);
         ASSERT_EQ(feed.size(), 1u);
         EXPECT_EQ(feed[0].Number, 5);
         auto cut = r.OfKind(TKind::Cut);
         ASSERT_EQ(cut.size(), 1u);
         EXPECT_EQ(cut[0].Number, 1);  // partial
         EXPECT_EQ(r.Items.back().Kind, TKind::Cut);
       }},
  };

  TPrinterStandin standin;
  UsePrinter(standin.Address());
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].Name);
    ASSERT_TRUE(OpenReceiptPrinter());
    EXPECT_TRUE(ReceiptPrinterRawMode());
    cases[i].Print();
    CloseReceiptPrinter();
    const auto jobs = standin.WaitForJobs(i + 1);
    ASSERT_EQ(jobs.size(), i + 1);
    // One job per receipt: initialise, the piece, then normal size, feed and cut.
    EXPECT_EQ(jobs[i], Init + cases[i].Bytes + Normal + FeedAndCut);
    cases[i].Check(escpos::Decode(jobs[i]));
  }
}

TEST_F(RawPrintingTest, CenterText) {
  const struct {
    std::string Text;
    int Width;
    size_t Spaces;
  } cases[] = {
      {"TAX INVOICE", 40, 14},
      {std::string(43, 'x'), 40, 1},  // longer than the line: the overflow halved, as spaces
      {std::string(41, 'x'), 40, 0},
      {std::string(40, 'x'), 40, 0},
      {"MODIFIED ORDER", 20, 3},
      {"", 40, 20},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text + " in " + std::to_string(c.Width));
    EXPECT_EQ(CenterText(c.Text, c.Width), std::string(c.Spaces, ' ') + c.Text);
  }
}

TEST_F(RawPrintingTest, NotApplicablePrinterOpensNothing) {
  TTempDir dir;
  UsePrinter("N/A");
  EXPECT_FALSE(OpenReceiptPrinter());
  EXPECT_FALSE(ReceiptDocumentOpen());
  PrintLine("nothing");  // no document: the routines do nothing
  CloseReceiptPrinter();
  EXPECT_FALSE(ReceiptDocumentOpen());
}

TEST_F(RawPrintingTest, CaptureFileReceivesEachPieceAtOnce) {
  TTempDir dir;
  const std::string path = dir.File("receipt.bin");
  UsePrinter("file:" + path);
  ASSERT_TRUE(OpenReceiptPrinter());
  PrintLine("AB");
  // Nothing waits in a buffer: the line is in the file before the receipt ends.
  EXPECT_EQ(TTempDir::Read(path), Init + Hex("41 42 0D 0A"));
  CloseReceiptPrinter();
  EXPECT_EQ(TTempDir::Read(path), Init + Hex("41 42 0D 0A") + Normal + FeedAndCut);
}

TEST_F(RawPrintingTest, BarcodeTooLongForItsLengthByteIsRefused) {
  // CODE93 carries its length in one byte: 256 bytes would print the rest as text and commands.
  TTempDir dir;
  const std::string path = dir.File("receipt.bin");
  UsePrinter("file:" + path);
  ASSERT_TRUE(OpenReceiptPrinter());
  PrintBarcode(std::string(255, '7'), 0);
  const std::string with255 = TTempDir::Read(path);
  EXPECT_EQ(escpos::Decode(with255).OfKind(TKind::Barcode).at(0).Text, std::string(255, '7'));
  EXPECT_THROW(PrintBarcode(std::string(256, '7'), 0), TPrintError);
  EXPECT_EQ(TTempDir::Read(path), with255);  // nothing of it was sent
}

TEST_F(RawPrintingTest, UnreachablePrinterIsRefusedWithoutHanging) {
  int closedPort;
  {
    TPrinterStandin gone;
    closedPort = gone.Port();
  }
  TTempDir dir;
  const char* names[] = {"socket://127.0.0.1:", "file:", "/dev/", "Queue that is not installed"};
  const std::string targets[] = {"socket://127.0.0.1:" + std::to_string(closedPort),
                                 "file:" + dir.File("missing-folder/receipt.bin"), "/dev/no-such-printer",
                                 "Queue that is not installed"};
  for (size_t i = 0; i < std::size(targets); ++i) {
    SCOPED_TRACE(names[i]);
    UsePrinter(targets[i]);
    EXPECT_FALSE(OpenReceiptPrinter());
    EXPECT_FALSE(ReceiptDocumentOpen());
  }
}

TEST_F(RawPrintingTest, PrinterThatDropsTheConnectionRaisesToTheReceipt) {
  TPrinterStandin::TOptions options;
  options.DropAfter = 3;  // takes the initialisation, then resets
  TPrinterStandin standin(options);
  UsePrinter(standin.Address());
  ASSERT_TRUE(OpenReceiptPrinter());
  ASSERT_EQ(standin.WaitForJobs(1).size(), 1u);
  bool raised = false;
  for (int i = 0; i < 50 && !raised; ++i) {
    try {
      PrintLine("a line the printer never takes");
    } catch (const TPrintError&) {
      raised = true;
    }
  }
  EXPECT_TRUE(raised);
  EXPECT_THROW(CloseReceiptPrinter(), TPrintError);  // the cut fails too ...
  EXPECT_FALSE(ReceiptDocumentOpen());               // ... but the document is ended
  EXPECT_EQ(standin.Jobs()[0], Init);
}

// A printer of the test's own on a loopback port, for what the stand-in does
// not play: it accepts one connection, waits until Go(), reads up to Take
// bytes and closes, with a reset (unread bytes left) when Reset is set.
class TLoopbackPrinter {
 public:
#ifdef _WIN32
  using TSocket = SOCKET;
  static void Close(TSocket s) { ::closesocket(s); }
#else
  using TSocket = int;
  static void Close(TSocket s) { ::close(s); }
#endif

  TLoopbackPrinter(size_t take, bool reset) {
#ifdef _WIN32
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
#endif
    Listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(Listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(Listener, 1) != 0 ||
        ::getsockname(Listener, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      throw std::runtime_error("no loopback listener");
    PortNumber = ntohs(address.sin_port);
    Thread = std::thread([this, take, reset, go = GoSignal.get_future()]() mutable {
      TSocket fd = ::accept(Listener, nullptr, nullptr);
      go.wait();
      std::string buf(take, '\0');
      size_t got = 0;
      while (got < take) {
        const int n = ::recv(fd, buf.data() + got, static_cast<int>(take - got), 0);
        if (n <= 0) break;
        got += static_cast<size_t>(n);
      }
      Received = buf.substr(0, got);
      if (reset) {
        linger hard{1, 0};  // close with unread bytes: a reset
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
      }
      Close(fd);
    });
  }
  ~TLoopbackPrinter() {
    Go();
    ::shutdown(Listener, 2);  // ends an accept still waiting (the test failed before connecting)
    if (Thread.joinable()) Thread.join();
    Close(Listener);
  }
  int Port() const { return PortNumber; }
  void Go() {
    if (!Going) GoSignal.set_value();
    Going = true;
  }
  // What it read; after it closed.
  std::string Take() {
    Go();
    if (Thread.joinable()) Thread.join();
    return Received;
  }

 private:
  TSocket Listener;
  int PortNumber = 0;
  std::promise<void> GoSignal;
  bool Going = false;
  std::string Received;
  std::thread Thread;
};

TEST_F(RawPrintingTest, SocketPrinterGetsEveryByteAndItsCloseEndsTheReceipt) {
  const std::string receipt = Init + std::string(5000, 'r') + FeedAndCut;
  TLoopbackPrinter printer(receipt.size() + 1, false);  // reads to the end, then closes
  auto output = OpenSocketOutput("127.0.0.1", printer.Port());
  printer.Go();
  output->Write(receipt.substr(0, 3));
  output->Write(receipt.substr(3));
  EXPECT_NO_THROW(output->Finish());
  EXPECT_EQ(printer.Take(), receipt);
}

// The whole receipt fits into the connection's buffers, so every send
// succeeds; the printer takes 120 bytes and resets only after that. Ending the
// document must still say the receipt was not printed.
TEST_F(RawPrintingTest, PrinterThatResetsAfterTheLastSendFailsTheEnd) {
#ifdef _WIN32
  if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr)
    GTEST_SKIP() << "Wine reports a connection reset by the peer as an orderly close (recv gives 0)";
#endif
  TLoopbackPrinter printer(120, true);
  auto output = OpenSocketOutput("127.0.0.1", printer.Port());
  output->Write(std::string(2000, 'x'));
  printer.Go();
  try {
    output->Finish();
    ADD_FAILURE() << "the end of the receipt was taken for printed";
  } catch (const TPrintError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Printer 127.0.0.1:" + std::to_string(printer.Port()) + ": the printer dropped the connection before the end");
  }
  EXPECT_EQ(printer.Take(), std::string(120, 'x'));
}

TEST_F(RawPrintingTest, DocumentLeftOpenIsEndedByTheNextReceipt) {
  TPrinterStandin standin;
  UsePrinter(standin.Address());
  ASSERT_TRUE(OpenReceiptPrinter());
  PrintLine("interrupted");  // the receipt stops here without CloseReceiptPrinter
  ASSERT_TRUE(OpenReceiptPrinter());
  PrintLine("next");
  CloseReceiptPrinter();
  const auto jobs = standin.WaitForJobs(2);
  ASSERT_EQ(jobs.size(), 2u);
  EXPECT_EQ(jobs[0], Init + "interrupted\r\n");
  EXPECT_EQ(escpos::Decode(jobs[1]).Lines(), std::vector<std::string>{"next"});
}

TEST_F(RawPrintingTest, PrinterAddresses) {
  const struct {
    std::string Name;
    TPrinterAddress::TKind Kind;
    std::string Target;
    int Port;
  } cases[] = {
      {"socket://10.0.0.7", TPrinterAddress::TKind::Socket, "10.0.0.7", 9100},
      {"socket://printer.local:9101/", TPrinterAddress::TKind::Socket, "printer.local", 9101},
      {"socket://[::1]:9102", TPrinterAddress::TKind::Socket, "::1", 9102},
      {"/dev/usb/lp0", TPrinterAddress::TKind::Device, "/dev/usb/lp0", 9100},
      {"file:/tmp/r.bin", TPrinterAddress::TKind::File, "/tmp/r.bin", 9100},
      {"pdf:/tmp/r.pdf", TPrinterAddress::TKind::Pdf, "/tmp/r.pdf", 9100},
      {"Receipt", TPrinterAddress::TKind::Queue, "Receipt", 9100},
#ifdef _WIN32
      {"\\\\.\\COM1", TPrinterAddress::TKind::Device, "\\\\.\\COM1", 9100},
      {"LPT1", TPrinterAddress::TKind::Device, "LPT1", 9100},
      {"com12:", TPrinterAddress::TKind::Device, "com12:", 9100},
      {"\\\\till\\Receipt", TPrinterAddress::TKind::Queue, "\\\\till\\Receipt", 9100},
      {"LPT", TPrinterAddress::TKind::Queue, "LPT", 9100},
      {"COM1 printer", TPrinterAddress::TKind::Queue, "COM1 printer", 9100},
#else
      {"LPT1", TPrinterAddress::TKind::Queue, "LPT1", 9100},
#endif
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const TPrinterAddress a = ParsePrinterAddress(c.Name);
    EXPECT_EQ(a.Kind, c.Kind);
    EXPECT_EQ(a.Target, c.Target);
    EXPECT_EQ(a.Port, c.Port);
  }
  for (const char* bad : {"socket://", "socket://host:0", "socket://host:99999", "socket://host:9x", "file:"}) {
    SCOPED_TRACE(bad);
    EXPECT_THROW(ParsePrinterAddress(bad), TPrintError);
  }
}

}  // namespace
}  // namespace ooa::test
