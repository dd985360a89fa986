// The record table and the record list as the main window drives them at start and close.
// The operations do nothing until the table and the list fill them in.
#pragma once

#include <string>

namespace vekrano::app {

class RecordData {
 public:
  virtual ~RecordData() = default;
  // Sets the table's file name and opens it, creating the files when missing.
  virtual void openData(const std::string& tableFileName) { (void)tableFileName; }
  // Builds the list statement from the criteria and sort state and opens it.
  virtual void redisplayList() {}
  // Closes the list's and the statements' queries, then the table.
  virtual void closeData() {}
};

}  // namespace vekrano::app
