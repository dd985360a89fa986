// Parsing the command line of vekrano-labels.
#include "app/program/vekrano_labels_options.h"

#include <charconv>
#include <map>

#include "common/code_page.h"
#include "printing/label_types.h"

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
    "  --printer NAME      print on that printer (default: the system's default printer),\n"
    "                      with its calibration from VEKRANO.CAL in DIR\n"
    "  --pdf FILE          write the sheets into one PDF file instead, one page per sheet\n"
    "  --list-types        list the label types; --list-printers lists the printers\n"
    "  --list-sheets [DIR] list the catalog's sheets and the own sheets of DIR\n"
    "  --help, --version\n"
    "Exit status: 0 done, 1 the run failed, 2 bad arguments.\n";

namespace {

std::string engineText(const std::string& argument) {
  return common::isValidUtf8(argument) ? common::utf8ToAnsi(argument) : argument;
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

list::SortColumn sortColumn(const std::string& text) {
  const list::SortColumn column = list::SortColumnOfField(text);
  if (column == list::SortColumn::None) {
    throw ELabelsUsage("--order takes cb, lib1, lib2, quantite or topp, not \"" + text + "\"");
  }
  return column;
}

}  // namespace

LabelsOptions ParseLabelsOptions(const std::vector<std::string>& arguments) {
  LabelsOptions options;
  bool printerGiven = false;
  bool typeGiven = false;
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
      options.criteria.cb = engineText(value());
    } else if (word == "--text1") {
      options.criteria.lib1 = engineText(value());
    } else if (word == "--text2") {
      options.criteria.lib2 = engineText(value());
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
    } else if (word == "--start") {
      options.firstPosition = positionNumber(value());
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
  const int positions = printing::LabelType(options.type)->labelsPerSheet;
  if (options.sheet.empty() && options.firstPosition > positions) {
    throw ELabelsUsage("--start takes a position from 1 to " + std::to_string(positions) +
                       " on label type " + std::to_string(options.type) + ", not " +
                       std::to_string(options.firstPosition));
  }
  if (options.directory.empty() && options.action == LabelsOptions::Action::Print) {
    throw ELabelsUsage("the program directory DIR is missing");
  }
  return options;
}

}  // namespace vekrano::app
