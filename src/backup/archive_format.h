// The byte layout of a backup archive, drawn once; the writer and the reader use these names
// and never a bare number.
//
// All integers are 32-bit signed, little-endian. A text is its length followed by its bytes
// (Windows-1252, no terminator).
//
// Archive, first volume:
//   SIZE    DESCRIPTION
//   4       title length T
//   T       title (BackupTitle)
//   4       total size: bytes of all files to save, plus the file ID list's length
//   4       file count: files found, the file ID list not counted
//   ...     file entries
//   4       0 in place of a name length: end of the archive
//
// File entry:
//   SIZE    DESCRIPTION
//   4       name length N (>= 1)
//   N       name: lower-case full path, "FILE:LIST", or "NEXT:DISK" + 3 digits
//   4       last-write date and time, DOS format          (absent after "NEXT:DISK")
//   ...     data section                                   (absent after "NEXT:DISK")
//
// Data section:
//   SIZE    DESCRIPTION
//   4       marker "EC2" and a zero byte
//   4       n: > 0, one zlib stream of n bytes follows, inflating to at most 16 384 bytes;
//              < 0, -n bytes follow stored as they are; 0, end of the section
//   |n|     the block; every block but a file's last holds exactly 16 384 bytes of data
//   ...     further blocks, up to n = 0
//
// A "NEXT:DISK" entry ends a volume in the middle of a file; the next volume (the archive's
// name with the extension ".002", ".003", ...) starts straight with a data section that goes on
// with the same file.
#pragma once

#include <cstdint>
#include <string_view>

namespace vekrano::backup {

// File data per block, and the size of each of the two buffers data passes through.
inline constexpr int kBlockSize = 16384;
// A volume takes no further block once it holds MaxSize - kVolumeReserve bytes or more.
inline constexpr std::int64_t kVolumeReserve = 100 + kBlockSize;

inline constexpr std::size_t kIntegerSize = 4;
inline constexpr std::string_view kSectionMarker{"EC2\0", 4};
inline constexpr std::string_view kFileListName = "FILE:LIST";
inline constexpr std::string_view kNextDiskPrefix = "NEXT:DISK";
// "NEXT:DISK" and three digits.
inline constexpr std::size_t kNextDiskNameLength = 12;
inline constexpr int kFirstVolume = 1;
inline constexpr int kLastVolume = 999;

// A longer stored name is taken for damage rather than read into memory.
inline constexpr std::int32_t kMaxNameLength = 4096;

// The archive name that selects the component's in-memory archive.
inline constexpr std::string_view kStreamArchiveName = ":STREAM";

}  // namespace vekrano::backup
