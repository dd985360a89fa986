// The fields of the record table `article`, named once: their order is that of the file, of the
// list's result and of the grid's columns.
#pragma once

namespace vekrano::records {

inline constexpr const char* kNumField = "num";
inline constexpr const char* kCbField = "cb";
inline constexpr const char* kLib1Field = "lib1";
inline constexpr const char* kLib2Field = "lib2";
inline constexpr const char* kQuantiteField = "quantite";
inline constexpr const char* kToppField = "topp";

inline constexpr int kFieldCount = 6;
inline constexpr const char* kFieldNames[kFieldCount] = {kNumField,  kCbField,       kLib1Field,
                                                         kLib2Field, kQuantiteField, kToppField};

// The positions of the fields, which are also the grid's columns.
enum FieldIndex : int { kNumIndex, kCbIndex, kLib1Index, kLib2Index, kQuantiteIndex, kToppIndex };

// The two values of the top flag `topp` as stored.
inline constexpr const char* kTopped = "O";
inline constexpr const char* kNotTopped = "N";

}  // namespace vekrano::records
