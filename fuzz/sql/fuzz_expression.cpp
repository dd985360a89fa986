// Arbitrary expression text through the parser and every read of the tree: errors are
// exceptions of the engine, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>

#include "common/exception.h"
#include "dbase/dataset/dataset.h"
#include "sql/expr/expr_parser.h"
#include "support/memory_dataset.h"

namespace {

using vekrano::dbase::TFieldType;

vekrano::testing::MemoryDataset& table() {
  static vekrano::testing::MemoryDataset* data = [] {
    auto* dataset = new vekrano::testing::MemoryDataset({{"num", TFieldType::ftInteger, 0},
                                                         {"cb", TFieldType::ftString, 50},
                                                         {"prix", TFieldType::ftFloat, 0},
                                                         {"jour", TFieldType::ftDate, 0},
                                                         {"ok", TFieldType::ftBoolean, 0}});
    dataset->addRow({std::int64_t{7}, std::string("ABC"), 2.5, 36525.5, true});
    dataset->Open();
    return dataset;
  }();
  return *data;
}

template <typename Read>
void attempt(Read read) {
  try {
    read();
  } catch (const vekrano::common::Exception&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto& dataset = table();
  vekrano::sql::TExprParserContext context;
  context.FindDataSet = [&dataset](const std::string& name) -> vekrano::dbase::TDataSet* {
    return name == "t" ? &dataset : nullptr;
  };
  context.NamesAreFields = size > 0 && data[0] % 2 == 0;
  vekrano::sql::TExprParser parser(dataset, context);
  const std::string text(reinterpret_cast<const char*>(data), size);
  try {
    parser.parseExpression(text);
  } catch (const vekrano::common::Exception&) {
    return 0;
  }
  vekrano::sql::TExpression& tree = *parser.Expression();
  attempt([&] { tree.exprType(); });
  attempt([&] { tree.maxString(); });
  attempt([&] { tree.AsString(); });
  attempt([&] { tree.AsFloat(); });
  attempt([&] { tree.AsInteger(); });
  attempt([&] { tree.AsBoolean(); });
  attempt([&] { tree.IsNull(); });
  return 0;
}
