// vekrano-labels run as a separate program: arguments, bad arguments, a missing or damaged
// table, and the PDF it writes.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "support/shell_command.h"
#include "support/temp_dir.h"

namespace {

using vekrano::testing::Outcome;
constexpr auto run = vekrano::testing::runShell;

std::string labels() { return VEKRANO_LABELS_PROGRAM; }

int pdfPages(const std::string& file) {
  const Outcome info = run("pdfinfo " + file + " 2>/dev/null");
  const std::size_t at = info.out.find("Pages:");
  return info.status != 0 || at == std::string::npos ? -1 : std::stoi(info.out.substr(at + 6));
}

void addRecord(const std::string& dir, int num, const std::string& cb, int quantite, const std::string& topp) {
  run(std::string(VEKRANO_SQL_PROGRAM) + " " + dir + " 'INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" +
      std::to_string(num) + ",\"" + cb + "\",\"t1\",\"t2\"," + std::to_string(quantite) + ",\"" + topp +
      "\")' >/dev/null");
}

TEST(LabelsProgram, HelpVersionAndBadArguments) {
  const Outcome help = run(labels() + " --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.out.rfind("usage: vekrano-labels DIR [OPTION...]\n", 0), 0u);
  EXPECT_EQ(run(labels() + " --version").out, "vekrano-labels 1.11\n");
  const Outcome types = run(labels() + " --list-types 2>/dev/null");
  EXPECT_EQ(types.status, 0);
  EXPECT_NE(types.out.find("9\t44\t44 etiquettes (4X11)"), std::string::npos) << types.out;

  for (const std::string bad :
       {"", "DIR --type 13", "DIR --type x", "DIR --order num", "DIR --top maybe", "DIR --pdf", "DIR --bogus",
        "DIR --printer P --pdf f.pdf", "DIR OTHER", "DIR --start", "DIR --start 0", "DIR --start x", "DIR --start 13",
        "DIR --start 22 --type 3", "DIR --type 9 --start 45"}) {
    const Outcome outcome = run(labels() + " " + bad + " 2>&1 >/dev/null");
    EXPECT_EQ(outcome.status, 2) << bad;
    EXPECT_EQ(outcome.out.rfind("vekrano-labels: ", 0), 0u) << bad << ": " << outcome.out;
  }
  EXPECT_NE(run(labels() + " DIR --type 13 2>&1").out.find("from 1 to 12, not \"13\""), std::string::npos);
  EXPECT_NE(run(labels() + " DIR --start 22 --type 3 2>&1")
                .out.find("--start takes a position from 1 to 21 on label type 3, not 22"),
            std::string::npos);
  EXPECT_NE(run(labels() + " --help").out.find("  --start P "), std::string::npos);
}

TEST(LabelsProgram, MissingOrDamagedTableFails) {
  vekrano::testing::TempDir dir;
  const Outcome missing = run(labels() + " " + dir.path().string() + " --pdf " + dir.file("l.pdf") + " 2>&1");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.out.find("no record table article.dbf"), std::string::npos) << missing.out;
  vekrano::testing::writeFileBytes(dir.path() / "article.dbf", "not a table at all");
  const Outcome damaged = run(labels() + " " + dir.path().string() + " --pdf " + dir.file("l.pdf") + " 2>&1");
  EXPECT_EQ(damaged.status, 1);
  EXPECT_NE(damaged.out.find("vekrano-labels: "), std::string::npos) << damaged.out;
  EXPECT_EQ(pdfPages(dir.file("l.pdf")), -1);
}

TEST(LabelsProgram, PdfPagesAreOneSheetEach) {
  vekrano::testing::TempDir dir;
  const std::string d = dir.path().string();
  addRecord(d, 1, "A1", 30, "O");
  addRecord(d, 2, "B1", 20, "N");
  addRecord(d, 3, "C1", 0, "O");
  const auto pages = [&](const std::string& options) {
    const std::string pdf = dir.file("l.pdf");
    std::remove(pdf.c_str());
    const Outcome outcome = run(labels() + " " + d + " " + options + " --pdf " + pdf + " 2>&1");
    EXPECT_EQ(outcome.status, 0) << options << ": " << outcome.out;
    return pdfPages(pdf);
  };
  EXPECT_EQ(pages("--type 1"), 5);  // 50 labels on 12: ceil = 5
  EXPECT_EQ(pages("--type 9 --all"), 2);  // 50 on 44
  EXPECT_EQ(pages("--type 1 --top no"), 2);  // 20 on 12
  EXPECT_EQ(pages("--type 3 --cb A --order quantite --desc --no-text1"), 2);  // 30 on 21
  // From a used sheet: 11 used + 20 labels take 3 sheets of 12; 43 used + 50 take 3 of 44.
  EXPECT_EQ(pages("--type 1 --top no --start 12"), 3);
  EXPECT_EQ(pages("--type 1 --top no --start 5"), 2);
  EXPECT_EQ(pages("--start 44 --type 9 --all"), 3);
  // Nothing selected: no file, a note, success.
  EXPECT_EQ(pages("--cb Z"), -1);
}

TEST(LabelsProgram, BarcodesThatWouldScanAsAnotherValueFailTheRunUnlessSkipped) {
  vekrano::testing::TempDir dir;
  const std::string d = dir.path().string();
  // Another program wrote lower-case and "#" barcodes into the table.
  addRecord(d, 1, "OK-1", 1, "O");
  addRecord(d, 2, "low-abc1", 1, "O");
  addRecord(d, 3, "A#1", 1, "O");
  addRecord(d, 4, "Z9", 1, "O");
  addRecord(d, 5, "OK-2", 1, "O");
  const std::string pdf = dir.file("l.pdf");
  const Outcome refused = run(labels() + " " + d + " --type 8 --pdf " + pdf + " 2>&1");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("vekrano-labels: 2 record(s) with a barcode that cannot print as itself "
                             "(a character outside Code 39, or too long for the label):\n"
                             "  low-abc1\n  A#1\n"
                             "vekrano-labels: nothing printed; --skip-unprintable prints the others\n"),
            std::string::npos)
      << refused.out;
  EXPECT_EQ(pdfPages(pdf), -1);

  const Outcome skipped = run(labels() + " " + d + " --type 8 --skip-unprintable --pdf " + pdf + " 2>&1");
  EXPECT_EQ(skipped.status, 0) << skipped.out;
  EXPECT_NE(skipped.out.find("vekrano-labels: their labels are left blank"), std::string::npos);
  ASSERT_EQ(pdfPages(pdf), 1);
  ASSERT_EQ(run("pdftoppm -r 300 -gray -png " + pdf + " " + dir.file("sheet")).status, 0);
  const Outcome decoded = run("zbarimg -q --raw " + dir.file("sheet-1.png") + " | sort");
  EXPECT_EQ(decoded.out, "OK-1\nOK-2\nZ9\n");
}

TEST(LabelsProgram, CriteriaAreConvertedAsTheStoredValuesWere) {
  vekrano::testing::TempDir dir;
  const std::string d = dir.path().string();
  addRecord(d, 1, "A1", 1, "O");
  // Typed with a word processor's apostrophe, stored with the plain one.
  vekrano::testing::writeFileBytes(dir.file("add.sql"),
                                   "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES "
                                   "(2,\"B2\",\"l\xE2\x80\x99\xC3\xA9t\xC3\xA9\",\"\",3,\"O\")\n");
  ASSERT_EQ(run(std::string(VEKRANO_SQL_PROGRAM) + " " + d + " < " + dir.file("add.sql") + " 2>/dev/null").status, 0);
  const std::string pdf = dir.file("l.pdf");
  const Outcome curly = run(labels() + " " + d + " --text1 'l\xE2\x80\x98' --pdf " + pdf + " 2>&1");
  EXPECT_EQ(curly.status, 0) << curly.out;
  ASSERT_EQ(run("pdftoppm -r 300 -gray -png " + pdf + " " + dir.file("sheet")).status, 0);
  EXPECT_EQ(run("zbarimg -q --raw " + dir.file("sheet-1.png")).out, "B2\n");

  const Outcome snowman = run(labels() + " " + d + " --text1 'x\xE2\x98\x83' --pdf " + pdf + " 2>&1");
  EXPECT_EQ(snowman.status, 2);
  EXPECT_NE(snowman.out.find("--text1: Aucune fiche ne peut contenir ce caract\xC3\xA8re : U+2603"), std::string::npos)
      << snowman.out;
}

// A listening socket standing for the print server, counting the connections a command makes.
class PrintServerStandIn {
 public:
  explicit PrintServerStandIn(const std::string& path) : path_(path) {
    socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    listening_ = socket_ >= 0 && ::bind(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(socket_, 8) == 0;
  }
  ~PrintServerStandIn() {
    if (socket_ >= 0) ::close(socket_);
  }
  bool listening() const { return listening_; }

  // Runs `command` with the print server at this socket; every connection is closed at once,
  // so that a client gives up instead of waiting for an answer.
  Outcome run(const std::string& command, int* connections) {
    std::atomic<bool> done{false};
    Outcome outcome;
    std::thread program([&] {
      outcome = vekrano::testing::runShell("CUPS_SERVER=" + path_ + " " + command);
      done = true;
    });
    *connections = 0;
    for (bool last = false; !last;) {
      last = done;
      for (int client; (client = ::accept(socket_, nullptr, nullptr)) >= 0;) {
        ++*connections;
        ::close(client);
      }
      if (!last) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    program.join();
    return outcome;
  }

 private:
  std::string path_;
  int socket_ = -1;
  bool listening_ = false;
};

// A PDF run has no use for the print server: asking it for the default printer costs every run
// a connection, and a wait where the server is slow to answer. Listing the printers asks it.
TEST(LabelsProgram, PdfRunsLeaveThePrintServerAlone) {
  vekrano::testing::TempDir dir;
  const std::string d = dir.path().string();
  addRecord(d, 1, "A1", 30, "O");
  PrintServerStandIn server(dir.file("cups.sock"));
  ASSERT_TRUE(server.listening());
  const std::string pdf = dir.file("l.pdf");

  int connections = -1;
  const Outcome printed = server.run(labels() + " " + d + " --pdf " + pdf + " 2>&1", &connections);
  EXPECT_EQ(printed.status, 0) << printed.out;
  EXPECT_EQ(pdfPages(pdf), 3);
  EXPECT_EQ(connections, 0);

  const Outcome listed = server.run(labels() + " --list-printers 2>&1", &connections);
  EXPECT_EQ(listed.status, 0) << listed.out;
  EXPECT_GT(connections, 0);
}

}  // namespace
