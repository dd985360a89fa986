// The byte codec of the file formats: little-endian whatever the machine, at any offset.
#include "common/byte_codec.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace vekrano::common {
namespace {

TEST(ByteCodec, IntegersAreLittleEndianAtAnyOffset) {
  std::array<std::uint8_t, 9> bytes{};
  putU16(bytes.data() + 1, 0xE105);
  putU32(bytes.data() + 3, 0x40000001);
  EXPECT_EQ(bytes, (std::array<std::uint8_t, 9>{0, 0x05, 0xE1, 0x01, 0, 0, 0x40, 0, 0}));
  EXPECT_EQ(getU16(bytes.data() + 1), 0xE105);
  EXPECT_EQ(getU32(bytes.data() + 3), 0x40000001u);
  // High bytes must not be read as signed characters.
  const std::array<std::uint8_t, 4> high = {0xFF, 0xFE, 0x80, 0xF0};
  EXPECT_EQ(getU16(high.data()), 0xFEFF);
  EXPECT_EQ(getU32(high.data()), 0xF080FEFFu);
  // A negative archive integer goes through as its two's-complement bits.
  putU32(bytes.data(), static_cast<std::uint32_t>(std::int32_t{-2}));
  EXPECT_EQ(static_cast<std::int32_t>(getU32(bytes.data())), -2);
}

TEST(ByteCodec, ValuesSurviveUnalignedStoreAndLoad) {
  char row[19] = {};
  store(row + 1, 1234.5);
  store<std::int32_t>(row + 9, -99999);
  store<std::int16_t>(row + 13, -1);
  store<std::uint16_t>(row + 15, 0xFFFF);
  EXPECT_EQ(load<double>(row + 1), 1234.5);
  EXPECT_EQ(load<std::int32_t>(row + 9), -99999);
  EXPECT_EQ(load<std::int16_t>(row + 13), -1);
  EXPECT_EQ(load<std::uint16_t>(row + 15), 0xFFFF);
  EXPECT_EQ(row[0], 0);
  EXPECT_EQ(row[17], 0);
}

}  // namespace
}  // namespace vekrano::common
