// Rows and columns of a result set.
#include "sql/results/result_set.h"

#include <cstring>

#include "common/byte_codec.h"
#include "sql/errors.h"
#include "sql/query_messages.h"

namespace vekrano::sql {

TResultSet::TResultSet(const TStorageOptions& options) : options_(options) {}

void TResultSet::createStore() {
  if (!store_) store_ = std::make_unique<TRecordStore>(recordSize_, options_);
}

void TResultSet::keepTextsBesideRows() {
  if (options_.inMemory && !texts_) texts_ = std::make_unique<TRowTexts>();
}

TSqlField& TResultSet::AddField(std::unique_ptr<TSqlField> field) {
  if (texts_ && field->Type() == ttString) {
    auto& text = static_cast<TSqlStringField&>(*field);
    text.keepTextsIn(texts_.get());
    if (text.keepsTextsBeside()) textsBeside_.push_back(&text);
  }
  field->setOffset(recordSize_);
  recordSize_ += kPresenceSize + field->storageSize();
  fields_.Add(std::move(field));
  return fields_[fields_.Count() - 1];
}

std::vector<const TSqlField*> TResultSet::visibleFields() const {
  std::vector<const TSqlField*> visible;
  for (int i = 0; i < fields_.Count(); ++i) {
    if (!fields_[i].hidden()) visible.push_back(&fields_[i]);
  }
  return visible;
}

int TResultSet::RecordCount() const { return store_ ? store_->Count() : 0; }

void TResultSet::prefetchRow(int index) const {
  constexpr std::size_t kCacheLine = 64;
  const char* row = Row(index);
  for (std::size_t at = 0; at < recordSize_; at += kCacheLine) __builtin_prefetch(row + at);
  __builtin_prefetch(row + recordSize_ - 1);
}

void TResultSet::prefetchTexts(int index) const {
  const char* row = Row(index);
  for (const TSqlStringField* column : textsBeside_) __builtin_prefetch(column->textView(row).data());
}

void TResultSet::SetRecNo(int recNo) {
  if (recNo < 1 || recNo > RecordCount()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  recNo_ = recNo;
}

void TResultSet::Insert() {
  createStore();
  store_->Append();
  recNo_ = store_->Count();
}

void TResultSet::Delete() {
  if (recNo_ < 1 || recNo_ > RecordCount()) throw ESqlQueryError(messages::kRecnoOutOfRange);
  store_->Remove(recNo_ - 1);
  if (recNo_ > RecordCount()) recNo_ = RecordCount() > 0 ? RecordCount() : -1;
}

void TResultSet::clearRow(char* row) const { std::memset(row, 0, recordSize_); }

char* TResultSet::currentRow() const { return store_->Record(recNo_ - 1); }

std::int32_t TResultSet::sourceBookmark(const char* row) const { return common::load<std::int32_t>(row); }

void TResultSet::setSourceBookmark(char* row, std::int32_t bookmark) const { common::store(row, bookmark); }

void TResultSet::markRow(int index) const { setSourceBookmark(Row(index), kRowMarked); }

void TResultSet::deleteMarkedRows() {
  if (!store_) return;
  store_->removeIf([this](const char* row) { return sourceBookmark(row) == kRowMarked; });
  if (recNo_ > RecordCount()) recNo_ = RecordCount() > 0 ? RecordCount() : -1;
}

void TResultSet::reorder(const std::vector<int>& rowNumbers) {
  if (!store_) return;
  std::vector<int> order;
  order.reserve(rowNumbers.size());
  for (int number : rowNumbers) order.push_back(number - 1);
  store_->reorder(order);
}

void TResultSet::Truncate(int count) {
  if (!store_ || count >= RecordCount()) return;
  std::vector<int> order;
  for (int i = 0; i < count; ++i) order.push_back(i);
  store_->reorder(order);
  if (recNo_ > RecordCount()) recNo_ = RecordCount() > 0 ? RecordCount() : -1;
}

void TResultSet::Clear() {
  store_.reset();
  textsBeside_.clear();
  if (texts_) texts_ = std::make_unique<TRowTexts>();
  fields_.Clear();
  recordSize_ = kRowBookmarkSize;
  recNo_ = -1;
}

std::unique_ptr<TResultSet> makeResultSet(const TStorageOptions& options) {
  if (options.inMemory) return std::make_unique<TMemResultSet>();
  return std::make_unique<TFileResultSet>(options.fileCapacity);
}

}  // namespace vekrano::sql
