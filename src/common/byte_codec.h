// Integers and values inside byte buffers. The file formats (tables, indexes, archives) store
// their integers little-endian at fixed offsets; the result sets keep values in row records
// at any alignment, in the machine's own order.
#pragma once

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace vekrano::common {

// Little-endian unsigned integers at `at`, whatever the machine's order.
inline std::uint16_t getU16(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

inline std::uint32_t getU32(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24;
}

inline std::uint64_t getU64(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  return std::uint64_t{getU32(p)} | std::uint64_t{getU32(p + 4)} << 32;
}

// Eight bytes read big-endian: the first byte weighs most, so the numbers order as the bytes do.
inline std::uint64_t getU64BigEndian(const void* at) {
  const auto* p = static_cast<const std::uint8_t*>(at);
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value = value << 8 | p[i];
  return value;
}

inline void putU16(void* at, std::uint16_t value) {
  auto* p = static_cast<std::uint8_t*>(at);
  p[0] = static_cast<std::uint8_t>(value);
  p[1] = static_cast<std::uint8_t>(value >> 8);
}

inline void putU32(void* at, std::uint32_t value) {
  auto* p = static_cast<std::uint8_t*>(at);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void putU64(void* at, std::uint64_t value) {
  auto* p = static_cast<std::uint8_t*>(at);
  putU32(p, static_cast<std::uint32_t>(value));
  putU32(p + 4, static_cast<std::uint32_t>(value >> 32));
}

// Four bytes written big-endian, so that they compare in the order of their values.
inline void putU32BigEndian(void* at, std::uint32_t value) {
  auto* p = static_cast<std::uint8_t*>(at);
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
}

// A value of a trivially copyable type at `at`, which need not be aligned for it.
template <class T>
T load(const void* at) {
  static_assert(std::is_trivially_copyable_v<T>);
  T value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <class T>
void store(void* at, T value) {
  static_assert(std::is_trivially_copyable_v<T>);
  std::memcpy(at, &value, sizeof value);
}

}  // namespace vekrano::common
