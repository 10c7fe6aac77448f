// pelmora-convert: converts Digital Map 2500 folders into MIF/MID files.
// Exit status: 0 done, 1 data or disk error, 2 usage or settings, 130/143/129
// stopped by SIGINT/SIGTERM/SIGHUP (on Windows: Ctrl-C or Ctrl-Break, a
// log-off or shutdown, a closed console window).
#include <CLI/CLI.hpp>
#include <iostream>

#include "console_io.hpp"
#include "console_observer.hpp"
#include "core/conversion/data_zone.hpp"
#include "core/conversion/outcome.hpp"
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
#ifdef _WIN32
  std::cerr << "pelmora-convert: Windows 版が書き出すのは MIF だけです。GeoPackage、Shapefile、"
               "GeoJSON、FlatGeobuf は GDAL で書き出しますが、Windows 向けのビルドに使える GDAL "
               "がないため、Linux 版だけにあります。\n";
#endif
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
  using pelmora::OutcomeKind;
  using pelmora::cli::RunOutcome;
  pelmora::cli::InstallStopSignals();
  const pelmora::ConversionOutcome outcome =
      pelmora::RunForOutcome([&] { return pelmora::RunConversion(options.settings, recorder); });
  observer.ClearBar();
  switch (outcome.kind) {
    case OutcomeKind::kDone:
      observer.PrintWarningsNotShown();
      recorder.End(RunOutcome::kDone, 0);
      return 0;
    case OutcomeKind::kRefused:
      observer.PrintWarningsNotShown();
      std::cerr << outcome.message << "\n";
      recorder.End(RunOutcome::kRefused, 2, outcome.message);
      return 2;
    case OutcomeKind::kStopped: {
      const int status = 128 + pelmora::cli::StopSignal();
      recorder.End(RunOutcome::kStopped, status, outcome.message);
      std::cout.flush();
      std::cerr << pelmora::cli::StoppedText(recorder.record(), OneFileOutput(options));
      return status;
    }
    case OutcomeKind::kFailed:
      // Also for anything else than a conversion error (such as running out
      // of memory): the interrupted layer's temporary files are gone by now.
      observer.PrintWarningsNotShown();
      std::cout.flush();
      std::cerr << outcome.description << "\n";
      recorder.End(RunOutcome::kFailed, 1, outcome.message, outcome.file, outcome.line);
      return 1;
  }
  return 1;
}

// Converts, prints the end of the run and its summary, and writes the JSON
// report when asked, whatever the outcome: a report that cannot be written
// turns a successful run into a failed one.
int ConvertAndReport(const pelmora::cli::Options& options) {
  bool progress = options.progress.value_or(pelmora::cli::ErrorStreamIsConsole());
  pelmora::cli::ConsoleObserver observer(!options.quiet, progress);
  pelmora::cli::RunRecorder recorder(observer,
                                     options.settings.coordsys_index == pelmora::kCoordSysFromData);
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
  pelmora::cli::SetUpConsole();
#ifdef PELMORA_WITH_GDAL
  pelmora::gdal::OfferGdalFormats();
#endif
  // UTF-8 from here on, on Windows too (read from the wide command line).
  std::vector<std::string> arguments = pelmora::cli::Utf8Arguments(argc, argv);
  std::vector<char*> utf8_argv;
  for (std::string& argument : arguments) utf8_argv.push_back(argument.data());
  utf8_argv.push_back(nullptr);
  pelmora::cli::Options options;
  if (int status =
          pelmora::cli::ParseOptions(static_cast<int>(arguments.size()), utf8_argv.data(), options);
      status >= 0) {
    return status;
  }
  if (options.list_coordsys) return ListCoordSys();
  if (options.list_formats) return ListFormats();
  return ConvertAndReport(options);
}
