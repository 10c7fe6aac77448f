#pragma once
// How a conversion reports to its front end: the log lines (exactly those of
// the window's log pane) and the progress through the current input file.
#include <string_view>

namespace pelmora {

class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;

  // One line of the log, UTF-8 text (subfolder names pass through as the file
  // system gives them).
  virtual void OnLog(std::string_view line) { (void)line; }

  // A new input file: position 0, the given maximum (its number of lines - 1).
  virtual void OnProgressRange(int maximum) { (void)maximum; }

  // The 0-based index of the header or record line now taken up.
  virtual void OnProgress(int position) { (void)position; }

  // Asked between records; returning true stops the run with a
  // ConversionCancelled error, leaving no partial pair behind.
  virtual bool StopRequested() { return false; }
};

}  // namespace pelmora
