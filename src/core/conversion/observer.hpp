#pragma once
// How a conversion reports to its front end: typed events in the order of the
// layer table, whatever the number of jobs, and the stop request. Every text
// is UTF-8 but for subfolder names, which pass through as the file system
// gives them.
#include <cstdint>
#include <iterator>
#include <span>
#include <string>
#include <string_view>

namespace pelmora {

// The checks passed and the layers are about to be converted.
struct RunStarted {
  uint64_t bytes_to_read = 0;  // the layers' input files over every area
  int layers = 0;
  int areas = 0;           // area subfolders holding an input file of a layer, as reached
  int coordsys_index = 0;  // the entry of the coordinate-system table written
};

struct LayerStarted {
  std::string_view base_name;  // the layer's output name, e.g. "Doro_Doro_Arc"
  std::string_view log_text;   // e.g. "道路線アークを変換します。"
};

// A layer begins an area's input file.
struct InputFileStarted {
  std::string_view base_name;  // the layer's
  std::string_view area;       // the subfolder's name
  std::string_view path;       // area + "/" + the file, as messages name it
  // Where the layer's features go, as the log names it ("Doro_Doro_Arc.shp",
  // "city.gpkg のレイヤー Doro_Doro_Arc"); empty: the layer's MIF file.
  std::string_view target = {};
};

// How far the run is: bytes of the layers' input files gone through.
struct RunProgress {
  uint64_t bytes_done = 0;
  uint64_t bytes_to_read = 0;
};

// What a warning is about; the command line counts warnings per kind.
enum class WarningKind {
  kMissingArc,         // a polygon references an arc the arc file lacks
  kMissingAttributes,  // a record's attribute lookup finds no line
  kMissingInputFile,   // an area lacks a layer's input file that others have
  kValueTooLong,       // a value longer than its column declares
  kAreaTwice,          // an area reached twice in one run
  kZoneMismatch,       // map-sheet files name another coordinate-system zone
  kRingNotClosed,      // a polygon ring that does not return to its start
  kEmptyObject,        // an object with too few vertices for any reader
  kOutputFormat,       // the output format could not take a value as it is
  kApproximate,        // a change of datum made without its grid, as asked
  kLeftoverFile,       // a killed run's file in the output folder that stays
};

// Every kind, in the order above.
inline constexpr WarningKind kWarningKinds[] = {
    WarningKind::kMissingArc,    WarningKind::kMissingAttributes, WarningKind::kMissingInputFile,
    WarningKind::kValueTooLong,  WarningKind::kAreaTwice,         WarningKind::kZoneMismatch,
    WarningKind::kRingNotClosed, WarningKind::kEmptyObject,       WarningKind::kOutputFormat,
    WarningKind::kApproximate,   WarningKind::kLeftoverFile,
};
static_assert(std::size(kWarningKinds) == static_cast<size_t>(WarningKind::kLeftoverFile) + 1,
              "every warning kind is listed, so that counts and reports name it");

// A kind's name for reports read by programs, e.g. "missing_arc" (ASCII,
// never changed once published).
std::string_view WarningKindKey(WarningKind kind);
// A kind's short description for people, e.g. "アーク ファイルにないアーク".
std::string_view WarningKindName(WarningKind kind);

// Something in the data that the run passed over or changed.
struct Warning {
  WarningKind kind = WarningKind::kMissingArc;
  std::string_view text;
  std::string_view file;  // as messages name it; empty when no file applies
  int line = 0;           // 1-based; 0 when no line applies
};

// A layer's files are in place.
struct LayerCommitted {
  std::string_view base_name;
  uint64_t features = 0;
  // The files put in place, named in the output folder (for a format that
  // writes one file for the run, that file); none for a writer of the
  // settings' own that keeps its features elsewhere.
  std::span<const std::string> files;
};

struct RunFinished {
  int layers = 0;  // committed
};

class ConversionObserver {
 public:
  virtual ~ConversionObserver() = default;

  virtual void OnRunStarted(const RunStarted&) {}
  virtual void OnLayerStarted(const LayerStarted&) {}
  virtual void OnInputFileStarted(const InputFileStarted&) {}
  virtual void OnProgress(const RunProgress&) {}
  virtual void OnWarning(const Warning&) {}
  virtual void OnLayerCommitted(const LayerCommitted&) {}
  virtual void OnRunFinished(const RunFinished&) {}

  // Asked between records; returning true stops the run with a
  // ConversionCancelled error, leaving no partial file set behind.
  virtual bool StopRequested() { return false; }
};

// The log lines of the events, as the window's log pane and the command line
// show them.
std::string LogLine(const LayerStarted& event);
std::string LogLine(const InputFileStarted& event);
// A warning as a line of text: "警告: <text> (<file> <line>行目)".
std::string LogLine(const Warning& event);

// An observer that takes the log as lines of text.
class LogLineObserver : public ConversionObserver {
 public:
  virtual void OnLog(std::string_view line) = 0;

  void OnLayerStarted(const LayerStarted& event) override { OnLog(LogLine(event)); }
  void OnInputFileStarted(const InputFileStarted& event) override { OnLog(LogLine(event)); }
};

}  // namespace pelmora
