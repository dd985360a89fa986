// The remembered start position: its file, kept per label type and printer, and the first free
// position a run reports for the next one to continue from.
#include "printing/remembered_position.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

#include "common/safe_file_writer.h"
#include "recording_sink.h"
#include "support/temp_dir.h"
#include "type1_run_table.h"

namespace vekrano::printing {
namespace {

using vekrano::testing::readFileBytes;
using vekrano::testing::writeFileBytes;

TEST(RememberedPosition, KeptPerTypeAndPrinterAcrossRunsAndFilledSheetsForgotten) {
  vekrano::testing::TempDir dir;
  const std::string file = dir.file("VEKRANO.POS");
  // Nothing remembered yet: every sheet starts at 1, and a filled sheet writes no file.
  EXPECT_EQ(offeredPosition(readPositionFile(file), {"1", "Office"}, 12), 1);
  rememberPosition(file, {"1", "Office"}, 1);
  EXPECT_FALSE(std::filesystem::exists(file));

  rememberPosition(file, {"1", "Office"}, 6);
  rememberPosition(file, {"1", "Atelier \xe9tage 2"}, 9);  // accented name, blanks in it
  rememberPosition(file, {"9", "Office"}, 40);
  rememberPosition(file, {"1", ""}, 3);  // no default printer on this machine
  RememberedPositions kept = readPositionFile(file);
  EXPECT_EQ(offeredPosition(kept, {"1", "Office"}, 12), 6);
  EXPECT_EQ(offeredPosition(kept, {"1", "Atelier \xe9tage 2"}, 12), 9);
  EXPECT_EQ(offeredPosition(kept, {"9", "Office"}, 44), 40);
  EXPECT_EQ(offeredPosition(kept, {"1", ""}, 12), 3);
  EXPECT_EQ(offeredPosition(kept, {"2", "Office"}, 14), 1);
  EXPECT_EQ(offeredPosition(kept, {"1", "office"}, 12), 1);  // printer names are exact
  // A position beyond the sheet (a hand-edited file) is no position on it.
  EXPECT_EQ(offeredPosition(kept, {"9", "Office"}, 12), 1);
  // The file is UTF-8 text, one tab-separated line per sheet.
  const std::string text = readFileBytes(file);
  EXPECT_NE(text.find("1\t9\tAtelier \xc3\xa9tage 2\n"), std::string::npos) << text;
  EXPECT_NE(text.find("9\t40\tOffice\n"), std::string::npos) << text;
  EXPECT_EQ(text.rfind("#", 0), 0u);

  // The next run on type 1 and Office filled its last sheet: only that sheet starts again at 1.
  rememberPosition(file, {"1", "Office"}, 1);
  kept = readPositionFile(file);
  EXPECT_EQ(kept.size(), 3u);
  EXPECT_EQ(offeredPosition(kept, {"1", "Office"}, 12), 1);
  EXPECT_EQ(offeredPosition(kept, {"9", "Office"}, 44), 40);
  EXPECT_EQ(readFileBytes(file).find("\tOffice\n1\t"), std::string::npos);
}

TEST(RememberedPosition, DamagedFileGivesWhatCanBeReadAndWritesStayWhole) {
  EXPECT_TRUE(parsePositions("").empty());
  const RememberedPositions read = parsePositions(
      "# comment\r\n"
      "1\t5\tOffice\r\n"
      "\n"
      "\t5\tNo type\n"
      "Avery L7163\t9\tOffice\n"
      "2\t0\tBad position\n"
      "3\t-4\tNegative\n"
      "4 5 Blanks only\n"
      "5\t7\n"
      "6\t8\t\n"
      "1\t7\tOffice\n"
      "7\t1\tOne\n");
  EXPECT_EQ(read, (RememberedPositions{{{"1", "Office"}, 7}, {{"6", ""}, 8}, {{"Avery L7163", "Office"}, 9}}));
  // Names that cannot stand on one line are left out rather than breaking the file.
  EXPECT_EQ(
      parsePositions(formatPositions({{{"1", "A\nB"}, 4}, {{"2", "C"}, 5}, {{"#x", "C"}, 6}, {{"a\tb", "C"}, 7}})),
      (RememberedPositions{{{"2", "C"}, 5}}));

  vekrano::testing::TempDir dir;
  const std::string file = dir.file("VEKRANO.POS");
  writeFileBytes(file, std::string("\xff\0garbage\n", 10) + "2\t3\tP\n");
  EXPECT_EQ(readPositionFile(file), (RememberedPositions{{{"2", "P"}, 3}}));
  // A folder that cannot be written: the error says so and the old file stays whole.
  if (::geteuid() != 0) {
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_THROW(rememberPosition(file, {"2", "P"}, 9), common::EFileWriteError);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(readPositionFile(file), (RememberedPositions{{{"2", "P"}, 3}}));
  }
  std::filesystem::create_directory(dir.path() / "VEKRANO.DIR");
  EXPECT_THROW(rememberPosition(dir.file("VEKRANO.DIR"), {"2", "P"}, 9), common::EFileWriteError);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()),
            2);  // no fresh file left beside them
}

// The run reports where the next one may start, through the run over a real table.
class ContinuedRuns : public Type1RunTable {
 protected:
  // Runs type 1 (12 positions) from `first`; returns the next position, 0 when none was given.
  int run(int first, const std::string& criteria) {
    PrintRequest request = type1Request();
    request.firstPosition = first;
    request.criteriaText = criteria;
    int next = 0;
    jobs = PrintLabels(data.sqlqueryfonction, sink, data.programDirectory(), request, &next);
    return next;
  }

  RecordingSink sink;
  int jobs = 0;
};

TEST_F(ContinuedRuns, NextPositionFollowsTheLabelsAndAFullSheetStartsAgainAtOne) {
  add("A", 5);
  add("B", 7);
  add("C", 13);
  add("D", 12);
  EXPECT_EQ(run(1, " cb like \"A%\""), 6);  // 5 labels
  EXPECT_EQ(jobs, 1);
  EXPECT_EQ(run(6, " cb like \"B%\""), 1);  // positions 6 to 12: the sheet is filled
  EXPECT_EQ(jobs, 1);
  EXPECT_EQ(sink.jobs.back().removed, range(1, 5));  // the used positions were skipped
  EXPECT_EQ(run(5, " cb like \"C%\""), 6);  // 4 used + 13 labels: 17, two sheets
  EXPECT_EQ(jobs, 2);
  EXPECT_EQ(run(1, " cb like \"D%\""), 1);  // exactly one sheet
  EXPECT_EQ(run(12, " cb like \"D%\""), 12);  // position 12, then 11 more on a second sheet
  EXPECT_EQ(jobs, 2);
  // Nothing selected: nothing printed, and the position is not touched.
  EXPECT_EQ(run(7, " cb like \"Z%\""), 0);
  EXPECT_EQ(jobs, 0);
}

}  // namespace
}  // namespace vekrano::printing
