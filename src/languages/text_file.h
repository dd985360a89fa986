// The text reader: a text file read line by line with blank lines skipped, each line split into
// fields at a separator character. The language file and the CSV import read through it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/exception.h"

namespace vekrano::languages {

// Every failure of the text reader. Texts are ANSI, exactly as the reader words them.
class ETextFileError : public common::Exception {
 public:
  using common::Exception::Exception;
};

// The input/output errors a read can end with, by their run-time error numbers.
enum class TextReadError { FileNotOpen = 103, FileNotOpenForInput = 104, InvalidFormat = 106, Other };

// The three message forms of the reader.
std::string couldNotOpenMessage(const std::string& path);
std::string noFileSelectedMessage();
std::string readErrorMessage(const std::string& path, TextReadError error);

class TTextFile {
 public:
  // `separator` splits a line into fields; no quote character is recognised.
  explicit TTextFile(char separator);

  // Reads the whole file and makes its first non-blank line current. The content is decoded as
  // UTF-8 when it is valid UTF-8 (a leading byte-order mark skipped), else taken as
  // Windows-1252; lines are held as Windows-1252. A line ends at CR, LF or CR LF.
  // Throws ETextFileError when the file cannot be opened or read.
  void Open(const std::string& path);
  void Close();
  bool isOpen() const { return open_; }
  const std::string& FileName() const { return path_; }

  // True when no non-blank line is current. REQUIRES an open file, else throws ETextFileError.
  bool Eof() const;
  // Makes the following non-blank line current; does nothing at the end.
  // REQUIRES an open file, else throws ETextFileError.
  void nextLine();
  // The current line; empty at the end. REQUIRES an open file, else throws ETextFileError.
  const std::string& Line() const;
  // Field k (from 1) of the current line: the text between the (k-1)-th and k-th separators,
  // untrimmed; empty when the line has fewer fields or at the end.
  std::string Field(int k) const;

 private:
  void requireOpen() const;
  void skipBlankLines();

  char separator_;
  bool open_ = false;
  std::string path_;
  std::vector<std::string> lines_;
  std::size_t current_ = 0;
};

// The whole content of the file at `path` decoded as TTextFile::Open decodes it, as
// Windows-1252. Throws ETextFileError when the file cannot be opened or read.
std::string readAnsiText(const std::string& path);
// The same content as UTF-8, every character kept: for text that goes on to the best-fit
// conversion of the record table rather than to the interface.
std::string readUtf8Text(const std::string& path);

// Field k (from 1) of `line` split at `separator`; empty when the line has fewer fields.
std::string fieldOf(const std::string& line, char separator, int k);

}  // namespace vekrano::languages
