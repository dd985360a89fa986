// Answers and the index check kept across processes for the table's files as they stand, so that
// a process opening an unchanged table neither checks its index again nor reads every record for
// an answer another process already worked out.
#include "dbase/file_io.h"
#include "dbase/table/table_dataset.h"
#include "dbase/table/table_work_areas.h"

namespace vekrano::dbase {
namespace {

constexpr char kIndexCheckFact[] = "index check";
constexpr char kQuickCheck[] = "quick";
constexpr char kEveryKeyCheck[] = "every key";

// An answer depends on which records the component shows and on the code page its texts are
// read in: both lead the name it is kept under.
std::string shownRecords(const WorkArea& area) {
  return std::string(area.hideDeleted ? "live" : "all") + " records, code page " +
         std::to_string(static_cast<int>(area.table.codePage())) + ": ";
}

// Records appended but still held in memory are not in the files the facts are kept for.
bool holdsUnwrittenAppends(const WorkArea& area) { return area.table.writtenRecordCount() != area.table.RecordCount(); }

}  // namespace

TableFilesStanding TTzDbf::filesStanding() const {
  // Open, the table's own path as opened, which a change of the working folder cannot redirect.
  const std::string table =
      area_ != 0 && getWorkArea(area_).table.isOpen() ? getWorkArea(area_).table.fileName() : dbfFileName_;
  return filesStandingOf(table, derivedFileName(table, "MDX"));
}

std::optional<std::vector<std::string>> TTzDbf::keptAnswers(const std::vector<std::string>& questions) const {
  const WorkArea& area = Area("KeptAnswers");
  if (State() != TDataSetState::dsBrowse || holdsUnwrittenAppends(area)) return std::nullopt;
  const std::string shown = shownRecords(area);
  const KeptFacts facts = loadKeptFacts(filesStanding());
  std::vector<std::string> answers;
  for (const std::string& question : questions) {
    const auto kept = facts.find(shown + question);
    if (kept == facts.end()) return std::nullopt;
    answers.push_back(kept->second);
  }
  return answers;
}

void TTzDbf::keepAnswers(const TableFilesStanding& before, const std::vector<std::string>& questions,
                         const std::vector<std::string>& answers) const {
  const WorkArea& area = Area("KeepAnswers");
  if (State() != TDataSetState::dsBrowse || holdsUnwrittenAppends(area) || !settled(before, wallClockNs()) ||
      !(filesStanding() == before))
    return;
  const std::string shown = shownRecords(area);
  KeptFacts facts;
  for (std::size_t i = 0; i < questions.size() && i < answers.size(); ++i) facts[shown + questions[i]] = answers[i];
  keepFacts(before, facts);
}

bool TTzDbf::indexCheckKept(bool everyKey) const {
  if (!(filesStanding() == openedStanding_)) return false;
  const KeptFacts facts = loadKeptFacts(openedStanding_);
  const auto kept = facts.find(kIndexCheckFact);
  return kept != facts.end() && (kept->second == kEveryKeyCheck || (!everyKey && kept->second == kQuickCheck));
}

void TTzDbf::keepIndexCheck(bool everyKey) const {
  if (!settled(openedStanding_, wallClockNs()) || !(filesStanding() == openedStanding_)) return;
  keepFacts(openedStanding_, {{kIndexCheckFact, everyKey ? kEveryKeyCheck : kQuickCheck}});
}

}  // namespace vekrano::dbase
