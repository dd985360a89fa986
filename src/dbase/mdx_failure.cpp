#include "dbase/mdx_failure.h"

#include <map>

namespace vekrano::dbase {

namespace {

std::string codeText(int code) {
  static const std::map<int, std::string> texts = {
      {2, "File not found"},           {5, "File access denied"},
      {32, "File sharing violation"},  {212, "Request beyond range"},
      {217, "Insufficient memory"},    {220, "Invalid parameter"},
      {221, "Index file not open"},    {222, "Corrupted index file"},
      {225, "Exclusive Use() required"}, {227, "Insufficient disk space "},
      {254, "Dorev internal error"},   {266, "Invalid size"},
      {1202, "Semaphore file error. Possible solutions: log into network or load SHARE.EXE before running Windows"}};
  auto it = texts.find(code);
  return it == texts.end() ? "Undefined error" : it->second;
}

}  // namespace

MdxFailure::MdxFailure(int code, const std::string& detail)
    : common::Exception("Error # " + std::to_string(code) + " (" + codeText(code) + ")\r\n" + detail),
      code_(code),
      detail_(detail) {}

}  // namespace vekrano::dbase
