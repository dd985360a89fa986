#include "dbase/mdx_dbf_table.h"

#include "dbase/dbase_error.h"
#include "dbase/key_expression.h"

namespace vekrano::dbase {

namespace {

class KeyExpressionAdapter : public MdxExpression {
 public:
  KeyExpressionAdapter(std::unique_ptr<KeyExpression> expression, int decimals)
      : expression_(std::move(expression)), decimals_(decimals) {}
  char type() const override { return expression_->resultType(); }
  int length() const override { return expression_->resultLength(); }
  int decimals() const override { return decimals_; }
  MdxValue evaluate() override {
    ExprValue value = expression_->Evaluate();
    return {value.type, std::move(value.text), value.number, value.logical};
  }

 private:
  std::unique_ptr<KeyExpression> expression_;
  int decimals_;
};

}  // namespace

std::int32_t MdxDbfTable::recordCount() {
  if (shared_) table_.RefreshRecordCount();
  return table_.RecordCount();
}

// Entries may name records another process appended since the count was last read.
bool MdxDbfTable::readRecord(std::int32_t n) {
  if (shared_ && n > table_.RecordCount()) table_.RefreshRecordCount();
  return table_.GetDbfRecord(n);
}

void MdxDbfTable::goToEnd() {
  table_.SetCurrentRecord(table_.RecordCount() + 1);
  table_.SetEof(true);
}

// A numeric key takes the decimal count of its field when the expression is a bare field name;
// the key expressions do not report a decimal count for computed results, which count none.
std::unique_ptr<MdxExpression> MdxDbfTable::compile(const std::string& text, int& errorCode) {
  std::unique_ptr<KeyExpression> expression = AssignExpr(table_, text);
  if (!expression) {
    errorCode = DbfErrorCode();
    return nullptr;
  }
  int field = table_.FieldNo(text);
  int decimals = field > 0 ? table_.FieldDec(field) : 0;
  return std::make_unique<KeyExpressionAdapter>(std::move(expression), decimals);
}

}  // namespace vekrano::dbase
