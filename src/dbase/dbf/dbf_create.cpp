// CreateDbf: a new empty table file from field definitions, and its memo file.
#include <filesystem>

#include "common/code_page.h"
#include "dbase/dbase_error.h"
#include "common/byte_codec.h"
#include "dbase/dbf_date.h"
#include "dbase/dbf/dbf_code_page.h"
#include "dbase/dbf/dbf_file.h"

namespace vekrano::dbase {
namespace {

bool isMemoType(char type) { return type == 'B' || type == 'G' || type == 'M' || type == 'P'; }

bool isBlankOrControl(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string trimmedName(const std::string& name) {
  std::size_t first = 0;
  std::size_t last = name.size();
  while (first < last && isBlankOrControl(name[first])) ++first;
  while (last > first && isBlankOrControl(name[last - 1])) --last;
  return common::ansiUpper(name.substr(first, std::min(last - first, kDbfNameMaxLength)));
}

// Writes descriptor `d` of `def`; returns its stored length, or 0 when the definition fails.
std::uint8_t writeDescriptor(std::uint8_t* d, const DbfFieldDef& def) {
  const char type = common::ansiUpper(def.type);
  const std::string name = trimmedName(def.name);
  std::uint8_t length = 0;
  switch (type) {
    case 'C':
    case 'F':
    case 'N': length = def.length; break;
    case 'D': length = 8; break;
    case 'L': length = 1; break;
    case 'M':
    case 'B':
    case 'G':
    case 'P': length = kDbfMemoFieldLength; break;
    default: return 0;
  }
  if (name.empty() || length == 0) return 0;
  std::copy(name.begin(), name.end(), d);
  d[kDbfTypeOffset] = static_cast<std::uint8_t>(type);
  d[kDbfLengthOffset] = length;
  d[kDbfDecimalsOffset] = type == 'N' || type == 'F' ? def.decimals : 0;
  return length;
}

bool createMemoFile(const std::string& tablePath) {
  const std::string memoPath = derivedFileName(tablePath, "DBT");
  std::uint8_t header[kMemoHeaderSize] = {};
  common::putU32(header + kMemoNextBlockOffset, 1);
  const std::string stem = std::filesystem::path(tablePath).stem().string();
  std::copy_n(stem.begin(), std::min(stem.size(), kMemoNameSize), header + kMemoNameOffset);
  common::putU16(header + kMemoMarkOffset, kMemoMark);
  common::putU16(header + kMemoBlockSizeOffset, kMemoBlockSize);
  File memo;
  int error = memo.create(memoPath, FileShare::Exclusive);
  if (error == 0) error = memo.writeAt(header, sizeof header, 0);
  if (error != 0) dbfError(error, "Cannot create memo file " + memoPath + " [CreateDbf()]");
  return error == 0;
}

}  // namespace

bool CreateDbf(const std::string& fileName, const std::vector<DbfFieldDef>& fields) {
  clearDbfError();
  const std::size_t headerLength = kDbfHeaderSize + kDbfDescriptorSize * fields.size() + 1;
  // The header, its terminator and the end-of-file marker of the empty table.
  std::vector<std::uint8_t> image(headerLength + 1, 0);
  bool valid = !fields.empty() && fields.size() <= kDbfMaxFields;
  bool memo = false;
  std::uint32_t recordLength = 1;
  for (std::size_t i = 0; valid && i < fields.size(); ++i) {
    const std::uint8_t length = writeDescriptor(image.data() + kDbfHeaderSize + kDbfDescriptorSize * i, fields[i]);
    valid = length != 0;
    recordLength += length;
    memo = memo || isMemoType(common::ansiUpper(fields[i].type));
  }
  if (!valid) {
    dbfError(kErrorInvalidFieldType, "Invalid dBASE field definition [CreateDBF]");
    return false;
  }
  const Date today = Today();
  image[kDbfVersionOffset] = memo ? kDbfVersionWithMemo : kDbfVersionPlain;
  image[kDbfDateYear] = static_cast<std::uint8_t>((today.year - 1900) % 256);
  image[kDbfDateMonth] = static_cast<std::uint8_t>(today.month);
  image[kDbfDateDay] = static_cast<std::uint8_t>(today.day);
  common::putU16(image.data() + kDbfHeaderLengthOffset, static_cast<std::uint16_t>(headerLength));
  common::putU16(image.data() + kDbfRecordLengthOffset, static_cast<std::uint16_t>(recordLength));
  // Declared, so that other programs read the characters in the code page they are stored in.
  image[kDbfLanguageOffset] = kLanguageCp850;
  image[headerLength - 1] = static_cast<std::uint8_t>(kDbfHeaderTerminator);
  image[headerLength] = static_cast<std::uint8_t>(kDbfEndOfFile);

  const std::string path = std::filesystem::absolute(WithDefaultExtension(fileName, "DBF")).string();
  File file;
  int error = file.create(path, FileShare::Exclusive);
  if (error == 0) error = file.writeAt(image.data(), image.size(), 0);
  if (error == 0) error = file.flush();
  if (error != 0) {
    dbfError(error, "Error writing " + path + ". [CreateDbf]");
    return false;
  }
  file.close();
  return !memo || createMemoFile(path);
}

}  // namespace vekrano::dbase
