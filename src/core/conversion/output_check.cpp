#include "output_check.hpp"

#include "../errors.hpp"
#include "../input/area_folder.hpp"
#include "../io/path_status.hpp"
#include "output_formats.hpp"

namespace pelmora {
namespace {

bool WritesOneFile(const ConversionSettings& settings) {
  if (settings.writer_factory) return false;
  const OutputFormat* format = FindOutputFormat(settings.format);
  return format != nullptr && static_cast<bool>(format->open_file);
}

// The one file as the user named it: the command line takes a name without
// a folder as one in ".".
std::string OutputFilePath(const ConversionSettings& settings) {
  if (settings.output_folder == "." || settings.output_folder.empty()) return settings.output_file;
  return JoinPath(settings.output_folder, settings.output_file);
}

bool IsMif(std::string_view format_name) {
  return EqualsIgnoreCase(format_name, "MIF");
}

OutputCheck CheckFolder(const std::string& folder) {
  const PathStatus status = StatPath(folder);
  switch (status.kind) {
    case PathKind::kFolder:
      return {};
    case PathKind::kMissing:
      return {OutputFault::kMissing, folder};
    case PathKind::kFile:
      return {OutputFault::kIsFile, folder};
    case PathKind::kOther:
      return {OutputFault::kNotFolder, folder};
    case PathKind::kBlocked:
      if (status.blocker != folder) return {OutputFault::kIsFile, status.blocker};
      return {OutputFault::kNotWritable, folder, status.error};
  }
  return {};
}

std::string Detail(const OutputCheck& check, bool one_file) {
  const std::string quoted = "「" + check.path + "」";
  switch (check.fault) {
    case OutputFault::kNone:
      return {};
    case OutputFault::kNotGiven:
      return one_file ? "出力先のファイルが指定されていません。"
                      : "出力先のフォルダが指定されていません。";
    case OutputFault::kMissing:
      return "フォルダ" + quoted + "はありません。";
    case OutputFault::kIsFile:
      return quoted + "はフォルダではなくファイルです。";
    case OutputFault::kNotFolder:
      return quoted + "はフォルダではありません。";
    case OutputFault::kNotWritable:
      return "フォルダ" + quoted + "に書き込めません (" + SystemErrorText(check.error) + ")。";
    case OutputFault::kIsFolder:
      return quoted + "はフォルダです。書き出すファイルの名前を指定してください。";
  }
  return {};
}

}  // namespace

std::string FormatLabel(std::string_view format_name) {
  const OutputFormat* format = FindOutputFormat(format_name);
  if (format == nullptr) return std::string(format_name);
  const size_t colon = format->description.find(": ");
  if (colon == std::string_view::npos || IsMif(format_name)) return std::string(format->name);
  return std::string(format->description.substr(0, colon));
}

OutputCheck CheckOutput(const ConversionSettings& settings) {
  if (settings.output_folder.empty()) return {OutputFault::kNotGiven, {}};
  if (OutputCheck folder = CheckFolder(settings.output_folder); folder.fault != OutputFault::kNone)
    return folder;
  if (settings.writer_factory) return {};  // nothing is written there
  if (int error = FolderWriteError(settings.output_folder); error != 0)
    return {OutputFault::kNotWritable, settings.output_folder, error};
  if (!WritesOneFile(settings)) return {};
  if (settings.output_file.empty()) return {OutputFault::kNotGiven, {}};
  const std::string file = OutputFilePath(settings);
  if (StatPath(file).kind == PathKind::kFolder) return {OutputFault::kIsFolder, file};
  return {};
}

std::string OutputProblemMessage(const ConversionSettings& settings, const OutputCheck& check) {
  const bool one_file = WritesOneFile(settings);
  std::string heading;
  if (IsMif(settings.format) || settings.writer_factory) {
    heading = SettingsProblemText(SettingsProblem::kBadOutputFolder);
  } else if (!one_file) {
    heading = FormatLabel(settings.format) + "の出力先フォルダが不正です。";
  } else if (settings.output_file.empty()) {
    heading = FormatLabel(settings.format) + "の出力先ファイルが不正です。";
  } else {
    heading = FormatLabel(settings.format) + "の出力先ファイル「" + OutputFilePath(settings) +
              "」が不正です。";
  }
  return heading + "\n" + Detail(check, one_file);
}

std::string OutputBusyMessage(const ConversionSettings& settings, const std::string& folder) {
  std::string message = SettingsProblemMessage(SettingsProblem::kOutputFolderBusy, folder);
  if (!IsMif(settings.format) && !settings.writer_factory) {
    message.replace(0, 3, FormatLabel(settings.format));  // the text begins with "MIF"
  }
  return message;
}

}  // namespace pelmora
