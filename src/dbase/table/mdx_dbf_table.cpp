#include "dbase/table/mdx_dbf_table.h"

#include <algorithm>
#include <vector>

#include "common/scope_exit.h"
#include "dbase/dbase_error.h"
#include "dbase/key_expr/key_expression.h"

namespace vekrano::dbase {

namespace {

class KeyExpressionAdapter : public MdxExpression {
 public:
  explicit KeyExpressionAdapter(std::unique_ptr<KeyExpression> expression) : expression_(std::move(expression)) {}
  char type() const override { return expression_->resultType(); }
  int length() const override { return expression_->resultLength(); }
  int decimals() const override { return expression_->resultDecimals(); }
  MdxValue evaluate() override {
    ExprValue value = expression_->Evaluate();
    return {value.type, std::move(value.text), value.number, value.logical};
  }

 private:
  std::unique_ptr<KeyExpression> expression_;
};

// A key that is one character field alone: the field's bytes as the file stores them, so that a
// character the ANSI text cannot hold still gives the key the record has.
class StoredFieldKey : public MdxExpression {
 public:
  StoredFieldKey(std::unique_ptr<MdxExpression> expression, const DbfTable& table, const DbfField& field)
      : expression_(std::move(expression)), table_(table), field_(field) {}
  char type() const override { return 'C'; }
  int length() const override { return expression_->length(); }
  int decimals() const override { return 0; }
  MdxValue evaluate() override {
    const char* stored = table_.storedRecordBytes();
    if (stored == nullptr) return expression_->evaluate();
    MdxValue value;
    value.text.assign(stored + field_.position, field_.length);
    value.stored = true;
    return value;
  }

 private:
  std::unique_ptr<MdxExpression> expression_;
  const DbfTable& table_;
  const DbfField field_;
};

}  // namespace

std::int32_t MdxDbfTable::recordCount() {
  if (shared_) table_.refreshRecordCount();
  return table_.RecordCount();
}

// Entries may name records another process appended since the count was last read.
bool MdxDbfTable::readRecord(std::int32_t n) {
  if (shared_ && n > table_.RecordCount()) table_.refreshRecordCount();
  return table_.getWalkedRecord(n);
}

// One read per piece instead of one per record. Expressions read the record buffer, so only the
// record the scan ends on (also by an exception) is decoded into the field buffer, as
// GetDbfRecord would leave it.
bool MdxDbfTable::scanRecords(std::int32_t count, const std::function<void(std::int32_t)>& visit) {
  constexpr std::size_t kPieceBytes = 65512 / 2;  // 125 records of `article` a read
  bool any = false;
  const common::ScopeExit decodedLast([&] {
    if (any) table_.decodeRecord();
  });
  const std::size_t length = table_.recordLength();
  const auto perPiece = static_cast<std::int32_t>(std::max<std::size_t>(kPieceBytes / length, 1));
  std::vector<char> piece(static_cast<std::size_t>(perPiece) * length);
  for (std::int32_t first = 1; first <= count; first += perPiece) {
    const std::int32_t taken = std::min(perPiece, count - first + 1);
    if (!table_.readRecords(first, taken, piece.data(), false)) return false;
    for (std::int32_t i = 0; i < taken; ++i) {
      table_.takeStoredRecord(first + i, piece.data() + static_cast<std::size_t>(i) * length);
      any = true;
      visit(first + i);
    }
  }
  return true;
}

void MdxDbfTable::goToEnd() {
  table_.setCurrentRecord(table_.RecordCount() + 1);
  table_.setEof(true);
}

std::unique_ptr<MdxExpression> MdxDbfTable::compile(const std::string& text, int& errorCode) {
  std::unique_ptr<KeyExpression> expression = AssignExpr(table_, text);
  if (!expression) {
    errorCode = dbfErrorCode();
    return nullptr;
  }
  auto adapter = std::make_unique<KeyExpressionAdapter>(std::move(expression));
  std::string name = text;
  std::erase(name, ' ');
  const int field = table_.FieldNo(name);
  if (field == 0 || table_.FieldType(field) != 'C' || adapter->length() != table_.FieldLen(field)) return adapter;
  return std::make_unique<StoredFieldKey>(std::move(adapter), table_,
                                          table_.fields()[static_cast<std::size_t>(field - 1)]);
}

}  // namespace vekrano::dbase
