// The byte layouts of a dBase table file (.dbf) and of its memo file (.dbt), each drawn once,
// with the constants every reader and writer of these files uses. Integers are little-endian.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vekrano::dbase {

// Standard header (dBase III/IV), 32 bytes:
//   OFFSET  SIZE  CONTENT
//      0      1   Version byte (kDbfVersion...), bit 7 set when the table has a memo file
//      1      3   Last update: year - 1900, month, day
//      4      4   Record count, deleted records included
//      8      2   Header length (offset of the first record)
//     10      2   Record length, deletion flag included
//     12      4   Reserved
//     16     12   Reserved; kept as found on disk when the header is rewritten
//     28      1   Production index flag (1: an index of the same name belongs to the table)
//     29      1   Language byte: the code page of the character data (dbf_code_page.h);
//                 written kLanguageCp850
//     30      2   Reserved
//     32    32n   Field descriptors, then kDbfHeaderTerminator; records follow, then
//                 kDbfEndOfFile ends the file.
inline constexpr std::size_t kDbfVersionOffset = 0;
inline constexpr std::size_t kDbfDateOffset = 1;
inline constexpr std::size_t kDbfDateYear = kDbfDateOffset;
inline constexpr std::size_t kDbfDateMonth = kDbfDateOffset + 1;
inline constexpr std::size_t kDbfDateDay = kDbfDateOffset + 2;
inline constexpr std::size_t kDbfCountOffset = 4;
inline constexpr std::size_t kDbfHeaderLengthOffset = 8;
inline constexpr std::size_t kDbfRecordLengthOffset = 10;
inline constexpr std::size_t kDbfPreservedOffset = 16;
inline constexpr std::size_t kDbfPreservedSize = 12;
inline constexpr std::size_t kDbfIndexFlagOffset = 28;
inline constexpr std::size_t kDbfLanguageOffset = 29;
inline constexpr std::size_t kDbfHeaderSize = 32;

// Field descriptor of the standard layout, 32 bytes:
//   OFFSET  SIZE  CONTENT
//      0     11   Name, upper case, 0x00-padded (at most 10 characters are written, 11 are read)
//     11      1   Type letter: C, D, F, L, M or N (B, G and P are read as M)
//     12      4   Reserved
//     16      1   Length
//     17      1   Decimals (N and F only)
//     18     14   Reserved
inline constexpr std::size_t kDbfNameSize = 11;
inline constexpr std::size_t kDbfNameMaxLength = 10;
inline constexpr std::size_t kDbfTypeOffset = 11;
inline constexpr std::size_t kDbfLengthOffset = 16;
inline constexpr std::size_t kDbfDecimalsOffset = 17;
inline constexpr std::size_t kDbfDescriptorSize = 32;
inline constexpr std::size_t kDbfMaxFields = 255;

// Level-7 layout: the standard header, 36 more header bytes (not interpreted), then 48-byte
// descriptors; the field count is (header length - 68) div 48:
//   OFFSET  SIZE  CONTENT
//      0     32   Name, 0x00-padded
//     32      1   Type letter
//     33      1   Length
//     34      1   Decimals
//     35     13   Not interpreted
inline constexpr std::size_t kLevel7DescriptorStart = 68;
inline constexpr std::size_t kLevel7DescriptorSize = 48;
inline constexpr std::size_t kLevel7NameSize = 32;
inline constexpr std::size_t kLevel7TypeOffset = 32;
inline constexpr std::size_t kLevel7LengthOffset = 33;
inline constexpr std::size_t kLevel7DecimalsOffset = 34;

// dBase II layout, a 521-byte header:
//   OFFSET  SIZE  CONTENT
//      0      1   Version byte (kDbfVersionDBase2)
//      1      2   Record count
//      3      3   Last update: month, day, year - 1900
//      6      2   Record length
//      8    16n   Up to 32 descriptors (below); kDbfHeaderTerminator ends the list
// The first 8 bytes (the prolog) are all that is rewritten. Descriptor, 16 bytes:
//   OFFSET  SIZE  CONTENT
//      0     11   Name, 0x00-padded
//     11      1   Type letter
//     12      1   Length
//     13      2   Not interpreted
//     15      1   Decimals
inline constexpr std::size_t kDBase2CountOffset = 1;
inline constexpr std::size_t kDBase2DateOffset = 3;  // month, day, year - 1900
inline constexpr std::size_t kDBase2DateMonth = kDBase2DateOffset;
inline constexpr std::size_t kDBase2DateDay = kDBase2DateOffset + 1;
inline constexpr std::size_t kDBase2DateYear = kDBase2DateOffset + 2;
inline constexpr std::size_t kDBase2RecordLengthOffset = 6;
inline constexpr std::size_t kDBase2PrologSize = 8;
inline constexpr std::size_t kDBase2DescriptorStart = 8;
inline constexpr std::size_t kDBase2DescriptorSize = 16;
inline constexpr std::size_t kDBase2MaxFields = 32;
inline constexpr std::size_t kDBase2LengthOffset = 12;
inline constexpr std::size_t kDBase2DecimalsOffset = 15;
inline constexpr std::size_t kDBase2HeaderSize = 521;

// Version bytes: those written (kDbfVersionPlain, kDbfVersionWithMemo) and those accepted.
inline constexpr std::uint8_t kDbfVersionPlain = 0x03;
inline constexpr std::uint8_t kDbfVersionDBase3WithMemo = 0x83;
inline constexpr std::uint8_t kDbfVersionWithMemo = 0x8B;
inline constexpr std::uint8_t kDbfVersionFptMemo = 0xF5;
inline constexpr std::uint8_t kDbfVersionLevel7 = 0x04;
inline constexpr std::uint8_t kDbfVersionLevel7WithMemo = 0x8C;
inline constexpr std::uint8_t kDbfVersionDBase2 = 0x02;
inline constexpr std::uint8_t kDbfMemoBit = 0x80;

inline constexpr char kDbfHeaderTerminator = 0x0D;
inline constexpr char kDbfEndOfFile = 0x1A;
// Byte 0 of every record: the deletion flag.
inline constexpr char kRecordLive = ' ';
inline constexpr char kRecordDeleted = '*';
// Stored length of a memo field: the block number as text.
inline constexpr std::uint8_t kDbfMemoFieldLength = 10;

// Memo file header, block 0 (24 bytes are written; the rest of the block is not):
//   OFFSET  SIZE  CONTENT
//      0      4   Next free block number (1 when new)
//      4      4   Reserved
//      8      8   Table name without extension, 0x00-padded
//     16      2   Reserved
//     18      2   kMemoMark
//     20      2   Block size in bytes (kMemoBlockSize when new; 0 is read as kMemoBlockSize)
//     22      2   Reserved
// A memo text in block n starts at n * block size:
//      0      4   kMemoTextMark
//      4      4   Length of the text plus these 8 bytes
//      8      -   The text
inline constexpr std::size_t kMemoNextBlockOffset = 0;
inline constexpr std::size_t kMemoNameOffset = 8;
inline constexpr std::size_t kMemoNameSize = 8;
inline constexpr std::size_t kMemoMarkOffset = 18;
inline constexpr std::size_t kMemoBlockSizeOffset = 20;
inline constexpr std::size_t kMemoHeaderSize = 24;
inline constexpr std::uint16_t kMemoMark = 0x0102;
inline constexpr std::uint16_t kMemoBlockSize = 512;
inline constexpr std::array<std::uint8_t, 4> kMemoTextMark = {0xFF, 0xFF, 0x08, 0x00};
inline constexpr std::size_t kMemoTextHeaderSize = 8;

}  // namespace vekrano::dbase
