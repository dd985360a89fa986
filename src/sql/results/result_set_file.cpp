// The mapped temporary file of result sets and sort lists.
#include "sql/results/result_set_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "sql/errors.h"
#include "sql/query_messages.h"

namespace vekrano::sql {
namespace {

std::string temporaryDirectory() {
  const char* dir = std::getenv("TMPDIR");
  return dir != nullptr && *dir != '\0' ? dir : "/tmp";
}

}  // namespace

TMemMapFile::TMemMapFile(std::size_t capacity) : capacity_(capacity) {
  std::string pattern = temporaryDirectory() + "/~sqXXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) throw ESqlQueryError(messages::kOpenFileFailed);
  fileName_ = name.data();
  if (::ftruncate(fd_, static_cast<off_t>(capacity)) != 0) {
    ::close(fd_);
    ::unlink(fileName_.c_str());
    throw ESqlQueryError(messages::kMappingFailed);
  }
  void* view = capacity == 0 ? MAP_FAILED : ::mmap(nullptr, capacity, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (view == MAP_FAILED) {
    ::close(fd_);
    ::unlink(fileName_.c_str());
    throw ESqlQueryError(messages::kMapViewFailed);
  }
  view_ = static_cast<char*>(view);
}

TMemMapFile::~TMemMapFile() {
  ::munmap(view_, capacity_);
  ::close(fd_);
  ::unlink(fileName_.c_str());
}

void TMemMapFile::checkCapacity(std::size_t size) const {
  if (position_ > capacity_ || size > capacity_ - position_) {
    throw ESqlQueryError(common::formatText(messages::kCapacityExceeded, {std::to_string(capacity_)}));
  }
}

void TMemMapFile::Read(void* data, std::size_t size) {
  if (position_ > capacity_ || size > capacity_ - position_) {
    throw ESqlQueryError(messages::kPositionBeyondEof);
  }
  std::memcpy(data, view_ + position_, size);
  position_ += size;
}

char* TMemMapFile::Append(std::size_t size) {
  position_ = endOfData_;
  checkCapacity(size);
  char* record = view_ + position_;
  std::memset(record, 0, size);
  position_ += size;
  endOfData_ = position_;
  return record;
}

}  // namespace vekrano::sql
