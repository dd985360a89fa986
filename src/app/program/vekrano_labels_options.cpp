// Parsing the command line of vekrano-labels.
#include "app/program/vekrano_labels_options.h"

#include <charconv>
#include <map>
#include <string_view>

#include "common/code_page.h"
#include "common/exception.h"
#include "printing/label_types.h"
#include "records/record_statements.h"

namespace vekrano::app {

const char* const kLabelsUsage =
    "usage: vekrano-labels DIR [OPTION...]\n"
    "Prints the barcode records of the program directory DIR as labels, as the Printing page\n"
    "does: each record as many times as its quantity, sheet after sheet, one job per sheet.\n"
    "  --type N            label type 1 to 12 (default 1; see --list-types)\n"
    "  --sheet NAME        a sheet of the vendors' catalog (package glabels-data), such as\n"
    "                      \"Avery L7163\", or an own sheet of DIR (see --list-sheets)\n"
    "  --all               every record; otherwise only those matching the criteria:\n"
    "  --cb PREFIX         barcode begins with PREFIX\n"
    "  --text1 PREFIX      text 1 begins with PREFIX\n"
    "  --text2 PREFIX      text 2 begins with PREFIX\n"
    "  --top yes|no        topped or not topped records only\n"
    "  --order cb|lib1|lib2|quantite|topp   order of the labels (default: record number)\n"
    "  --desc              descending order\n"
    "  --no-text1, --no-text2   leave that text line blank\n"
    "  --start P           first free position on the first sheet (default 1)\n"
    "  --continue          start where the last run on paper of this type and printer\n"
    "                      stopped (every run on paper remembers it, in VEKRANO.POS in DIR)\n"
    "  --num LIST          only the records of these numbers, e.g. 3,7,12-20\n"
    "  --printer NAME      print on that printer (default: the system's default printer),\n"
    "                      with its calibration from VEKRANO.CAL in DIR\n"
    "  --pdf FILE          write the sheets into one PDF file instead, one page per sheet\n"
    "  --skip-unprintable  print the other records when some barcodes cannot print as\n"
    "                      themselves (a character outside Code 39, or too long for the\n"
    "                      label); their labels stay blank. Without it such a run prints\n"
    "                      nothing, lists them and fails\n"
    "  --list-types        list the label types; --list-printers lists the printers\n"
    "  --list-sheets [DIR] list the catalog's sheets and the own sheets of DIR\n"
    "  --help, --version\n"
    "Exit status: 0 done, 1 the run failed, 2 bad arguments.\n";

namespace {

std::string engineText(const std::string& argument) {
  return common::isValidUtf8(argument) ? common::utf8ToAnsi(argument) : argument;
}

// A criterion as the table's values were converted; a character no record can hold is refused.
std::string criterionText(const std::string& option, const std::string& argument) {
  try {
    return list::typedCriterion(common::isValidUtf8(argument) ? argument : common::ansiToUtf8(argument));
  } catch (const common::Exception& error) {
    throw ELabelsUsage(option + ": " + common::ansiToUtf8(error.what()));
  }
}

int typeNumber(const std::string& text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size() || !printing::LabelType(number)) {
    throw ELabelsUsage("--type takes a label type from 1 to 12, not \"" + text + "\"");
  }
  return number;
}

// The first position, checked against the sheet once the label type is known.
int positionNumber(const std::string& text) {
  int number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || number < 1) {
    throw ELabelsUsage("--start takes a position on the sheet, not \"" + text + "\"");
  }
  return number;
}

// "3,7,12-20": numbers and ranges of record numbers, each from 1 to the largest record number.
std::vector<int> recordNumberList(const std::string& text) {
  const auto bad = [&text]() -> ELabelsUsage {
    return ELabelsUsage("--num takes record numbers and ranges such as 3,7,12-20, not \"" + text + "\"");
  };
  const auto number = [&bad](std::string_view part) {
    int value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc() || end != part.data() + part.size() || value < 1 ||
        value > records::kMaxRecordNumber) {
      throw bad();
    }
    return value;
  };
  std::vector<int> numbers;
  std::string_view rest = text;
  while (true) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    const std::size_t dash = item.find('-');
    const int low = number(item.substr(0, dash));
    const int high = dash == std::string_view::npos ? low : number(item.substr(dash + 1));
    if (high < low) throw bad();
    for (int num = low; num <= high; ++num) numbers.push_back(num);
    if (comma == std::string_view::npos) break;
    rest.remove_prefix(comma + 1);
  }
  return numbers;
}

list::SortColumn sortColumn(const std::string& text) {
  const list::SortColumn column = list::sortColumnOfField(text);
  if (column == list::SortColumn::None) {
    throw ELabelsUsage("--order takes cb, lib1, lib2, quantite or topp, not \"" + text + "\"");
  }
  return column;
}

}  // namespace

LabelsOptions parseLabelsOptions(const std::vector<std::string>& arguments) {
  LabelsOptions options;
  bool printerGiven = false;
  bool typeGiven = false;
  bool startGiven = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 >= arguments.size()) throw ELabelsUsage(word + " needs a value");
      return arguments[++i];
    };
    if (word == "--help" || word == "-h" || word == "--version") {
      LabelsOptions answer;
      answer.action = word == "--version" ? LabelsOptions::Action::Version : LabelsOptions::Action::Help;
      return answer;
    }
    if (word == "--list-types") {
      options.action = LabelsOptions::Action::ListTypes;
    } else if (word == "--list-sheets") {
      options.action = LabelsOptions::Action::ListSheets;
    } else if (word == "--sheet") {
      options.sheet = value();
      if (options.sheet.empty()) throw ELabelsUsage("--sheet needs a sheet's name");
    } else if (word == "--list-printers") {
      options.action = LabelsOptions::Action::ListPrinters;
    } else if (word == "--type") {
      options.type = typeNumber(value());
      typeGiven = true;
    } else if (word == "--all") {
      options.printEveryRecord = true;
    } else if (word == "--cb") {
      options.criteria.cb = criterionText(word, value());
    } else if (word == "--text1") {
      options.criteria.lib1 = criterionText(word, value());
    } else if (word == "--text2") {
      options.criteria.lib2 = criterionText(word, value());
    } else if (word == "--top") {
      const std::string& top = value();
      if (top != "yes" && top != "no") throw ELabelsUsage("--top takes yes or no, not \"" + top + "\"");
      options.criteria.top = top == "yes" ? list::TopCriterion::Topped : list::TopCriterion::NotTopped;
    } else if (word == "--order") {
      options.sort.column = sortColumn(value());
    } else if (word == "--desc") {
      options.sort.descending = true;
    } else if (word == "--no-text1") {
      options.text.printText1 = false;
    } else if (word == "--no-text2") {
      options.text.printText2 = false;
    } else if (word == "--skip-unprintable") {
      options.skipUnprintable = true;
    } else if (word == "--start") {
      options.firstPosition = positionNumber(value());
      startGiven = true;
    } else if (word == "--continue") {
      options.continueSheet = true;
    } else if (word == "--num") {
      options.recordNumbers = recordNumberList(value());
    } else if (word == "--printer") {
      options.printer = engineText(value());
      printerGiven = true;
    } else if (word == "--pdf") {
      options.pdf = value();
      if (options.pdf.empty()) throw ELabelsUsage("--pdf needs a file name");
    } else if (word.starts_with("-")) {
      throw ELabelsUsage("unknown option " + word);
    } else if (options.directory.empty()) {
      options.directory = word;
    } else {
      throw ELabelsUsage("one directory only, not also \"" + word + "\"");
    }
  }
  if (printerGiven && !options.pdf.empty()) throw ELabelsUsage("--printer and --pdf exclude each other");
  if (typeGiven && !options.sheet.empty()) throw ELabelsUsage("--type and --sheet exclude each other");
  // A sheet's positions are known once it is found in the catalog or the own sheets.
  if (options.continueSheet && !options.pdf.empty()) {
    throw ELabelsUsage("--continue goes on with a sheet on paper, not with --pdf");
  }
  if (options.continueSheet && startGiven) throw ELabelsUsage("--continue and --start exclude each other");
  const list::ListCriteria& criteria = options.criteria;
  const bool criteriaGiven = !criteria.cb.empty() || !criteria.lib1.empty() || !criteria.lib2.empty() ||
                             criteria.top != list::TopCriterion::All;
  if (!options.recordNumbers.empty() && (options.printEveryRecord || criteriaGiven)) {
    throw ELabelsUsage("--num chooses the records itself, without --all or criteria");
  }
  const int positions = printing::LabelType(options.type)->labelsPerSheet;
  if (options.sheet.empty() && options.firstPosition > positions) {
    throw ELabelsUsage("--start takes a position from 1 to " + std::to_string(positions) + " on label type " +
                       std::to_string(options.type) + ", not " + std::to_string(options.firstPosition));
  }
  if (options.directory.empty() && options.action == LabelsOptions::Action::Print) {
    throw ELabelsUsage("the program directory DIR is missing");
  }
  return options;
}

}  // namespace vekrano::app
