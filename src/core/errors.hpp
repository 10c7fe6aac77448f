#pragma once
// Errors that end a conversion run. Every message is UTF-8 text for a person
// to read; texts quoted from the map data were decoded from code page 932 when
// the error was made. The message never carries the final "." that the front
// ends add (see WithFinalPeriod).
#include <stdexcept>
#include <string>

namespace pelmora {

class ConversionError : public std::runtime_error {
 public:
  explicit ConversionError(const std::string& message) : std::runtime_error(message) {}

  // Where the fault lies: an input file relative to its map-data folder, as
  // the log line shows it, and the 1-based line number (0 when no line
  // applies); for a map-data folder its path, for an output file its name.
  const std::string& file() const { return file_; }
  int line() const { return line_; }
  bool HasPlace() const { return !file_.empty(); }
  void SetPlace(std::string file, int line) {
    file_ = std::move(file);
    line_ = line;
  }

 private:
  std::string file_;
  int line_ = 0;
};

// The map data holds something the converter cannot take: a field that is no
// number, a count that runs past the end of the file, a negative arc length.
class DataError : public ConversionError {
 public:
  using ConversionError::ConversionError;
};

// The run was told to treat its first warning, at file and line, as an error.
DataError StrictWarningError(const std::string& file, int line);

// An input file that cannot be opened or read.
class FileOpenError : public ConversionError {
 public:
  using ConversionError::ConversionError;
};

// A failure of the operating system while listing folders or writing output.
class IoError : public ConversionError {
 public:
  IoError(const std::string& message, int code) : ConversionError(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

// The front end asked the run to stop (ConversionObserver::StopRequested).
class ConversionCancelled : public ConversionError {
 public:
  ConversionCancelled() : ConversionError("変換が中断されました") {}
};

// The system's own text for an operating-system error code.
std::string SystemErrorText(int code);

// The message as the user sees it: a "." is appended when the last character
// sorts after "." in byte order (so Japanese endings get one, ")" does not).
std::string WithFinalPeriod(const std::string& message);

// The message as the user sees it, followed by a second line naming the file
// and line of the fault when the error knows them.
std::string DescribeError(const ConversionError& error);

}  // namespace pelmora
