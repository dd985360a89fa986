// Statements that fill the record table for tests that drive vekrano-sql.
#pragma once

#include <string>

namespace vekrano::testing {

// Barcodes in a scattered order, so that inserts split index leaves all over the tree.
inline std::string scatteredBarcode(int i) { return "S" + std::to_string(100000 + (i * 7919) % 99991); }

// The INSERT of a record with number `num` and barcode `cb`, one label, not on top.
inline std::string articleInsert(int num, const std::string& cb) {
  return "INSERT INTO article (num,cb,lib1,lib2,quantite,topp) VALUES (" + std::to_string(num) + ",\"" + cb +
         "\",\"\",\"\",1,\"N\")\n";
}

}  // namespace vekrano::testing
