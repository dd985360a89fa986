#include "records/restored_table_check.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

#include "common/exception.h"
#include "records/article_table.h"

namespace vekrano::records {
namespace {

constexpr std::size_t kHeaderStart = 12;  // version, date, record count, header and record length

std::uint32_t littleEndian(const std::array<unsigned char, kHeaderStart>& bytes, std::size_t at, int size) {
  std::uint32_t value = 0;
  for (int k = size - 1; k >= 0; --k) value = value << 8 | bytes[at + static_cast<std::size_t>(k)];
  return value;
}

// Throws unless the header describes the file's size.
void checkHeader(const std::filesystem::path& path) {
  std::array<unsigned char, kHeaderStart> header{};
  std::ifstream file(path, std::ios::binary);
  if (!file.read(reinterpret_cast<char*>(header.data()), header.size())) {
    throw common::Exception("Not a dBASE data file: " + path.string());
  }
  const std::uint64_t records = littleEndian(header, 4, 4);
  const std::uint64_t headerLength = littleEndian(header, 8, 2);
  const std::uint64_t recordLength = littleEndian(header, 10, 2);
  std::error_code error;
  const std::uint64_t size = std::filesystem::file_size(path, error);
  const std::uint64_t expected = headerLength + records * recordLength;
  if (error || headerLength < 32 || recordLength == 0 || (size != expected && size != expected + 1)) {
    throw common::Exception("The table's size does not match its header (" + std::to_string(records) +
                            " records): " + path.string());
  }
}

}  // namespace

void checkRestoredTable(const std::string& folder) {
  const std::filesystem::path path = std::filesystem::path(folder) / "article.dbf";
  checkHeader(path);
  dbase::TTzDbf table("restored");
  configureArticleTable(table, folder);
  table.Open();
  table.Close();
}

}  // namespace vekrano::records
