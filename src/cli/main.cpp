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

int Convert(const pelmora::cli::Options& options) {
  bool progress = options.progress.value_or(::isatty(STDERR_FILENO) == 1);
  pelmora::cli::ConsoleObserver observer(!options.quiet, progress);
  pelmora::cli::InstallStopSignals();
  try {
    pelmora::RunResult result = pelmora::RunConversion(options.settings, observer);
    observer.ClearBar();
    observer.PrintWarningsNotShown();
    if (result.problem != pelmora::SettingsProblem::kNone) {
      std::cerr << pelmora::SettingsProblemMessage(result.problem, result.problem_folder) << "\n";
      return 2;
    }
  } catch (const pelmora::ConversionCancelled&) {
    observer.ClearBar();
    return 128 + pelmora::cli::StopSignal();
  } catch (const pelmora::ConversionError& e) {
    observer.ClearBar();
    observer.PrintWarningsNotShown();
    std::cout.flush();
    std::cerr << pelmora::DescribeError(e) << "\n";
    return 1;
  } catch (const std::exception& e) {
    // Anything else (such as running out of memory) still ends cleanly: the
    // interrupted layer's temporary files are gone by now.
    observer.ClearBar();
    std::cout.flush();
    std::cerr << pelmora::WithFinalPeriod(e.what()) << "\n";
    return 1;
  }
  if (!options.quiet) std::cout << "変換が終了しました。\n";
  return 0;
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
  return Convert(options);
}
