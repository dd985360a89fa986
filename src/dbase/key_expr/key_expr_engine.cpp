// The stack machine that evaluates compiled key expressions.
#include <cmath>
#include <limits>

#include "dbase/dbase_error.h"
#include "dbase/dbf_date.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/dbf_number.h"
#include "dbase/key_expr/key_expr_functions.h"
#include "dbase/key_expr/key_expr_program.h"

namespace vekrano::dbase {
namespace {

// The quotient of a division by zero, after the error has been recorded.
constexpr double kDivideByZeroResult = std::numeric_limits<double>::max();

ExprValue fieldValue(const Operation& op, const EvalContext& context) {
  const DbfTable& table = op.table != nullptr ? *op.table : context.table;
  const char* record = op.table != nullptr ? op.table->recordBuffer() : context.record;
  const char type = op.constant.type;
  if (!table.isOpen() || op.fieldIndex >= table.FieldCount()) {
    // The aliased table was closed since compiling: an empty value of the field's type.
    return type == 'D' ? dateValue(kEmptyDate) : ExprValue{type, {}, 0, false};
  }
  const DbfField& field = table.fields()[static_cast<std::size_t>(op.fieldIndex)];
  const std::string_view bytes(record + field.position, field.length);
  switch (type) {
    case 'C': return textValue(std::string(bytes));
    case 'D': {
      Date date;
      return dateValue(parseStoredDate(bytes.substr(0, 8), date) ? julianDay(date) : kEmptyDate);
    }
    case 'L': {
      const char c = bytes.empty() ? ' ' : bytes[0];
      return logicalValue(c == 'T' || c == 't' || c == 'Y' || c == 'y');
    }
    default: return ExprValue{type, {}, ReadNumber(bytes), false};  // N, M
  }
}

int compareTexts(const std::string& left, const std::string& right) { return left.compare(right); }

// Orders two values of the same type: C byte by byte, N and D by value.
int compare(const ExprValue& left, const ExprValue& right) {
  if (left.type == 'C') return compareTexts(left.text, right.text);
  if (left.type == 'L') return int(left.logical) - int(right.logical);
  return left.number < right.number ? -1 : (left.number > right.number ? 1 : 0);
}

ExprValue add(const ExprValue& left, const ExprValue& right) {
  if (left.type == 'C') return textValue(left.text + right.text);
  const double sum = left.number + right.number;
  return left.type == 'D' || right.type == 'D' ? dateValue(sum) : numberValue(sum);
}

ExprValue subtract(const ExprValue& left, const ExprValue& right) {
  if (left.type == 'C') {
    // The left text's trailing blanks move to the end of the result.
    const std::size_t end = left.text.find_last_not_of(' ');
    const std::size_t kept = end == std::string::npos ? 0 : end + 1;
    return textValue(left.text.substr(0, kept) + right.text + std::string(left.text.size() - kept, ' '));
  }
  const double difference = left.number - right.number;
  return left.type == 'D' && right.type == 'N' ? dateValue(difference) : numberValue(difference);
}

ExprValue binary(OpCode code, const ExprValue& left, const ExprValue& right, EvalContext& context) {
  switch (code) {
    case OpCode::Power: return numberValue(std::pow(left.number, right.number));
    case OpCode::Multiply: return numberValue(left.number * right.number);
    case OpCode::Divide:
      if (right.number == 0) {
        context.divideByZero = true;
        return numberValue(kDivideByZeroResult);
      }
      return numberValue(left.number / right.number);
    case OpCode::Add: return add(left, right);
    case OpCode::Subtract: return subtract(left, right);
    case OpCode::Equal:
      if (left.type == 'C') {
        return logicalValue(!right.text.empty() && left.text.compare(0, right.text.size(), right.text) == 0);
      }
      return logicalValue(compare(left, right) == 0);
    case OpCode::ExactEqual: return logicalValue(left.text == right.text);
    case OpCode::NotEqual: return logicalValue(compare(left, right) != 0);
    case OpCode::Less: return logicalValue(compare(left, right) < 0);
    case OpCode::LessEqual: return logicalValue(compare(left, right) <= 0);
    case OpCode::Greater: return logicalValue(compare(left, right) > 0);
    case OpCode::GreaterEqual: return logicalValue(compare(left, right) >= 0);
    case OpCode::Contains: return logicalValue(!left.text.empty() && right.text.find(left.text) != std::string::npos);
    case OpCode::And: return logicalValue(left.logical && right.logical);
    case OpCode::Or: return logicalValue(left.logical || right.logical);
    default: return left;
  }
}

}  // namespace

ExprValue KeyProgram::run(EvalContext& context) const {
  stack_.clear();
  for (const Operation& op : code) {
    switch (op.code) {
      case OpCode::PushConstant: stack_.push_back(op.constant); break;
      case OpCode::PushField: stack_.push_back(fieldValue(op, context)); break;
      case OpCode::Negate: stack_.back().number = -stack_.back().number; break;
      case OpCode::Not: stack_.back().logical = !stack_.back().logical; break;
      case OpCode::Call: {
        const std::size_t first = stack_.size() - static_cast<std::size_t>(op.argumentCount);
        ExprValue result = op.function->apply(stack_.data() + first, op.argumentCount, context);
        stack_.resize(first);
        stack_.push_back(std::move(result));
        break;
      }
      default: {
        const ExprValue right = std::move(stack_.back());
        stack_.pop_back();
        stack_.back() = binary(op.code, stack_.back(), right, context);
        break;
      }
    }
  }
  return stack_.back();
}

ExprValue KeyExpression::Evaluate() const { return Evaluate(table_.recordBuffer(), table_.CurrentRecord()); }

ExprValue KeyExpression::Evaluate(const char* record, std::int32_t recNo) const {
  clearDbfError();
  EvalContext context{table_, record, recNo};
  ExprValue value = program_->run(context);
  if (context.divideByZero) {
    dbfError(kErrorDivideByZero, "Error during evaluation: Divide by 0 [Evaluate/Engine]");
  }
  return value;
}

}  // namespace vekrano::dbase
