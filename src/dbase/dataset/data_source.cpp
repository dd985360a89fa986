// Passing a dataset's notifications to data sources and their links.
#include "dbase/dataset/data_source.h"

#include <algorithm>

#include "dbase/dataset/dataset.h"

namespace vekrano::dbase {

TDataLink::~TDataLink() {
  if (dataSource_ != nullptr) {
    std::erase(dataSource_->links_, this);
  }
}

void TDataLink::setDataSource(TDataSource* source) {
  if (source == dataSource_) {
    return;
  }
  if (dataSource_ != nullptr) {
    std::erase(dataSource_->links_, this);
  }
  dataSource_ = source;
  if (dataSource_ != nullptr) {
    dataSource_->links_.push_back(this);
  }
  dataEvent(TDataEvent::deUpdateState, nullptr);
}

TDataSet* TDataLink::DataSet() const { return dataSource_ != nullptr ? dataSource_->DataSet() : nullptr; }

bool TDataLink::Active() const {
  return dataSource_ != nullptr && dataSource_->enabled() && DataSet() != nullptr && DataSet()->Active();
}

TDataSource::~TDataSource() {
  setDataSet(nullptr);
  for (TDataLink* link : links_) {
    link->dataSource_ = nullptr;
  }
}

void TDataSource::setDataSet(TDataSet* dataSet) {
  if (dataSet == dataSet_) {
    return;
  }
  if (dataSet_ != nullptr) {
    std::erase(dataSet_->dataSources_, this);
  }
  dataSet_ = dataSet;
  if (dataSet_ != nullptr) {
    dataSet_->dataSources_.push_back(this);
  }
  dataEvent(TDataEvent::deUpdateState, nullptr);
}

void TDataSource::setEnabled(bool enabled) {
  if (enabled != enabled_) {
    enabled_ = enabled;
    dataEvent(TDataEvent::deUpdateState, nullptr);
  }
}

void TDataSource::dataEvent(TDataEvent event, const TField* field) {
  if (!enabled_ && event != TDataEvent::deUpdateState) {
    return;
  }
  // A link may detach itself while notified: walk a copy.
  const std::vector<TDataLink*> links = links_;
  for (TDataLink* link : links) {
    if (std::find(links_.begin(), links_.end(), link) != links_.end()) {
      link->dataEvent(event, field);
    }
  }
  switch (event) {
    case TDataEvent::deUpdateState:
      if (OnStateChange) {
        OnStateChange(*this);
      }
      break;
    case TDataEvent::deFieldChange:
    case TDataEvent::deRecordChange:
    case TDataEvent::deDataSetChange:
    case TDataEvent::deDataSetScroll:
      if (OnDataChange) {
        OnDataChange(*this, field);
      }
      break;
    case TDataEvent::deLayoutChange:
    case TDataEvent::deUpdateRecord: break;
  }
}

}  // namespace vekrano::dbase
