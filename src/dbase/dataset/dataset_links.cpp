// The generic dataset's notifications of data links and the record-buffer copies that let a
// grid paint any record.
#include <algorithm>
#include <array>
#include <cassert>

#include "common/prompts.h"
#include "dbase/dataset/data_source.h"
#include "dbase/dataset/dataset.h"

namespace vekrano::dbase {

// --- Data links

void TDataSet::DisableControls() {
  if (disableCount_++ == 0) {
    stateWhenDisabled_ = state_;
  }
}

void TDataSet::EnableControls() {
  if (disableCount_ == 0 || --disableCount_ > 0) {
    return;
  }
  if (state_ != stateWhenDisabled_) {
    notify(TDataEvent::deUpdateState, nullptr);
  }
  notify(TDataEvent::deDataSetChange, nullptr);
}

void TDataSet::dataEvent(TDataEvent event, const TField* field) {
  if (!controlsDisabled()) {
    notify(event, field);
  }
}

void TDataSet::notify(TDataEvent event, const TField* field) {
  if (dataSources_.empty()) return;
  // The sources are walked over a copy, as one may detach itself meanwhile; the few a dataset
  // usually has are copied onto the stack, sparing a scan an allocation at every record.
  constexpr std::size_t kFewSources = 4;
  if (dataSources_.size() <= kFewSources) {
    std::array<TDataSource*, kFewSources> few{};
    std::copy(dataSources_.begin(), dataSources_.end(), few.begin());
    notifySources(few.data(), dataSources_.size(), event, field);
  } else {
    const std::vector<TDataSource*> many(dataSources_);
    notifySources(many.data(), many.size(), event, field);
  }
}

void TDataSet::notifySources(TDataSource* const* sources, std::size_t count, TDataEvent event, const TField* field) {
  for (std::size_t i = 0; i < count; ++i) {
    try {
      sources[i]->dataEvent(event, field);
    } catch (const std::exception& error) {
      InternalHandleException(error);
    }
  }
}

void TDataSet::InternalHandleException(const std::exception& error) {
  common::showMessage(error.what(), "Vekrano", common::PromptKind::Error);
}

// --- Record-buffer copies

TRecordCopy TDataSet::copyActiveBuffer() const {
  if (!Active() || (activeBuffer_ == currentBuffer_ && !hasRecord_)) {
    return {};
  }
  return TRecordCopy(activeBuffer_, activeBuffer_ + GetRecordSize());
}

std::vector<TRecordCopy> TDataSet::copyAllRecordBuffers() {
  checkActive();
  std::vector<TRecordCopy> copies;
  const int size = GetRecordSize();
  InternalFirst();
  while (GetRecord(scratchBuffer_, TGetMode::gmNext, true) == TGetResult::grOK) {
    copies.emplace_back(scratchBuffer_, scratchBuffer_ + size);
  }
  return copies;
}

bool TDataSet::copyRecordBuffer(int recNo, TRecordCopy& copy) {
  checkActive();
  // The concrete cursor may wander: every operation on the current record places it first.
  if (!internalSetRecNo(recNo)) return false;
  copy.resize(static_cast<std::size_t>(GetRecordSize()));
  return GetRecord(copy.data(), TGetMode::gmCurrent, false) == TGetResult::grOK;
}

TActiveRecord::TActiveRecord(TDataSet& dataSet, TRecordCopy& copy)
    : dataSet_(dataSet), previous_(dataSet.activeBuffer_ == dataSet.currentBuffer_ ? nullptr : dataSet.activeBuffer_) {
  assert(dataSet.State() == TDataSetState::dsBrowse && static_cast<int>(copy.size()) == dataSet.GetRecordSize());
  dataSet_.activeBuffer_ = copy.data();
}

TActiveRecord::~TActiveRecord() {
  // The current record's buffer changes when the cursor moves meanwhile: go back to whichever is
  // current now.
  dataSet_.activeBuffer_ = previous_ != nullptr ? previous_ : dataSet_.currentBuffer_;
}

}  // namespace vekrano::dbase
