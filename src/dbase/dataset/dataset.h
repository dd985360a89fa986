// The generic dataset: states, cursor, field objects, bookmarks and notifications of every record
// set (the dBase table, the SQL query). A concrete dataset supplies the record store through the
// protected operations; everything public behaves the same for every kind of dataset.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/exception.h"
#include "common/scope_exit.h"
#include "dbase/dataset/data_source.h"
#include "dbase/dataset/field.h"

namespace vekrano::dbase {

enum class TDataSetState {
  dsInactive,  // closed
  dsBrowse,  // open and positioned
  dsEdit,  // the current record is being changed
  dsInsert,  // a new record is being made
  dsSetKey,  // key values are being assigned for a search
  dsCalcFields,  // calculated fields are being computed
  dsFilter,  // a filter is reading a record
  dsNewValue,  // new values of a record are being assigned
  dsInternalCalc,  // internally calculated fields are being computed
};

// Answer of GetRecord.
enum class TGetResult { grOK, grBOF, grEOF, grError };
// Which record GetRecord reads: the one under the cursor, the next or the previous one.
enum class TGetMode { gmCurrent, gmNext, gmPrior };
// Where a record buffer stands: on a stored record, before the first, after the last, or a new
// record not yet stored.
enum class TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

enum class TLocateOption { loCaseInsensitive, loPartialKey };

// A set of Locate options.
class TLocateOptions {
 public:
  TLocateOptions() = default;
  TLocateOptions(std::initializer_list<TLocateOption> options);
  bool Contains(TLocateOption option) const { return (bits_ & bit(option)) != 0; }

 private:
  static unsigned bit(TLocateOption option) { return 1u << static_cast<unsigned>(option); }
  unsigned bits_ = 0;
};

// An opaque bookmark: bookmarkSize() bytes of the concrete dataset; empty when there is none.
using TBookmark = std::vector<char>;

// A copy of one record buffer, taken by a data-aware control to paint that record later.
using TRecordCopy = std::vector<char>;

class TDataSet;

// What an error event decides for a failed store operation: raise the error (daFail, the
// entry value), end the operation silently with EAbort (daAbort), or try it again (daRetry).
enum class TDataAction { daFail, daAbort, daRetry };
using TDataSetNotifyEvent = std::function<void(TDataSet& dataSet)>;
// Called when an edit, post or delete of the store failed with `error`; sets `action`.
using TDataSetErrorEvent = std::function<void(TDataSet& dataSet, const common::Exception& error, TDataAction& action)>;

// The generic dataset. Every public operation except the property getters raises
// kDataSetClosed when it needs an open dataset and the dataset is closed. Exceptions raised by the
// concrete dataset pass through unchanged.
//
// Cursor protocol with the concrete dataset: the base keeps one current record buffer. Before
// reading the next or previous record, and before any operation on the current record, the base
// calls InternalSetToRecord with the current buffer, so the concrete cursor may be moved freely in
// between. After InternalAddRecord, InternalPost, InternalDelete and InternalGotoBookmark the
// concrete cursor must stand on the record that becomes current; the base then reads it with
// GetRecord(gmCurrent) and, when that fails, with gmNext and then gmPrior (the latter leaving Eof
// set); when all fail the dataset is empty.
//
// Record buffers are plain bytes (GetRecordSize() of them) that may be copied with memcpy; they
// include the bookmark data and flag of their record.
//
// A concrete dataset must call Close() in its destructor, after destroying().
class TDataSet {
 public:
  TDataSet();
  // Detaches every data source.
  virtual ~TDataSet();
  TDataSet(const TDataSet&) = delete;
  TDataSet& operator=(const TDataSet&) = delete;

  // --- Events. Each is called only when assigned; an exception raised by a Before event stops
  // the operation before anything changed.

  // Around Open (AfterOpen only when it succeeded; AfterScroll follows when a record is current)
  // and Close.
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  // Around Insert and Append; OnNewRecord comes in dsInsert before AfterInsert, and the values
  // it assigns do not count as a change (modified stays false).
  TDataSetNotifyEvent BeforeInsert, AfterInsert, OnNewRecord;
  TDataSetNotifyEvent BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete;
  // Around every move of the cursor: First, Last, Next, Prior, MoveBy (even when it cannot
  // move), SetRecNo, GotoBookmark, Locate (AfterScroll only when the cursor moved), Insert,
  // Append and Delete. Lookup does not scroll.
  TDataSetNotifyEvent BeforeScroll, AfterScroll;
  // Called in dsCalcFields each time a record becomes current, and after a field changed while
  // editing or inserting when AutoCalcFields is set. Data fields cannot be assigned in it.
  TDataSetNotifyEvent OnCalcFields;
  // Called when the store fails to prepare an edit, to store a record or to delete one.
  TDataSetErrorEvent OnEditError, OnPostError, OnDeleteError;
  bool AutoCalcFields = true;

  // --- Opening and closing

  // Opens the store, makes the field objects and places the cursor on the first record; does
  // nothing when open. A failure leaves the dataset closed and is raised.
  void Open();
  // Abandons a pending edit or insertion, releases the field objects and closes the store; does
  // nothing when closed.
  void Close();
  bool Active() const { return state_ != TDataSetState::dsInactive; }
  void setActive(bool active);
  TDataSetState State() const { return state_; }

  // --- Navigation. Each one first posts a pending edit or insertion (or cancels it when nothing
  // was changed).

  // The first record; sets Bof.
  void First();
  // The last record; sets Eof.
  void Last();
  // The next record; from the last one the cursor stays and Eof is set.
  void Next();
  // The previous record; from the first one the cursor stays and Bof is set.
  void Prior();
  // Moves `distance` records forward (negative: backward); returns how many were moved, with
  // the sign of the direction.
  int MoveBy(int distance);
  bool Eof() const { return eof_; }
  bool Bof() const { return bof_; }
  // True when the dataset has no current record (closed, or open with no record); an empty open
  // dataset has both Bof and Eof set.
  bool IsEmpty() const;

  // The current record's number as the concrete dataset numbers records.
  int RecNo() const;
  // Goes to the record of that number when the concrete dataset has it; otherwise the concrete
  // dataset decides (the table goes to its end, the query stays).
  void SetRecNo(int recNo);
  int RecordCount() const;
  // True when record numbers follow the visible order.
  virtual bool IsSequenced() const { return true; }

  // --- Fields

  int FieldCount() const { return static_cast<int>(fields_.size()); }
  // REQUIRES: 0 <= index < FieldCount().
  TField& Fields(int index) const;
  // The field whose name equals `name` without regard to case (ANSI rules); kFieldNotFound with
  // the name when there is none.
  TField& FieldByName(const std::string& name) const;
  // The same look-up; nullptr when there is no such field.
  TField* FindField(const std::string& name) const;
  // The column descriptions of the open dataset, in column order (or as updateFieldDefs read them).
  const std::vector<TFieldDef>& FieldDefs() const { return fieldDefs_; }
  // Asks the concrete dataset for its column descriptions, also while closed; it raises when it
  // cannot tell them (a table never opened). FieldDefs() then returns them.
  void updateFieldDefs();

  // --- Changes. Append, Insert, Edit and Delete raise kDataSetReadOnly when CanModify() is false.

  // Enters dsInsert with a blank new record (Append: to go after the last record; Insert: before
  // the current one; the concrete dataset may place both at its end).
  void Append();
  void Insert();
  // Enters dsEdit on the current record (the concrete dataset may re-read it first); on an empty
  // dataset it inserts instead; does nothing while editing or inserting.
  void Edit();
  // Pushes pending control values, stores the edited or new record and returns to dsBrowse with
  // the cursor on the posted record; does nothing in dsBrowse.
  void Post();
  // Abandons the edit or insertion and returns to dsBrowse, re-reading the current record.
  void Cancel();
  // Deletes the current record (in dsInsert: cancels the insertion); the cursor then stands on
  // the record that followed, or on the previous one when it was the last. kDataSetEmpty when
  // there is no record.
  void Delete();
  // Re-reads the current record.
  void Refresh();
  // Asks the data links to push their pending values into the record buffer.
  void UpdateRecord();
  // True when the dataset accepts changes.
  bool CanModify() const { return GetCanModify(); }
  // True when a field was assigned since Edit, Append or Insert.
  bool modified() const { return modified_; }

  // --- Bookmarks

  // The current record's bookmark; empty when there is no stored current record.
  TBookmark GetBookmark() const;
  // Copies the current record's bookmark into `data` without allocating; false, with nothing
  // copied, when GetBookmark would be empty or its size is not `size`.
  bool copyBookmark(char* data, std::size_t size) const;
  // Makes the bookmark's record current (through resync, see above); does nothing for an empty
  // bookmark.
  void GotoBookmark(const TBookmark& bookmark);
  // Releases the bookmark (it becomes empty).
  void FreeBookmark(TBookmark& bookmark) const;
  // True when the bookmark still designates a record of the open dataset.
  bool BookmarkValid(const TBookmark& bookmark);
  // -1, 0 or 1 as `a` stands before, at or after `b`; an empty bookmark is smaller than any
  // other, two empty ones are equal.
  int CompareBookmarks(const TBookmark& a, const TBookmark& b) const;

  // --- Searching

  // Finds the first record whose fields `keyFields` (names separated by ";") match `keyValues`:
  // texts exactly, or without regard to case with loCaseInsensitive, or with the record's text
  // cut to the search text's length with loPartialKey; numbers, booleans and dates by value; a
  // null value matches a null field. Found: the record is current and the result is true. Not
  // found: the cursor goes back to where it was and the result is false. Concrete datasets with
  // an index may search differently.
  virtual bool Locate(const std::string& keyFields, const std::vector<Variant>& keyValues, TLocateOptions options);
  // Locates like Locate (without options), reads the fields `resultFields` (names separated by
  // ";") of the record found and returns to the record it started on. Empty when not found.
  virtual std::vector<Variant> Lookup(const std::string& keyFields, const std::vector<Variant>& keyValues,
                                      const std::string& resultFields);

  // --- Walks

  // Announces a walk through every record (First, then Next until Eof) and ends it; pairs nest.
  // A dataset may hold resources across the walk instead of taking them at every step (the
  // table holds its index's read section). Nothing by default.
  virtual void BeginScan() {}
  virtual void endScan() {}

  // Makes each record a walk would reach current in turn, in the order the dataset stores them,
  // and calls `visit` for it: the fields read that record. No event runs and no data link hears
  // of it; the dataset then stands at its end, as the walk leaves it. False, with nothing
  // visited, when the dataset stores its records in no cheaper order than its walk, or when the
  // walk could be seen: a scroll or calculation event assigned, a data source heard, an edit
  // pending. A failure of `visit` or of a read passes on, with the dataset placed at its end.
  // With `fieldsRead`, only those fields need to read the visited record (the others may read
  // anything meanwhile), which spares decoding the rest.
  bool visitInStorageOrder(const std::function<void()>& visit, const std::vector<const TField*>* fieldsRead = nullptr);
  // Visits as visitInStorageOrder does, but in the walk's order and only some of the records:
  // at least every one whose `field` holds a text starting with `prefix` (which is printable
  // ASCII), found through an index. False, with nothing visited, when the dataset has no index
  // that finds them or the walk could be seen.
  bool visitFieldPrefix(const TField& field, const std::string& prefix, const std::function<void()>& visit);
  // The bookmarks, as 32-bit numbers, of the records a walk reaches, in the walk's order; records
  // the walk skips (marked deleted) may be among them. The cursor's place afterwards is the
  // dataset's to choose. By default the walk itself, for a dataset whose bookmarks are 4 bytes.
  virtual std::vector<std::int32_t> walkOrder();

  // --- Data links

  // Suspends notifications; calls nest.
  void DisableControls();
  // Resumes them when the last DisableControls is undone, notifying a data set change (and a
  // state change when the state changed meanwhile).
  void EnableControls();
  bool controlsDisabled() const { return disableCount_ > 0; }

  // The record buffer the fields read and write: the current record's, or the copy made active
  // by a TActiveRecord.
  char* activeBuffer() const { return activeBuffer_; }
  // A copy of the current record's buffer, for painting that record later; empty when there is
  // no current record.
  TRecordCopy copyActiveBuffer() const;
  // Copies of the buffers of every record in the dataset's order, read without moving the
  // cursor or notifying (for a grid that paints all rows).
  std::vector<TRecordCopy> copyAllRecordBuffers();
  // A copy of the buffer of the record numbered `recNo` (as RecNo numbers them) into `copy`,
  // read without moving the cursor or notifying, so that a grid painting any row leaves the
  // current record, and an edit of it, alone. False when the dataset has no such record.
  bool copyRecordBuffer(int recNo, TRecordCopy& copy);

  // Notifies every data link (unless controls are disabled). Called by the dataset itself, its
  // fields, and concrete datasets when their definition changes (deLayoutChange).
  void dataEvent(TDataEvent event, const TField* field = nullptr);

 protected:
  // --- Store of the concrete dataset

  // Opens the underlying store. Raises on failure.
  virtual void InternalOpen() = 0;
  // Closes the store; must not raise.
  virtual void InternalClose() = 0;
  virtual bool IsCursorOpen() const = 0;
  // The columns of the open store, in column order.
  virtual std::vector<TFieldDef> InternalInitFieldDefs() = 0;
  // The field object for one column; by default the generic class of its data type.
  virtual std::unique_ptr<TField> createField(const TFieldDef& def);

  // --- Record buffers

  virtual int GetRecordSize() const = 0;
  // A zero-filled buffer of GetRecordSize() bytes; released with FreeRecordBuffer.
  virtual char* AllocRecordBuffer();
  virtual void FreeRecordBuffer(char*& buffer);

  // --- Cursor

  // Places the cursor before the first record / after the last.
  virtual void InternalFirst() = 0;
  virtual void InternalLast() = 0;
  // Fills `buffer` with the current, next or previous record (moving the cursor for the last
  // two), its bookmark data and the flag bfCurrent. Answers grBOF / grEOF when there is no such
  // record, grError on failure; with `doCheck` a failure raises instead of answering grError.
  virtual TGetResult GetRecord(char* buffer, TGetMode mode, bool doCheck) = 0;
  // Places the concrete cursor on the record of `buffer`.
  virtual void InternalSetToRecord(const char* buffer) = 0;

  // --- Changes

  // Blanks `buffer` for a new record.
  virtual void InternalInitRecord(char* buffer) = 0;
  // Stores the new record of `buffer` (after the last record when `append`, else before the
  // current one) and places the cursor on it.
  virtual void InternalAddRecord(const char* buffer, bool append) = 0;
  // Stores the edited active buffer as the current record and leaves the cursor on it.
  virtual void InternalPost() = 0;
  // Deletes the current record and places the cursor on the record that followed it, or on the
  // previous one when it was the last.
  virtual void InternalDelete() = 0;
  // Prepares an edit of the current record (the active buffer may be re-read).
  virtual void InternalEdit() {}
  // Re-reads the store so that GetRecord(gmCurrent) sees the current record's stored values.
  virtual void InternalRefresh() {}
  virtual bool GetCanModify() const { return true; }

  // --- Field values

  // Reads the native value (see Variant) of `field` from activeBuffer(); false when null.
  virtual bool GetFieldData(const TField& field, Variant& value) const = 0;
  // GetFieldData's answer without the value, for null tests that need not build it.
  // A view of the text of a string field in activeBuffer(), valid until that buffer changes;
  // false when the dataset offers none (the field's value is then read as a Variant).
  virtual bool getFieldText(const TField& /*field*/, std::string_view& /*text*/) const { return false; }
  // The value of an integer field in activeBuffer() read without a Variant; false when the
  // dataset offers no such read (GetFieldData is then used).
  virtual bool getFieldInteger(const TField& /*field*/, std::int64_t& /*value*/) const { return false; }
  virtual bool hasFieldData(const TField& field) const {
    Variant value;
    return GetFieldData(field, value);
  }
  // Writes the native value of `field` into activeBuffer(); monostate means null.
  virtual void SetFieldData(const TField& field, const Variant& value) = 0;

  // --- Bookmarks

  // Size in bytes of this dataset's bookmarks.
  virtual int bookmarkSize() const = 0;
  virtual void GetBookmarkData(const char* buffer, char* data) const = 0;
  virtual void SetBookmarkData(char* buffer, const char* data) = 0;
  virtual TBookmarkFlag GetBookmarkFlag(const char* buffer) const = 0;
  virtual void SetBookmarkFlag(char* buffer, TBookmarkFlag flag) = 0;
  // Places the cursor on the record of the bookmark data.
  virtual void InternalGotoBookmark(const char* data) = 0;
  // True when the bookmark data designates a record of the open dataset.
  virtual bool internalBookmarkValid(const char* data) = 0;
  // -1, 0 or 1 for two bookmarks' data.
  virtual int compareBookmarkData(const char* a, const char* b) const = 0;

  // --- Numbering

  virtual int GetRecordCount() const = 0;
  // Number of the record of activeBuffer().
  virtual int GetRecNo() const = 0;
  // Places the cursor on the record numbered `recNo`; false when the dataset ignores the number
  // and the cursor did not move.
  virtual bool internalSetRecNo(int recNo) = 0;

  // Reports an exception raised by a data link while it was notified; by default an error box
  // with the exception's text through the prompts of the process.
  virtual void InternalHandleException(const std::exception& error);
  // VisitInStorageOrder's work, once it knows nobody watches: each visited record is delivered
  // into activeBuffer(). False when the dataset has no storage order cheaper than its walk.
  virtual bool visitStoredRecords(const std::function<void()>& /*visit*/,
                                  const std::vector<const TField*>* /*fieldsRead*/) {
    return false;
  }
  // VisitFieldPrefix's work, the same way.
  virtual bool visitPrefixRecords(const TField& /*field*/, const std::string& /*prefix*/,
                                  const std::function<void()>& /*visit*/) {
    return false;
  }

  // --- Services for concrete datasets

  // Marks the dataset as being destroyed: closing it then calls no events, whose handlers may
  // reach objects already gone.
  void destroying() { destroying_ = true; }

  // Raises kDataSetClosed unless the dataset is open.
  void checkActive() const;
  // Posts a pending edit or insertion, or cancels it when nothing was changed.
  void checkBrowseMode();
  // Runs `visitRecords` (true when it visited) unless the dataset is watched or editing; then
  // stands at the end, also when it raised.
  bool visitUnwatched(const std::function<bool()>& visitRecords);
  // Reads the record under the concrete cursor (see the cursor protocol) and notifies a data set
  // change.
  void resync();
  // Switches the state and notifies deUpdateState.
  void setState(TDataSetState state);
  // Call BeforeScroll and AfterScroll, unless a TScrollEventsOff lives.
  void doBeforeScroll();
  void doAfterScroll();
  // While it lives, cursor moves do not call the scroll events (a Lookup going and coming back).
  class TScrollEventsOff {
   public:
    explicit TScrollEventsOff(TDataSet& dataSet) : dataSet_(dataSet) { ++dataSet_.quietScrolls_; }
    ~TScrollEventsOff() { --dataSet_.quietScrolls_; }
    TScrollEventsOff(const TScrollEventsOff&) = delete;
    TScrollEventsOff& operator=(const TScrollEventsOff&) = delete;

   private:
    TDataSet& dataSet_;
  };
  // True in dsEdit, dsInsert, dsSetKey, dsFilter, dsNewValue and dsInternalCalc.
  bool canAssignFields() const;

 private:
  friend class TField;
  friend class TDataSource;
  friend class TActiveRecord;

  // The active buffer holds a stored current record, whose bookmark can be read.
  bool hasCurrentBookmark() const;
  void createFields();
  void releaseBuffers();
  void checkCanModify() const;
  // Places the concrete cursor on the current record when it is a stored one.
  void updateCursorPos();
  void beginInsert(bool append);
  // Back to browsing on the record under the concrete cursor, telling the controls.
  void endChange();
  // Reads into the scratch buffer and makes it current on success.
  TGetResult fetch(TGetMode mode);
  // Reads the first record (setting Bof) or the last (setting Eof), without notifying.
  void placeAtEnd(bool first);
  // Reads the record under the concrete cursor as the cursor protocol says, without notifying.
  void resyncCursor();
  void setEmpty();
  std::vector<TField*> FieldList(const std::string& names) const;
  // True when the fields have a record to read: a current one, or a copy made active.
  bool hasActiveRecord() const;
  bool ReadField(const TField& field, Variant& value) const;
  bool readFieldText(const TField& field, std::string_view& text) const;
  bool readFieldInteger(const TField& field, std::int64_t& value) const;
  // ReadField's answer without the value.
  bool fieldHasValue(const TField& field) const;
  void writeField(const TField& field, const Variant& value);
  // Passes a notification to the data sources whether or not controls are disabled.
  void notify(TDataEvent event, const TField* field);
  void notifySources(TDataSource* const* sources, std::size_t count, TDataEvent event, const TField* field);
  // Runs a store operation, placing the concrete cursor on the current record first; a failure
  // goes to `onError`, which may fail it, abort it or retry it.
  void checkOperation(const std::function<void()>& operation, const TDataSetErrorEvent& onError);
  void doOnCalcFields();
  void Call(const TDataSetNotifyEvent& event) {
    if (event) {
      event(*this);
    }
  }
  // Puts the concrete cursor back where it was before an insertion began.
  void restoreCursorAfterInsert();

  TDataSetState state_ = TDataSetState::dsInactive;
  TDataSetState stateWhenDisabled_ = TDataSetState::dsInactive;
  bool bof_ = true;
  bool eof_ = true;
  bool hasRecord_ = false;
  bool modified_ = false;
  bool appending_ = false;
  bool hadRecordBeforeInsert_ = false;
  int disableCount_ = 0;
  // Above 0 while a TScrollEventsOff lives.
  int quietScrolls_ = 0;
  bool destroying_ = false;
  std::vector<TFieldDef> fieldDefs_;
  std::vector<std::unique_ptr<TField>> fields_;
  std::vector<TDataSource*> dataSources_;
  char* currentBuffer_ = nullptr;
  char* scratchBuffer_ = nullptr;
  char* savedBuffer_ = nullptr;
  char* activeBuffer_ = nullptr;
};

// Makes a copy of a record buffer the active one while it lives, so that the fields read that
// record (a grid painting one row). Writing fields meanwhile raises kNotEditing.
// REQUIRES: the dataset is in dsBrowse and `copy` was made by this open dataset.
class TActiveRecord {
 public:
  TActiveRecord(TDataSet& dataSet, TRecordCopy& copy);
  ~TActiveRecord();
  TActiveRecord(const TActiveRecord&) = delete;
  TActiveRecord& operator=(const TActiveRecord&) = delete;

 private:
  TDataSet& dataSet_;
  // The copy that was active before, or nullptr when it was the current record's buffer.
  char* previous_;
};

// A walk (BeginScan ... EndScan) for the lifetime of the object.
class TDataSetScan {
 public:
  explicit TDataSetScan(TDataSet& dataSet) : dataSet_(dataSet) { dataSet_.BeginScan(); }
  // Raises endScan's failure unless another exception is on its way out.
  ~TDataSetScan() noexcept(false);
  TDataSetScan(const TDataSetScan&) = delete;
  TDataSetScan& operator=(const TDataSetScan&) = delete;

 private:
  TDataSet& dataSet_;
  common::ScopeEnd end_;
};

}  // namespace vekrano::dbase
