#include "dbase/mdx/mdx_keys.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "common/byte_codec.h"

namespace vekrano::dbase {

namespace {

constexpr int kExponentBias = 0x34;
constexpr int kMaxDigits = 20;
constexpr std::uint8_t kNegativeBit = 0x80;

std::string formatFixed(double value, int decimals) {
  char buffer[400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (result.ec != std::errc()) return "0";
  return std::string(buffer, result.ptr);
}

int digitCountOf(const std::uint8_t* key) { return (key[1] >> 2) & 0x1F; }

}  // namespace

std::string packNumber(double value, int decimals) {
  std::string key(kNumericKeyLength, '\0');
  auto* k = reinterpret_cast<std::uint8_t*>(key.data());
  decimals = std::clamp(decimals, 0, 18);
  if (!std::isfinite(value)) value = 0;
  std::string text = formatFixed(value, decimals);
  bool negative = text.front() == '-';
  if (negative) text.erase(0, 1);
  std::size_t point = text.find('.');
  std::string integer = text.substr(0, point);
  std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
  std::string all = integer + fraction;
  std::size_t first = all.find_first_not_of('0');
  if (first == std::string::npos) {
    k[0] = kExponentBias;
    k[1] = 0x01;
    return key;
  }
  int integerDigits = static_cast<int>(integer.size()) - static_cast<int>(std::min(first, integer.size()));
  int exponent =
      integerDigits > 0 ? kExponentBias + integerDigits : kExponentBias - static_cast<int>(first - integer.size());
  std::string stored = all.substr(first, kMaxDigits);
  int storedCount = static_cast<int>(stored.size());
  int textTrailingZeros = static_cast<int>(text.size() - 1 - text.find_last_not_of('0'));
  int count;
  if (point != std::string::npos && textTrailingZeros < decimals) {
    count = storedCount;
  } else {
    int significant = static_cast<int>(stored.find_last_not_of('0')) + 1;
    count = std::min(std::max(significant, 10), kMaxDigits);
  }
  k[0] = static_cast<std::uint8_t>(exponent);
  k[1] = static_cast<std::uint8_t>((negative ? kNegativeBit : 0) | count << 2 | 1);
  for (int i = 0; i < storedCount; ++i) {
    auto digit = static_cast<std::uint8_t>(stored[i] - '0');
    k[2 + i / 2] |= static_cast<std::uint8_t>(i % 2 == 0 ? digit << 4 : digit);
  }
  return key;
}

std::string dateKey(double julianDay) {
  std::string key(kDateKeyLength, '\0');
  common::putU64(key.data(), std::bit_cast<std::uint64_t>(julianDay));
  return key;
}

namespace {

double dateOf(std::string_view key) {
  char bytes[kDateKeyLength] = {};  // a shorter key reads as if 0-padded
  key.copy(bytes, sizeof bytes);
  return std::bit_cast<double>(common::getU64(bytes));
}

int compareBytes(std::string_view a, std::string_view b, std::size_t length) {
  int c = std::memcmp(a.data(), b.data(), length);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int compareNumbers(std::string_view as, std::string_view bs) {
  if (as.size() < kNumericKeyLength || bs.size() < kNumericKeyLength)
    return compareBytes(as, bs, std::min(as.size(), bs.size()));
  const auto* a = reinterpret_cast<const std::uint8_t*>(as.data());
  const auto* b = reinterpret_cast<const std::uint8_t*>(bs.data());
  bool aNegative = (a[1] & kNegativeBit) != 0;
  bool bNegative = (b[1] & kNegativeBit) != 0;
  if (aNegative != bNegative) return aNegative ? -1 : 1;
  int aCount = digitCountOf(a), bCount = digitCountOf(b);
  int aExponent = aCount == 0 ? 0 : a[0];
  int bExponent = bCount == 0 ? 0 : b[0];
  int sign = aNegative ? -1 : 1;
  if (aExponent != bExponent) return aExponent < bExponent ? -sign : sign;
  std::size_t bytes = std::min<std::size_t>((std::max(aCount, bCount) + 1) / 2, kNumericKeyLength - 2);
  return sign * compareBytes(as.substr(2), bs.substr(2), bytes);
}

}  // namespace

int KeyOrder::compare(std::string_view a, std::string_view b) const {
  if (descending) std::swap(a, b);
  switch (type) {
    case 'N':
    case 'F': return compareNumbers(a, b);
    case 'D': {
      double x = dateOf(a), y = dateOf(b);
      return x < y ? -1 : x > y ? 1 : 0;
    }
    default: return compareBytes(a, b, std::min(a.size(), b.size()));
  }
}

}  // namespace vekrano::dbase
