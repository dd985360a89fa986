// Data sources and data links: how data-aware controls (the record grid, edits) hear of the
// changes of one dataset. A dataset notifies its data sources, each source its links.
#pragma once

#include <functional>
#include <vector>

namespace vekrano::dbase {

class TDataSet;
class TDataSource;
class TField;

enum class TDataEvent {
  deFieldChange,  // a field of the current record was assigned (the field is given)
  deRecordChange,  // the current record's values changed as a whole (edit started, cancel)
  deDataSetChange,  // the set of records changed: open, refresh, post, delete, insert, resume
  deDataSetScroll,  // the cursor moved to another record
  deLayoutChange,  // the dataset's definition changed (fields, a query's text)
  deUpdateRecord,  // controls must push pending values into the record (before a post)
  deUpdateState,  // the state changed (including open and close)
};

// One data-aware control's connection to a data source. A link detaches itself when destroyed.
class TDataLink {
 public:
  TDataLink() = default;
  virtual ~TDataLink();
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return dataSource_; }
  // Attaches to `source` (nullptr detaches) and reports the change through dataEvent.
  void setDataSource(TDataSource* source);
  // The dataset of the data source, or nullptr.
  TDataSet* DataSet() const;
  // True when the link has an enabled source whose dataset is open.
  bool Active() const;

  // Receives every notification of the source's dataset. `field` is set for deFieldChange.
  virtual void dataEvent(TDataEvent event, const TField* field) = 0;

 private:
  friend class TDataSource;
  TDataSource* dataSource_ = nullptr;
};

// Connects one dataset to any number of data links (e.g. DataSource1 of the main window).
class TDataSource {
 public:
  TDataSource() = default;
  // Detaches from the dataset and from every link.
  ~TDataSource();
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TDataSet* DataSet() const { return dataSet_; }
  // Connects to `dataSet` (nullptr disconnects); links are told with deUpdateState.
  void setDataSet(TDataSet* dataSet);
  // A disabled source passes only state changes to its links.
  bool enabled() const { return enabled_; }
  void setEnabled(bool enabled);

  // Called after a change of the current record's values or of the records (deFieldChange with
  // the field, deRecordChange, deDataSetChange, deDataSetScroll with nullptr).
  std::function<void(TDataSource&, const TField*)> OnDataChange;
  // Called after every change of the dataset's state.
  std::function<void(TDataSource&)> OnStateChange;

  // Passes a notification of the dataset to the links. Called by the dataset.
  void dataEvent(TDataEvent event, const TField* field);
  // True when a link or a handler hears what dataEvent passes on.
  bool heard() const { return !links_.empty() || OnDataChange || OnStateChange; }

 private:
  friend class TDataLink;
  TDataSet* dataSet_ = nullptr;
  bool enabled_ = true;
  std::vector<TDataLink*> links_;
};

}  // namespace vekrano::dbase
