// Facts worked out from a table's files (its index agrees with it, the largest number of a field),
// kept across processes in the user's cache folder and trusted only for the very files they were
// worked out from: same device, inode, size, and modification and change times to the nanosecond.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace vekrano::dbase {

// Which file stood at a path and when it last changed. Any write by any program, and any change
// of its times, sets the change time, which no program can set back.
struct FileStanding {
  bool exists = false;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::int64_t size = 0;
  std::int64_t modifiedNs = 0;  // since the epoch
  std::int64_t changedNs = 0;
  friend bool operator==(const FileStanding&, const FileStanding&) = default;
};

// A table file and its index file as they stand.
struct TableFilesStanding {
  FileStanding table;
  FileStanding index;
  friend bool operator==(const TableFilesStanding&, const TableFilesStanding&) = default;
};

TableFilesStanding filesStandingOf(const std::string& tableFile, const std::string& indexFile);

// The time now, in nanoseconds since the epoch, as file times count it.
std::int64_t wallClockNs();

// True when the table file exists and no file of `standing` changed within the last two seconds
// before `nowNs`. A file system stamps times with a coarse tick: a file written again within the
// tick of its last write would keep the same times, so facts about younger files are not kept.
bool settled(const TableFilesStanding& standing, std::int64_t nowNs);

// Fact name -> value.
using KeptFacts = std::map<std::string, std::string>;

// The folder facts are kept in: $XDG_CACHE_HOME/vekrano, else $HOME/.cache/vekrano; empty when
// neither variable names an absolute folder.
std::string keptFactsFolder();

// The file the facts about the table of `standing` are kept in (named from the table file's
// device and inode); empty without a cache folder.
std::string keptFactsFile(const TableFilesStanding& standing);

// The facts kept for exactly the files of `standing`. Empty when none are: no cache folder, no
// kept file, a kept file damaged, foreign or not the user's own, or kept for files since changed.
KeptFacts loadKeptFacts(const TableFilesStanding& standing);

// Adds `facts` to those kept for the files of `standing`; facts kept for another state of the
// same table file are dropped. Written to a fresh file renamed into place, so that a reader sees
// the old facts or the new ones. A cache folder that cannot be made or written keeps nothing and
// reports nothing: a kept fact only saves work.
void keepFacts(const TableFilesStanding& standing, const KeptFacts& facts);

}  // namespace vekrano::dbase
