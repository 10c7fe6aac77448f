// pelmora-convert: converts Digital Map 2500 folders into MIF/MID files.
// Exit status: 0 done, 1 data or disk error, 2 usage or settings, 130/143/129
// stopped by SIGINT/SIGTERM/SIGHUP.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>

#include "console_observer.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/conversion/run.hpp"
#include "core/mif/coordsys.hpp"
#include "options.hpp"
#include "report_file.hpp"
#include "run_record.hpp"
#ifdef PELMORA_WITH_GDAL
#include "gdal/gdal_module_loader.hpp"
#endif

namespace {

int ListCoordSys() {
  auto table = pelmora::CoordSysTable();
  for (int i = 0; i < pelmora::kCoordSysCount; ++i)
    std::cout << i << "\t" << table[i].name << "\tEPSG:" << table[i].epsg << "\n";
  return 0;
}

int ListFormats() {
  for (const auto& format : pelmora::OutputFormats())
    std::cout << format.name << "\t" << format.description << "\n";
  // A program built with GDAL whose module is missing lists MIF alone: say why.
  if (!pelmora::OutputFormatLoadProblem().empty()) {
    std::cerr << "pelmora-convert: " << pelmora::OutputFormatLoadProblem() << "\n";
  }
  return 0;
}

// The file a format of one file writes (such as "city.gpkg"), or empty.
std::string OneFileOutput(const pelmora::cli::Options& options) {
  const pelmora::OutputFormat* format = pelmora::FindOutputFormat(options.settings.format);
  return format != nullptr && format->open_file ? options.output : std::string();
}

// Runs the conversion and says how it ended; the recorder learns the outcome.
int Convert(const pelmora::cli::Options& options, pelmora::cli::ConsoleObserver& observer,
            pelmora::cli::RunRecorder& recorder) {
  using pelmora::cli::RunOutcome;
  pelmora::cli::InstallStopSignals();
  try {
    pelmora::RunResult result = pelmora::RunConversion(options.settings, recorder);
    observer.ClearBar();
    observer.PrintWarningsNotShown();
    if (result.problem != pelmora::SettingsProblem::kNone) {
      const std::string& message = result.problem_message;
      std::cerr << message << "\n";
      recorder.End(RunOutcome::kRefused, 2, message);
      return 2;
    }
  } catch (const pelmora::ConversionCancelled& e) {
    observer.ClearBar();
    const int status = 128 + pelmora::cli::StopSignal();
    recorder.End(RunOutcome::kStopped, status, pelmora::WithFinalPeriod(e.what()));
    std::cout.flush();
    std::cerr << pelmora::cli::StoppedText(recorder.record(), OneFileOutput(options));
    return status;
  } catch (const pelmora::ConversionError& e) {
    observer.ClearBar();
    observer.PrintWarningsNotShown();
    std::cout.flush();
    std::cerr << pelmora::DescribeError(e) << "\n";
    recorder.End(RunOutcome::kFailed, 1, pelmora::WithFinalPeriod(e.what()), e.file(), e.line());
    return 1;
  } catch (const std::exception& e) {
    // Anything else (such as running out of memory) still ends cleanly: the
    // interrupted layer's temporary files are gone by now.
    observer.ClearBar();
    std::cout.flush();
    std::cerr << pelmora::WithFinalPeriod(e.what()) << "\n";
    recorder.End(RunOutcome::kFailed, 1, pelmora::WithFinalPeriod(e.what()));
    return 1;
  }
  recorder.End(RunOutcome::kDone, 0);
  return 0;
}

// Converts, prints the end of the run and its summary, and writes the JSON
// report when asked, whatever the outcome: a report that cannot be written
// turns a successful run into a failed one.
int ConvertAndReport(const pelmora::cli::Options& options) {
  bool progress = options.progress.value_or(::isatty(STDERR_FILENO) == 1);
  pelmora::cli::ConsoleObserver observer(!options.quiet, progress);
  pelmora::cli::RunRecorder recorder(observer);
  int status = Convert(options, observer, recorder);
  if (status == 0 && !options.quiet) {
    std::cout << "変換が終了しました。\n" << pelmora::cli::SummaryText(recorder.record());
  }
  if (options.report.empty()) return status;
  try {
    pelmora::cli::WriteReportFile(options.report,
                                  pelmora::cli::ReportJson(options, recorder.record()));
  } catch (const pelmora::ConversionError& e) {
    std::cout.flush();
    std::cerr << "レポート「" << options.report
              << "」を書き込めません: " << pelmora::WithFinalPeriod(e.what()) << "\n";
    if (status == 0) status = 1;
  }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef PELMORA_WITH_GDAL
  pelmora::gdal::OfferGdalFormats();
#endif
  pelmora::cli::Options options;
  if (int status = pelmora::cli::ParseOptions(argc, argv, options); status >= 0) return status;
  if (options.list_coordsys) return ListCoordSys();
  if (options.list_formats) return ListFormats();
  return ConvertAndReport(options);
}
