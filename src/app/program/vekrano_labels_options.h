// The command line of vekrano-labels: what to print, from which directory, to which output.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "list/list_criteria.h"
#include "printing/print_run.h"

namespace vekrano::app {

// A command line that cannot be run as written (exit status 2).
class ELabelsUsage : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LabelsOptions {
  enum class Action { Print, Help, Version, ListTypes, ListPrinters, ListSheets };
  Action action = Action::Print;
  std::string directory;
  int type = 1;
  // A sheet of the vendors' catalog or an own sheet of DIR, by name (UTF-8); instead of --type.
  std::string sheet;
  bool printEveryRecord = false;
  list::ListCriteria criteria;  // texts in the engine's character set
  list::SortState sort;
  printing::LabelTextOptions text;
  int firstPosition = 1;  // on the first sheet
  bool skipUnprintable = false;  // print the others when some barcodes cannot be printed
  // Start where the last run on paper of this type and printer stopped, and remember where
  // this one stops (--continue).
  bool continueSheet = false;
  // The records to print, by number, instead of the criteria (--num); empty: no such choice.
  std::vector<int> recordNumbers;
  std::string printer;  // ANSI; empty: the default printer
  std::string pdf;  // empty: print to the printer
};

// Reads the arguments after the program name. Throws ELabelsUsage with a one-line reason.
LabelsOptions parseLabelsOptions(const std::vector<std::string>& arguments);

extern const char* const kLabelsUsage;

}  // namespace vekrano::app
