// Result columns: the typed values of one column inside the row records of a result set, with
// the conversions each value class offers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbase/dataset/field.h"
#include "sql/expr_types.h"
#include "sql/program/analyzer.h"
#include "sql/results/row_texts.h"

namespace vekrano::sql {

// Row record of a result set, one per row:
//
//   OFFSET  SIZE     DESCRIPTION
//      0      4      bookmark of the source record (0: none; kRowMarked: to be removed)
//      4      2      presence word of column 1 (0: null; 0xFFFF: a value is present)
//      6      n      value of column 1 (n: storageSize of the column)
//    ...             presence word and value of each further column, in column order
//
// A text column holds its text in the row, closed by zero bytes, or, when it keeps its texts
// beside the rows (TSqlStringField::keepTextsIn), a reference to the text:
//
//   OFFSET  SIZE     DESCRIPTION
//      0      4      length of the text in bytes
//      4      8      address of the text (kept by the result set's TRowTexts)
inline constexpr std::size_t kRowBookmarkSize = 4;
inline constexpr std::size_t kPresenceSize = 2;
inline constexpr std::int32_t kRowMarked = -2;

// One result column. Values are read and written in a row record given by the caller; a null
// value reads as the empty text, 0 or False. Conversions a class does not offer raise
// ESqlQueryError "Cannot read field as ..." / "Cannot assign field as ...".
class TSqlField {
 public:
  // `width`: string columns, the longest text + 1; otherwise the value's size.
  TSqlField(std::string name, std::string expression, TExprType type, int width);
  virtual ~TSqlField() = default;
  TSqlField(const TSqlField&) = delete;
  TSqlField& operator=(const TSqlField&) = delete;

  const std::string& Name() const { return name_; }
  const std::string& Expression() const { return expression_; }
  TExprType Type() const { return type_; }
  int Width() const { return width_; }
  // Bytes of the value in a row record: the width rounded up to an even number, or the size of a
  // reference for a text column that keeps its texts beside the rows.
  std::size_t storageSize() const { return storageSize_; }
  // Offset of the presence word in the row record; set when the column joins a result set.
  std::size_t Offset() const { return offset_; }
  void setOffset(std::size_t offset) { offset_ = offset; }

  // The source field when the column is one field of a source dataset (types the result field).
  const dbase::TField* sourceField() const { return sourceField_; }
  void setSourceField(const dbase::TField* field) { sourceField_ = field; }
  TCastTarget Cast() const { return cast_; }
  void setCast(TCastTarget cast) { cast_ = cast; }
  // Argument columns of aggregates are hidden: they never become result fields.
  bool hidden() const { return hidden_; }
  void setHidden(bool hidden) { hidden_ = hidden; }

  bool IsNull(const char* row) const;
  void Clear(char* row) const;

  virtual std::string AsString(const char* row) const;
  virtual double AsFloat(const char* row) const;
  virtual std::int32_t AsInteger(const char* row) const;
  virtual bool AsBoolean(const char* row) const;
  virtual void setAsString(char* row, std::string_view value) const;
  virtual void setAsFloat(char* row, double value) const;
  virtual void setAsInteger(char* row, std::int32_t value) const;
  virtual void setAsBoolean(char* row, bool value) const;

 protected:
  char* Value(char* row) const { return row + offset_ + kPresenceSize; }
  const char* Value(const char* row) const { return row + offset_ + kPresenceSize; }
  // Marks the value present.
  void setPresent(char* row) const;
  void setStorageSize(std::size_t bytes) { storageSize_ = bytes; }

 private:
  std::string name_;
  std::string expression_;
  TExprType type_;
  int width_;
  std::size_t storageSize_;
  std::size_t offset_ = 0;
  const dbase::TField* sourceField_ = nullptr;
  TCastTarget cast_;
  bool hidden_ = false;
};

class TSqlStringField : public TSqlField {
 public:
  TSqlStringField(std::string name, std::string expression, int width);
  // From now on the texts go to `texts` and the row holds references to them, when a reference
  // is smaller than the width. REQUIRES: the column is not yet placed in a row record.
  void keepTextsIn(TRowTexts* texts);
  bool keepsTextsBeside() const { return texts_ != nullptr; }
  std::string AsString(const char* row) const override;
  // The text in the row, without a copy.
  std::string_view textView(const char* row) const;
  double AsFloat(const char* row) const override;
  std::int32_t AsInteger(const char* row) const override;
  // True when the text begins with "T", "Y", "t" or "y".
  bool AsBoolean(const char* row) const override;
  // Cuts the text to the width less one character.
  void setAsString(char* row, std::string_view value) const override;
  void setAsFloat(char* row, double value) const override;
  void setAsInteger(char* row, std::int32_t value) const override;
  // "T" or "F".
  void setAsBoolean(char* row, bool value) const override;

 private:
  TRowTexts* texts_ = nullptr;  // null: the texts lie in the rows
};

class TSqlFloatField : public TSqlField {
 public:
  TSqlFloatField(std::string name, std::string expression);
  std::string AsString(const char* row) const override;
  double AsFloat(const char* row) const override;
  // Rounded to nearest, halves to even.
  std::int32_t AsInteger(const char* row) const override;
  // Invalid text raises "Invalid floating point value %s".
  void setAsString(char* row, std::string_view value) const override;
  void setAsFloat(char* row, double value) const override;
  void setAsInteger(char* row, std::int32_t value) const override;
};

class TSqlIntegerField : public TSqlField {
 public:
  TSqlIntegerField(std::string name, std::string expression);
  std::string AsString(const char* row) const override;
  double AsFloat(const char* row) const override;
  std::int32_t AsInteger(const char* row) const override;
  // Invalid text raises "Invalid integer value %s".
  void setAsString(char* row, std::string_view value) const override;
  // Rounded to nearest, halves to even.
  void setAsFloat(char* row, double value) const override;
  void setAsInteger(char* row, std::int32_t value) const override;
};

class TSqlBooleanField : public TSqlField {
 public:
  TSqlBooleanField(std::string name, std::string expression);
  // "T" or "F".
  std::string AsString(const char* row) const override;
  double AsFloat(const char* row) const override;
  std::int32_t AsInteger(const char* row) const override;
  bool AsBoolean(const char* row) const override;
  // "" gives False; a leading part of "False" or "True" (any case) gives that value; anything
  // else raises "Invalid boolean value %s".
  void setAsString(char* row, std::string_view value) const override;
  void setAsBoolean(char* row, bool value) const override;
};

// A column of `type`; `width` counts only for strings.
std::unique_ptr<TSqlField> makeSqlField(std::string name, std::string expression, TExprType type, int width);

// The columns of a result set, in column order.
class TSqlFields {
 public:
  int Count() const { return static_cast<int>(fields_.size()); }
  // REQUIRES: 0 <= index < Count().
  TSqlField& operator[](int index) const { return *fields_[static_cast<std::size_t>(index)]; }
  // The column whose name, or else whose expression text, equals `name` without regard to case.
  TSqlField* Find(const std::string& name) const;
  void Add(std::unique_ptr<TSqlField> field) { fields_.push_back(std::move(field)); }
  void Clear() { fields_.clear(); }

 private:
  std::vector<std::unique_ptr<TSqlField>> fields_;
};

// Rounds to nearest, halves to even; raises EExpression "Invalid floating point operation" for a
// value outside 32 bits.
std::int32_t roundToInteger(double value);

}  // namespace vekrano::sql
