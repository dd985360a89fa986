#include "dbase/mdx/mdx_format.h"

#include <algorithm>
#include <cstring>
#include <ctime>

#include "common/byte_codec.h"

namespace vekrano::dbase {

namespace {

void putText(std::uint8_t* at, const std::string& text) {
  std::memcpy(at, text.data(), std::min(text.size(), kExpressionSize - 1));
}

std::string getText(const std::uint8_t* at) {
  const auto* end = std::find(at, at + kExpressionSize, std::uint8_t{0});
  return std::string(at, end);
}

}  // namespace

Anchor encodeTagHeader(const TagHeader& header) {
  Anchor a{};
  common::putU32(&a[kTagRoot], header.root);
  a[kTagFlags] = static_cast<std::uint8_t>(kFlagAlways | (header.descending ? kFlagDescending : 0) |
                                           (header.unique ? kFlagUnique : 0));
  a[kTagKeyType] = static_cast<std::uint8_t>(header.keyType);
  common::putU16(&a[kTagKeyLength], static_cast<std::uint16_t>(header.keyLength));
  common::putU16(&a[kTagMaxKeys], static_cast<std::uint16_t>(header.maxKeys()));
  common::putU16(&a[kTagDateFlag], header.keyType == 'D' ? 1 : 0);
  common::putU16(&a[kTagItemLength], static_cast<std::uint16_t>(header.itemLength()));
  a[kTagUnique] = header.unique ? 1 : 0;
  putText(&a[kTagExpression], header.expression);
  if (!header.condition.empty()) {
    a[kTagHasCondition] = 1;
    putText(&a[kTagCondition], header.condition);
  }
  return a;
}

TagHeader decodeTagHeader(const Anchor& a) {
  TagHeader header;
  header.root = common::getU32(&a[kTagRoot]);
  header.keyType = static_cast<char>(a[kTagKeyType]);
  header.keyLength = common::getU16(&a[kTagKeyLength]);
  header.descending = (a[kTagFlags] & kFlagDescending) != 0;
  header.unique = (a[kTagFlags] & kFlagUnique) != 0 || a[kTagUnique] != 0;
  header.expression = getText(&a[kTagExpression]);
  if (a[kTagHasCondition] == 1) header.condition = getText(&a[kTagCondition]);
  return header;
}

HeaderDate today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return {static_cast<std::uint8_t>(local.tm_year), static_cast<std::uint8_t>(local.tm_mon + 1),
          static_cast<std::uint8_t>(local.tm_mday)};
}

std::string encodeEmptyHeaderArea(std::string_view tableName, HeaderDate date) {
  std::string bytes(kHeaderAreaSize, '\0');
  auto* h = reinterpret_cast<std::uint8_t*>(bytes.data());
  h[kHdrVersion] = kVersion;
  h[kHdrCreated] = date.year;
  h[kHdrCreated + 1] = date.month;
  h[kHdrCreated + 2] = date.day;
  std::memcpy(h + kHdrTableName, tableName.data(), std::min(tableName.size(), kHdrTableNameSize));
  common::putU16(h + kHdrBlockUnits, kBlockUnits);
  common::putU16(h + kHdrBlockBytes, kBlockSize);
  h[kHdrProduction] = 1;
  common::putU32(h + kHdrBlockCounter, blockCounterOf(kHeaderAreaSize));
  h[kHdrEntryCount] = kMaxTags + 1;
  h[kHdrEntryLength] = kTagEntrySize;
  h[kHdrUpdated] = date.year;
  h[kHdrUpdated + 1] = date.month;
  h[kHdrUpdated + 2] = date.day;
  return bytes;
}

}  // namespace vekrano::dbase
