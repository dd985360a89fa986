// The table dataset's own field classes: numbers of any stored width from 0 to 20 characters, and
// dates shown and typed in the short date format, where the blank pattern clears the date.
#pragma once

#include <string>

#include "dbase/dataset/field.h"

namespace vekrano::dbase {

// The widest numeric field the engine's number classes accept.
inline constexpr int kMaxTzNumberSize = 20;

// The message shown when a date value does not give a valid date: eight blanks before the words,
// seven after.
inline constexpr char kInvalidDateMessage[] = "        Invalid date       ";

// Shows kInvalidDateMessage through the prompts of the process.
void showInvalidDate();

// ftInteger of a numeric field without decimals; Size is the stored width.
class TTzIntegerField : public TIntegerField {
 public:
  // Raises EDatabaseError when def.Size is outside 0..kMaxTzNumberSize.
  TTzIntegerField(TDataSet& dataSet, const TFieldDef& def);
};

// ftFloat of a numeric field with decimals; Size is the stored width.
class TTzFloatField : public TFloatField {
 public:
  // Raises EDatabaseError when def.Size is outside 0..kMaxTzNumberSize.
  TTzFloatField(TDataSet& dataSet, const TFieldDef& def);
};

// ftDate. The value 0 stands for "no date": it reads as the empty text. A blank text, or the short
// date format with every pattern letter blanked ("  /  /    "), clears the date; a text that is
// not a valid date shows kInvalidDateMessage and clears it.
class TTzDateField : public TDateField {
 public:
  using TDateField::TDateField;
  std::string AsString() const override;
  void setAsString(const std::string& value) override;
};

// The short date format with its pattern letters replaced by blanks.
std::string emptyDatePattern();

}  // namespace vekrano::dbase
