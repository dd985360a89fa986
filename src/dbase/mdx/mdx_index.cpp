#include "dbase/mdx/mdx_index.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "common/code_page.h"
#include "common/scope_exit.h"
#include "dbase/dbf_date.h"
#include "dbase/mdx/mdx_failure.h"
#include "dbase/file_helpers.h"
#include "dbase/mdx/mdx_index_detail.h"
#include "dbase/mdx/mdx_keys.h"

namespace vekrano::dbase {

MdxIndex::MdxIndex(MdxTable& table) : table_(table) {}

MdxIndex::~MdxIndex() {
  try {
    Close();
  } catch (const EDorevError&) {
    // Closing from a destructor cannot report; the error code is left set.
  }
}

void MdxIndex::requireOpen(const std::string& where) const {
  if (!isOpen()) throw indexNotOpen(where);
}

TagTree& MdxIndex::controlling() { return *tags_[static_cast<std::size_t>(order_ - 1)]; }

bool MdxIndex::SetIndexTo(const std::string& fileName) {
  return guarded([&] {
    struct stat st {};
    if (stat(fileName.c_str(), &st) != 0) throw indexFileMissing(fileName);
    Close();
    const auto raise = MdxFailure::Report::Raise;
    if (table_.shared())
      semaphore_ =
          std::make_unique<MdxSemaphore>(table_.tableFile(), derivedFileName(table_.fileName(), kSemaphoreExtension));
    int error =
        file_.open(fileName, table_.readOnly() ? FileAccess::ReadOnly : FileAccess::ReadWrite, FileShare::DenyNone);
    if (error != 0) {
      semaphore_.reset();
      throw indexUnopenable(error, fileName, raise);
    }
    fileName_ = fileName;
    {
      const common::OnUnwind closed([&] { Close(); });
      openTags();
    }
    order_ = tags_.empty() ? 0 : 1;
    atEnd_ = atBeginning_ = false;
    return true;
  });
}

void MdxIndex::openTags() {
  const auto raise = MdxFailure::Report::Raise;
  std::vector<std::uint8_t> area(kHeaderAreaSize);
  if (file_.size() < static_cast<std::int64_t>(kMinimumFileSize) || !readExact(file_, 0, area.data(), area.size()))
    throw indexUnopenable(kErrorCorruptedIndex, fileName_, raise);
  std::vector<TagEntry> entries = decodeTagTable(area.data());
  for (const TagEntry& entry : entries) {
    Anchor anchor;
    if (!readExact(file_, static_cast<std::int64_t>(blockOffset(entry.headerBlock)), anchor.data(), anchor.size()))
      throw indexKeyUnreadable(fileName_);
    TagHeader header = decodeTagHeader(anchor);
    if (header.keyLength < 1 || header.keyLength > kMaxKeyLength) throw keyLengthOutOfRange(" " + fileName_, raise);
    OpenTag open;
    int code = 0;
    open.key = table_.compile(header.expression, code);
    if (!header.condition.empty() && open.key) open.condition = table_.compile(header.condition, code);
    if (!open.key || (!header.condition.empty() && !open.condition)) throw indexKeyUnreadable(fileName_);
    char type = open.key->type();
    int expected = type == 'C' ? open.key->length() : type == 'D' ? kDateKeyLength : kNumericKeyLength;
    if (std::string("CNFD").find(type) == std::string::npos || expected != header.keyLength ||
        (header.keyType == 'D') != (type == 'D'))
      throw indexKeyUnreadable(fileName_);
    open.decimals = open.key->decimals();
    TagPlace place{&file_,
                   fileName_,
                   entry.name,
                   1,
                   static_cast<int>(tags_.size()) + 1,
                   &scanBytes_,
                   [this](TagTree& tag) { writeAnchor(tag); },
                   &deferred_};
    tags_.push_back(std::make_unique<TagTree>(place, header, entry.headerBlock));
    open_.push_back(std::move(open));
  }
}

void MdxIndex::Close() {
  if (!isOpen()) return;
  std::unique_ptr<MdxSemaphore> semaphore = std::move(semaphore_);
  {
    const common::ScopeExit closed([&] {
      tags_.clear();
      open_.clear();
      file_.close();
      deferred_ = {};
    });
    // What a run kept in memory goes to the file like every other write.
    if (deferred_.on) writeDeferredNodes();
    deferred_.on = false;
    writeAnchors();
  }
  order_ = 0;
  scanBytes_.Reset();
  if (semaphore) semaphore->logout();
}

void MdxIndex::writeAnchors() {
  for (auto& tag : tags_)
    if (tag->anchorDirty()) writeAnchor(*tag);
}

// In shared mode the anchor goes out under a lock on byte 0 of the index file.
void MdxIndex::writeAnchor(TagTree& tag) {
  if (deferred_.on) return;  // stays dirty until the kept writes go out
  const std::string where = tagPlace(fileName_, tag.place().tagName);
  bool lock = table_.shared();
  if (lock && lockWithRetries(file_, 0, 1) != 0) throw anchorLockRefused(where);
  Anchor anchor = encodeTagHeader(tag.header());
  int error = file_.writeAt(anchor.data(), anchor.size(), static_cast<std::int64_t>(blockOffset(tag.headerBlock())));
  if (lock) file_.unlock(0, 1);
  if (error != 0) throw anchorWriteFailed(error, where);
  tag.setAnchorClean();
}

void MdxIndex::reloadAnchors() {
  for (auto& tag : tags_) {
    Anchor anchor;
    if (!readExact(file_, static_cast<std::int64_t>(blockOffset(tag->headerBlock())), anchor.data(), anchor.size()))
      throw anchorsUnreadable(fileName_);
    TagHeader header = decodeTagHeader(anchor);
    if (header.keyLength != tag->keyLength())
      throw indexUnopenable(kErrorCorruptedIndex, fileName_, MdxFailure::Report::Record);
    tag->reload(header);
  }
}

void MdxIndex::noteChanges(bool changed) {
  if (changed) reloadAnchors();
}

void MdxIndex::Set_Order_To(int n) {
  guarded([&] {
    const std::string where = " (DBF=" + table_.fileName() + ")";
    requireOpen("." + where + " [Set_Order_To(" + std::to_string(n) + ")]");
    if (n < 0 || n > tagCount()) throw invalidOrder("Set_Order_To(" + std::to_string(n) + ")", where);
    order_ = n;
    atEnd_ = atBeginning_ = false;
    std::int32_t record = table_.currentRecord();
    if (n > 0 && record >= 1 && record <= table_.recordCount()) SyncIndex();
    return true;
  });
}

void MdxIndex::SetOrderToTag(const std::string& name) {
  std::string wanted = common::ansiUpper(name).substr(0, kEntNameSize);
  for (int n = 1; n <= tagCount(); ++n)
    if (tag(n).place().tagName == wanted) return Set_Order_To(n);
  guarded([&]() -> bool {
    const std::string where = " (DBF=" + table_.fileName() + ")";
    requireOpen("." + where + " [SetOrderToTag(" + name + ")]");
    throw invalidOrder("SetOrderToTag(" + name + ")", where);
  });
}

bool MdxIndex::conditionHolds(std::size_t i) { return !open_[i].condition || open_[i].condition->evaluate().logical; }

std::string MdxIndex::keyOf(std::size_t i) {
  MdxValue value = open_[i].key->evaluate();
  const TagHeader& header = tags_[i]->header();
  switch (header.keyType) {
    case 'N':
    case 'F': return packNumber(value.number, open_[i].decimals);
    case 'D': return dateKey(value.number);
    default: {
      std::string key = std::move(value.text);
      key.resize(static_cast<std::size_t>(header.keyLength), ' ');
      if (!value.stored) table_.toStored(key.data(), key.size());
      return key;
    }
  }
}

// Positions the table on the entry the controlling tag is on, or at its end when there is none.
bool MdxIndex::positionTable(bool onEntry) {
  if (onEntry) prefetchLeafRecords();
  if (onEntry && table_.readRecord(static_cast<std::int32_t>(controlling().current().number))) {
    atEnd_ = atBeginning_ = false;
    return true;
  }
  atEnd_ = true;
  table_.goToEnd();
  return false;
}

// Entering a leaf, its records are fetched together: they lie scattered over the table file.
void MdxIndex::prefetchLeafRecords() {
  const TagTree& tree = controlling();
  if (tree.currentLeaf() == prefetchedLeaf_) return;
  prefetchedLeaf_ = tree.currentLeaf();
  for (const NodeItem& item : tree.currentLeafItems()) table_.prefetchRecord(static_cast<std::int32_t>(item.number));
}

bool MdxIndex::controllingCoversEveryRecord() const {
  if (order_ == 0) return false;
  const TagHeader& header = tags_[static_cast<std::size_t>(order_ - 1)]->header();
  return header.condition.empty() && !header.unique;
}

bool MdxIndex::recordsInKeyOrder(std::vector<std::int32_t>& records) {
  return guarded([&] {
    if (order_ == 0) return false;
    Section section(*this, Section::Read);
    controlling().recordsInKeyOrder(records);
    atBeginning_ = atEnd_ = false;
    return true;
  });
}

bool MdxIndex::recordsWithFieldPrefix(const std::string& fieldName, const std::string& prefix,
                                      std::vector<std::int32_t>& records) {
  if (!controllingCoversEveryRecord()) return false;
  const TagHeader& header = controlling().header();
  std::string expression = header.expression;
  std::erase(expression, ' ');
  if (header.keyType != 'C' || header.descending || common::ansiUpper(expression) != common::ansiUpper(fieldName)) {
    return false;
  }
  return guarded([&] {
    Section section(*this, Section::Read);
    TagTree& tree = controlling();
    records.clear();
    const std::string start = prefix.substr(0, static_cast<std::size_t>(tree.keyLength()));
    for (bool on = tree.seek(start); on && tree.current().key.compare(0, start.size(), start) == 0; on = tree.next()) {
      records.push_back(static_cast<std::int32_t>(tree.current().number));
    }
    atBeginning_ = atEnd_ = false;
    return true;
  });
}

bool MdxIndex::firstKey() {
  return guarded([&] {
    if (order_ == 0) return false;
    Section section(*this, Section::Read);
    return positionTable(controlling().first());
  });
}

bool MdxIndex::lastKey() {
  return guarded([&] {
    if (order_ == 0) return false;
    Section section(*this, Section::Read);
    return positionTable(controlling().last());
  });
}

// Enters a section held beyond one operation, re-reading the tag headers when another process
// changed the index.
void MdxIndex::enterHeldSection(HeldSection kind) {
  if (!semaphore_) return;
  MdxSemaphore& semaphore = *semaphore_;
  bool changed = false;
  switch (kind) {
    case HeldSection::Read: changed = semaphore.enterRead(); break;
    case HeldSection::Write: changed = semaphore.enterWrite(); break;
    case HeldSection::WriteRun: changed = semaphore.enterWriteRun(); break;
  }
  const common::OnUnwind left([&] {
    switch (kind) {
      case HeldSection::Read: semaphore.exitRead(); break;
      case HeldSection::Write: semaphore.exitWrite(); break;
      case HeldSection::WriteRun: semaphore.exitWriteRun(); break;
    }
  });
  noteChanges(changed);
}

void MdxIndex::BeginScan() {
  guarded([&] {
    enterHeldSection(HeldSection::Read);
    scanBytes_.Begin();
    return true;
  });
}

void MdxIndex::endScan() {
  scanBytes_.End();
  guarded([&] {
    if (semaphore_) semaphore_->exitRead();
    return true;
  });
}

void MdxIndex::beginChange() {
  guarded([&] {
    enterHeldSection(HeldSection::Write);
    return true;
  });
}

void MdxIndex::endChange() {
  guarded([&] {
    if (semaphore_) semaphore_->exitWrite();
    return true;
  });
}

void MdxIndex::beginChangeRun() {
  guarded([&] {
    enterHeldSection(HeldSection::WriteRun);
    return true;
  });
}

void MdxIndex::endChangeRun() {
  guarded([&] {
    if (semaphore_) semaphore_->exitWriteRun();
    return true;
  });
}

std::optional<std::uint16_t> MdxIndex::changeCount() {
  std::optional<std::uint16_t> count;
  guarded([&] {
    if (semaphore_) count = semaphore_->changeCount();
    return true;
  });
  return count;
}

bool MdxIndex::nextKey() {
  return guarded([&] { return step(true); });
}
bool MdxIndex::priorKey() {
  return guarded([&] { return step(false); });
}

bool MdxIndex::step(bool forward) {
  if (order_ == 0) return false;
  Section section(*this, Section::Read);
  TagTree& tree = controlling();
  if (section.changed() && !atEnd_) syncTag(static_cast<std::size_t>(order_ - 1), "SoftSyncIndex");
  if (!tree.onEntry()) {
    if (!forward && atEnd_) return positionTable(tree.last());
    if (forward && atBeginning_) return positionTable(tree.first());
    if (!forward) atBeginning_ = true;
    return forward ? positionTable(false) : false;
  }
  bool on = forward ? tree.next() : tree.prior();
  if (on || forward) return positionTable(on);
  atBeginning_ = true;
  tree.first();
  return false;
}

std::string MdxIndex::searchKey(const std::string& text, bool exact) {
  const TagHeader& header = controlling().header();
  std::string search = text.substr(0, kMaxKeyLength);
  switch (header.keyType) {
    case 'N':
    case 'F': {
      double value = 0;
      std::size_t start = search.find_first_not_of(' ');
      if (start != std::string::npos) std::from_chars(search.data() + start, search.data() + search.size(), value);
      return packNumber(value, open_[static_cast<std::size_t>(order_ - 1)].decimals);
    }
    case 'D': {
      Date date;
      bool valid = parseDisplayDate(search, shortDateOrder(), date);
      return dateKey(valid ? julianDay(date) : 1e100);
    }
    default:
      if (exact || search.size() > static_cast<std::size_t>(header.keyLength))
        search.resize(static_cast<std::size_t>(header.keyLength), ' ');
      table_.toStored(search.data(), search.size());
      return search;
  }
}

bool MdxIndex::Find(const std::string& text) { return search(text, false); }
bool MdxIndex::FindExact(const std::string& text) { return search(text, true); }

bool MdxIndex::search(const std::string& text, bool exact) {
  return guarded([&] {
    requireOpen(" (DBF=" + table_.fileName() + ") [Find]");
    if (order_ == 0) throw findInRecordOrder();
    Section section(*this, Section::Read);
    TagTree& tree = controlling();
    std::string key = searchKey(text, exact);
    bool on = tree.seek(key) || tree.last();
    while (on && table_.readRecord(static_cast<std::int32_t>(tree.current().number)) && !table_.currentVisible())
      on = tree.next();
    bool found = on && tree.order().compare(tree.current().key, key) == 0 &&
                 (key.size() == static_cast<std::size_t>(tree.keyLength()) ||
                  std::memcmp(tree.current().key.data(), key.data(), key.size()) == 0);
    return positionTable(found);
  });
}

}  // namespace vekrano::dbase
