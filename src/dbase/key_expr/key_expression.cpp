// AssignExpr: scanning, parsing with the binding of the operators, type checks and the
// emission of the code list.
#include "dbase/key_expr/key_expression.h"

#include "dbase/dbase_error.h"
#include "dbase/dbf/dbf_file.h"
#include "dbase/dbf_number.h"
#include "dbase/key_expr/key_expr_functions.h"
#include "dbase/key_expr/key_expr_lexer.h"
#include "dbase/key_expr/key_expr_program.h"
#include "dbase/work_areas.h"

namespace vekrano::dbase {
namespace {

constexpr int kMaxNesting = 100;
constexpr std::size_t kContextWidth = 50;
constexpr std::size_t kMaxAliasLength = 10;
constexpr int kFirstExpressionError = 350;
constexpr int kLastExpressionError = 363;

struct CompileFailure {
  int code;
  std::string detail;
};

// One binary operator: its code, its name in messages and its accepted operand types as
// "left right result" triples.
struct BinaryRule {
  OpCode code;
  const char* display;
  std::vector<std::string_view> forms;
};

const BinaryRule* binaryRule(TokenKind kind, const std::string& name) {
  static const BinaryRule kPower{OpCode::Power, "** or ^", {"NNN"}};
  static const BinaryRule kMultiply{OpCode::Multiply, "*", {"NNN"}};
  static const BinaryRule kDivide{OpCode::Divide, "/", {"NNN"}};
  static const BinaryRule kAdd{OpCode::Add, "+", {"NNN", "NDD", "DND", "CCC"}};
  static const BinaryRule kSubtract{OpCode::Subtract, "-", {"NNN", "DND", "DDN", "CCC"}};
  static const BinaryRule kEqual{OpCode::Equal, "=", {"NNL", "DDL", "LLL", "CCL"}};
  static const BinaryRule kExactEqual{OpCode::ExactEqual, "==", {"CCL"}};
  static const BinaryRule kNotEqual{OpCode::NotEqual, "<>", {"NNL", "DDL", "LLL", "CCL"}};
  static const BinaryRule kLess{OpCode::Less, "<", {"NNL", "DDL", "CCL"}};
  static const BinaryRule kLessEqual{OpCode::LessEqual, "<=", {"NNL", "DDL", "CCL"}};
  static const BinaryRule kGreater{OpCode::Greater, ">", {"NNL", "DDL", "CCL"}};
  static const BinaryRule kGreaterEqual{OpCode::GreaterEqual, ">=", {"NNL", "DDL", "CCL"}};
  static const BinaryRule kContains{OpCode::Contains, "$", {"CCL"}};
  static const BinaryRule kAnd{OpCode::And, ".AND.", {"LLL"}};
  static const BinaryRule kOr{OpCode::Or, ".OR.", {"LLL"}};
  switch (kind) {
    case TokenKind::Power: return &kPower;
    case TokenKind::Star: return &kMultiply;
    case TokenKind::Slash: return &kDivide;
    case TokenKind::Plus: return &kAdd;
    case TokenKind::Minus: return &kSubtract;
    case TokenKind::Equal: return &kEqual;
    case TokenKind::ExactEqual: return &kExactEqual;
    case TokenKind::NotEqual: return &kNotEqual;
    case TokenKind::Less: return &kLess;
    case TokenKind::LessEqual: return &kLessEqual;
    case TokenKind::Greater: return &kGreater;
    case TokenKind::GreaterEqual: return &kGreaterEqual;
    case TokenKind::Dollar: return &kContains;
    case TokenKind::Name:
      if (name == ".AND.") return &kAnd;
      if (name == ".OR.") return &kOr;
      return nullptr;
    default: return nullptr;
  }
}

// Binding levels from loosest to tightest; each level's operators are left-associative.
enum class Level { Or, And, Comparison, Additive, Multiplicative, Power };

bool belongsTo(Level level, const Token& token) {
  switch (level) {
    case Level::Or: return token.kind == TokenKind::Name && token.text == ".OR.";
    case Level::And: return token.kind == TokenKind::Name && token.text == ".AND.";
    case Level::Comparison: return token.kind >= TokenKind::Equal && token.kind <= TokenKind::Dollar;
    case Level::Additive: return token.kind == TokenKind::Plus || token.kind == TokenKind::Minus;
    case Level::Multiplicative: return token.kind == TokenKind::Star || token.kind == TokenKind::Slash;
    case Level::Power: return token.kind == TokenKind::Power;
  }
  return false;
}

Operation operation(OpCode code) {
  Operation op;
  op.code = code;
  return op;
}

char valueTypeOf(char fieldType) { return fieldType == 'F' ? 'N' : fieldType; }

class Parser {
 public:
  Parser(DbfTable& table, std::string_view text) : table_(table), text_(text), lexer_(text) { advance(); }

  // Compiles the whole text; returns the result type.
  char compile(KeyProgram& program) {
    program_ = &program;
    const char type = binaryLevel(Level::Or);
    if (current_.kind != TokenKind::End) syntaxError();
    return type;
  }

 private:
  void advance() { current_ = lexer_.next(); }

  [[noreturn]] void fail(const std::string& cause) {
    const std::size_t at = std::min(current_.position, text_.size());
    const std::size_t from = at > kContextWidth ? at - kContextWidth : 0;
    std::string context = from > 0 ? "[..." : "";
    context += std::string(text_.substr(from, at - from));
    context += std::string(text_.substr(at, kContextWidth));
    if (text_.size() - at > kContextWidth) context += "...]";
    throw CompileFailure{kErrorExpression, "Error in expression : " + cause + "\r\n" + context + "\r\n [AssignExpr]"};
  }

  [[noreturn]] void syntaxError() { fail("Syntax error"); }

  [[noreturn]] void operatorMismatch(const std::string& op) {
    fail("PARSER:Type mismatch in expression \"" + op + "\"");
  }

  void enter() {
    if (++depth_ > kMaxNesting) {
      throw CompileFailure{kErrorInsufficientMemory, "Parser_stack_overflow [PARSER/SStackCheck]"};
    }
  }

  void emit(Operation op) { program_->code.push_back(std::move(op)); }

  char binaryLevel(Level level) {
    const auto tighter = [&] {
      return level == Level::Power ? unary() : binaryLevel(static_cast<Level>(int(level) + 1));
    };
    char left = tighter();
    while (belongsTo(level, current_)) {
      const BinaryRule* rule = binaryRule(current_.kind, current_.text);
      advance();
      const char right = tighter();
      char result = '\0';
      for (std::string_view form : rule->forms) {
        if (form[0] == left && form[1] == right) result = form[2];
      }
      if (result == '\0') operatorMismatch(rule->display);
      emit(operation(rule->code));
      left = result;
    }
    return left;
  }

  char unary() {
    const bool minus = current_.kind == TokenKind::Minus;
    const bool plus = current_.kind == TokenKind::Plus;
    const bool negation = current_.kind == TokenKind::Name && current_.text == ".NOT.";
    if (!minus && !plus && !negation) return primary();
    enter();
    advance();
    const char type = unary();
    --depth_;
    if (negation) {
      if (type != 'L') operatorMismatch(".NOT.");
      emit(operation(OpCode::Not));
    } else {
      if (type != 'N') operatorMismatch(minus ? "Unary -" : "Unary +");
      if (minus) emit(operation(OpCode::Negate));
    }
    return type;
  }

  char constant(ExprValue value) {
    const char type = value.type;
    Operation op = operation(OpCode::PushConstant);
    op.constant = std::move(value);
    emit(std::move(op));
    advance();
    return type;
  }

  char field(DbfTable* table, const DbfTable& owner, int number) {
    Operation op = operation(OpCode::PushField);
    op.table = table;
    op.fieldIndex = number - 1;
    const char type = valueTypeOf(owner.fields()[static_cast<std::size_t>(number - 1)].type);
    op.constant.type = type;
    emit(std::move(op));
    advance();
    return type;
  }

  char primary() {
    switch (current_.kind) {
      case TokenKind::Number: return constant(numberValue(ReadNumber(current_.text)));
      case TokenKind::String: return constant(textValue(current_.text));
      case TokenKind::LeftParen: {
        enter();
        advance();
        const char type = binaryLevel(Level::Or);
        if (current_.kind != TokenKind::RightParen) syntaxError();
        advance();
        --depth_;
        return type;
      }
      case TokenKind::AliasedName: return aliasedField();
      case TokenKind::Name: return name();
      default: syntaxError();
    }
  }

  char aliasedField() {
    DbfTable* other = current_.alias.size() <= kMaxAliasLength ? findWorkArea(current_.alias) : nullptr;
    const int number = other != nullptr && other->isOpen() ? other->FieldNo(current_.text) : 0;
    if (number == 0) syntaxError();
    return field(other, *other, number);
  }

  char name() {
    const bool call = lexer_.nextIsLeftParen();
    if (!call) {
      if (const int number = table_.FieldNo(current_.text); number != 0) {
        return field(nullptr, table_, number);
      }
      if (current_.text == ".T." || current_.text == ".F.") {
        return constant(logicalValue(current_.text == ".T."));
      }
      syntaxError();
    }
    const KeyFunction* function = findKeyFunction(current_.text);
    if (function == nullptr) syntaxError();
    enter();
    advance();  // the name
    advance();  // "("
    std::string types;
    if (current_.kind != TokenKind::RightParen) {
      types += binaryLevel(Level::Or);
      while (current_.kind == TokenKind::Comma) {
        advance();
        types += binaryLevel(Level::Or);
      }
    }
    if (current_.kind != TokenKind::RightParen) syntaxError();
    const char result = keyFunctionResult(*function, types);
    if (result == '\0') fail("PARSER:Type mismatch in function \"" + std::string(function->name) + "\"");
    advance();
    --depth_;
    Operation op = operation(OpCode::Call);
    op.function = function;
    op.argumentCount = static_cast<int>(types.size());
    emit(std::move(op));
    return result;
  }

  DbfTable& table_;
  std::string_view text_;
  KeyLexer lexer_;
  Token current_;
  KeyProgram* program_ = nullptr;
  int depth_ = 0;
};

int resultLengthOf(char type, const ExprValue& sample) {
  switch (type) {
    case 'C': return static_cast<int>(sample.text.size());
    case 'L': return 1;
    case 'M': return 10;
    default: return 8;
  }
}

// A bare numeric field keeps its own decimal count; a computed number counts none.
int resultDecimalsOf(const DbfTable& table, const KeyProgram& program, char type) {
  if (type != 'N' || program.code.size() != 1 || program.code[0].code != OpCode::PushField) return 0;
  const Operation& field = program.code[0];
  const DbfTable& owner = field.table != nullptr ? *field.table : table;
  return owner.fields()[static_cast<std::size_t>(field.fieldIndex)].decimals;
}

}  // namespace

KeyExpression::KeyExpression(DbfTable& table, std::string text, std::unique_ptr<KeyProgram> program)
    : table_(table), text_(std::move(text)), program_(std::move(program)) {}

KeyExpression::~KeyExpression() = default;

std::unique_ptr<KeyExpression> AssignExpr(DbfTable& table, std::string_view text) {
  if (dbfErrorCode() >= kFirstExpressionError && dbfErrorCode() <= kLastExpressionError) {
    clearDbfError();
  }
  auto program = std::make_unique<KeyProgram>();
  char type = '\0';
  try {
    type = Parser(table, text).compile(*program);
  } catch (const CompileFailure& failure) {
    dbfError(failure.code, failure.detail);
    return nullptr;
  }
  std::unique_ptr<KeyExpression> expression(new KeyExpression(table, std::string(text), std::move(program)));
  expression->resultType_ = type;
  // The length of a character result is that of its value on the current record.
  EvalContext context{table, table.recordBuffer(), table.CurrentRecord()};
  expression->resultLength_ = resultLengthOf(type, expression->program_->run(context));
  expression->resultDecimals_ = resultDecimalsOf(table, *expression->program_, type);
  return expression;
}

}  // namespace vekrano::dbase
