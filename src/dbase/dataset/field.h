// Field objects of a dataset: one per column of the open dataset, reading and writing the value of
// that column in the dataset's active record buffer.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vekrano::dbase {

class TDataSet;

// Column types a dataset may present.
enum class TFieldType {
  ftUnknown,
  ftString,
  ftSmallint,
  ftInteger,
  ftWord,
  ftLargeint,
  ftAutoInc,
  ftBoolean,
  ftFloat,
  ftCurrency,
  ftBCD,
  ftFMTBcd,
  ftDate,
  ftTime,
  ftDateTime,
  ftMemo,
  ftBlob,
  ftBytes,
};

// A field value: null, or the value in the native kind of its field type.
// Native kinds: ftString, ftMemo, ftBlob, ftBytes -> std::string (Windows-1252 text or bytes);
// the integer types -> std::int64_t; ftBoolean -> bool; ftFloat, ftCurrency, ftBCD, ftFMTBcd ->
// double; ftDate, ftTime, ftDateTime -> double (days since 1899-12-30, time as the fraction).
using Variant = std::variant<std::monostate, bool, std::int64_t, double, std::string>;

// True for the types whose native kind is double: the float types and the date and time types.
bool isHeldAsDouble(TFieldType type);

bool isNullVariant(const Variant& value);

// Description of one column, from which the dataset makes its field object.
struct TFieldDef {
  std::string Name;
  TFieldType DataType = TFieldType::ftUnknown;
  // String length in characters; 0 for fixed-size types.
  int Size = 0;
};

// The generic field. Getters read the dataset's active buffer: a null value reads as the empty
// text, 0 or false. Setters need the dataset in an assignment state (edit, insert and the other
// writing states) and a field that is not ReadOnly; they raise EDatabaseError otherwise.
// A conversion a field class does not offer raises EDatabaseError (kFieldTypeMismatch).
class TField {
 public:
  TField(TDataSet& dataSet, const TFieldDef& def);
  virtual ~TField() = default;
  TField(const TField&) = delete;
  TField& operator=(const TField&) = delete;

  TDataSet& DataSet() const { return dataSet_; }
  const std::string& FieldName() const { return fieldName_; }
  TFieldType DataType() const { return dataType_; }
  int Size() const { return size_; }
  // Position among the dataset's fields, 0-based.
  int Index() const { return index_; }

  bool Visible() const { return visible_; }
  void setVisible(bool visible) { visible_ = visible; }
  // The caption of the column; the field name until one is set.
  const std::string& DisplayLabel() const;
  void setDisplayLabel(const std::string& label) { displayLabel_ = label; }
  // The name used in messages: the display label.
  const std::string& displayName() const { return DisplayLabel(); }
  // Format pattern of numeric and date fields; kept for the controls that show the value.
  const std::string& DisplayFormat() const { return displayFormat_; }
  void setDisplayFormat(const std::string& format) { displayFormat_ = format; }
  bool ReadOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  // True when the active record has no value for the field, or there is no active record.
  bool IsNull() const;
  // The text of a string field as its dataset holds it, without a copy, valid until the record
  // changes; false when the dataset offers none (AsString then reads it).
  bool textView(std::string_view& text) const;
  virtual std::string AsString() const;
  virtual int AsInteger() const;
  virtual double AsFloat() const;
  virtual bool AsBoolean() const;
  // Days since 1899-12-30.
  virtual double AsDateTime() const;
  // The value in its native kind (see Variant); monostate when null.
  Variant Value() const;

  virtual void setAsString(const std::string& value);
  virtual void setAsInteger(int value);
  virtual void setAsFloat(double value);
  virtual void setAsBoolean(bool value);
  virtual void setAsDateTime(double value);
  // Null clears; any other kind goes through the matching setter.
  void setValue(const Variant& value);
  // Makes the value null.
  void Clear();
  // Copies the value of `source` (null stays null), converted to this field's type.
  void Assign(const TField& source);

 protected:
  // The native value of the active record; false (and `value` untouched) when null.
  bool getData(Variant& value) const;
  // An integer value read without a Variant, when the dataset offers that read; false otherwise.
  bool getInteger(std::int64_t& value) const;
  // Writes a native value (monostate for null) into the active record after the state and
  // read-only checks, and notifies the dataset's controls.
  void setData(const Variant& value);
  // Blank `text` clears the value; otherwise `parsed` (the text read as the native kind) is
  // written, and a text that did not read raises `errorPattern` with the text.
  void setDataFromText(const std::string& text, const std::optional<Variant>& parsed, const char* errorPattern);
  // Raises kFieldTypeMismatch naming this field and `typeName`.
  [[noreturn]] void typeMismatch(const char* typeName) const;

 private:
  friend class TDataSet;
  TDataSet& dataSet_;
  std::string fieldName_;
  TFieldType dataType_;
  int size_;
  int index_ = 0;
  bool visible_ = true;
  std::string displayLabel_;
  std::string displayFormat_;
  bool readOnly_ = false;
};

// ftString: text of at most Size characters; longer texts are cut on assignment.
// AsBoolean is true when the text starts with "T", "t", "Y" or "y"; setAsBoolean writes "T"/"F".
class TStringField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  int AsInteger() const override;
  double AsFloat() const override;
  bool AsBoolean() const override;
  double AsDateTime() const override;
  void setAsString(const std::string& value) override;
  void setAsInteger(int value) override;
  void setAsFloat(double value) override;
  void setAsBoolean(bool value) override;
  void setAsDateTime(double value) override;
};

// ftSmallint, ftInteger, ftWord, ftLargeint, ftAutoInc. Floats are rounded to the nearest
// integer, halves to even; an empty text clears the value.
class TIntegerField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  int AsInteger() const override;
  double AsFloat() const override;
  void setAsString(const std::string& value) override;
  void setAsInteger(int value) override;
  void setAsFloat(double value) override;

 protected:
  std::int64_t int64Value() const;
};

// ftFloat, ftCurrency, ftBCD, ftFMTBcd. AsInteger rounds to nearest, halves to even; an empty
// text clears the value.
class TFloatField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  int AsInteger() const override;
  double AsFloat() const override;
  void setAsString(const std::string& value) override;
  void setAsInteger(int value) override;
  void setAsFloat(double value) override;
};

// ftDate, ftTime, ftDateTime: texts in the process's short date format (ftDateTime adds
// " hh:mm:ss" when the value has a time); an empty text clears the value.
class TDateField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  double AsFloat() const override;
  double AsDateTime() const override;
  void setAsString(const std::string& value) override;
  void setAsFloat(double value) override;
  void setAsDateTime(double value) override;
};

// ftBoolean: reads as "True"/"False"; any leading part of "True" or "False", without regard to
// case, writes that value; an empty text clears it.
class TBooleanField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  bool AsBoolean() const override;
  void setAsString(const std::string& value) override;
  void setAsBoolean(bool value) override;
};

// ftMemo, ftBlob, ftBytes: text or bytes of any length.
class TMemoField : public TField {
 public:
  using TField::TField;
  std::string AsString() const override;
  void setAsString(const std::string& value) override;
};

}  // namespace vekrano::dbase
