#include "output_rules.hpp"

#include "folder_rules.hpp"

namespace pelmora::window {

namespace {

bool IsMif(const OutputFormat& format) {
  return format.name == "MIF";
}

size_t LastSeparator(std::string_view text) {
  for (size_t i = text.size(); i > 0; --i) {
    if (IsPathSeparator(text[i - 1])) return i - 1;
  }
  return std::string_view::npos;
}

// text joined with name, without doubling a separator that ends text.
std::string Join(std::string_view text, std::string_view name) {
  return WithTrailingSeparator(std::string(text)) + std::string(name);
}

}  // namespace

bool WritesOneFile(const OutputFormat& format) {
  return static_cast<bool>(format.open_file);
}

std::string FolderOfFile(std::string_view text) {
  const size_t sep = LastSeparator(text);
  if (sep == std::string_view::npos) return std::string(".") + kPathSeparator;
  return WithTrailingSeparator(std::string(text.substr(0, sep + 1)));
}

std::string FileNameOf(std::string_view text) {
  const size_t sep = LastSeparator(text);
  return std::string(sep == std::string_view::npos ? text : text.substr(sep + 1));
}

std::string BaseNameOf(std::string_view text) {
  const std::string name = FileNameOf(text);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

bool NamesFolder(const std::string& text, const IsFolderQuery& is_folder) {
  return (!text.empty() && IsPathSeparator(text.back())) || is_folder(text);
}

std::string DefaultOutputFileName(std::string_view first_map_folder, const OutputFormat& format) {
  std::string_view folder = first_map_folder;
  while (folder.size() > 1 && IsPathSeparator(folder.back())) folder.remove_suffix(1);
  std::string base = FileNameOf(folder);
  if (base.empty()) base = "pelmora";
  return base + std::string(format.extension);
}

std::string OutputTextForFormat(const std::string& text, bool was_one_file,
                                const OutputFormat& format, const std::string& default_file,
                                const IsFolderQuery& is_folder) {
  if (text.empty()) return text;
  const bool names_file = was_one_file && !NamesFolder(text, is_folder);
  if (WritesOneFile(format)) {
    if (names_file) return FolderOfFile(text) + BaseNameOf(text) + std::string(format.extension);
    return WithTrailingSeparator(text) + BaseNameOf(default_file) + std::string(format.extension);
  }
  return names_file ? FolderOfFile(text) : text;
}

OutputTarget ReadOutputTarget(const std::string& text, const OutputFormat& format,
                              const std::string& default_file, const IsFolderQuery& is_folder) {
  OutputTarget target{text, {}};
  if (!WritesOneFile(format) || text.empty()) return target;
  if (NamesFolder(text, is_folder)) {
    target.file = default_file;
  } else {
    target.folder = FolderOfFile(text);
    target.file = FileNameOf(text);
  }
  return target;
}

std::string ProposedOutputFile(const std::string& text, const std::string& default_file,
                               const IsFolderQuery& is_folder) {
  if (text.empty()) return default_file;
  if (NamesFolder(text, is_folder)) return Join(text, default_file);
  return text;
}

std::string FormatLabel(const OutputFormat& format) {
  return "出力形式: " + std::string(format.name);
}

std::string CoordSysHeading(const OutputFormat& format) {
  return IsMif(format) ? "MIFに記録する座標系" : "出力に記録する座標系";
}

std::string OutputHeading(const OutputFormat& format) {
  if (IsMif(format)) return "MIFの出力先フォルダ";
  return WritesOneFile(format) ? "出力先ファイル" : "出力先フォルダ";
}

std::string OutputFolderPickerTitle(const OutputFormat& format) {
  return IsMif(format) ? "MIFの出力先フォルダの選択" : "出力先フォルダの選択";
}

std::string OutputFilePickerTitle(const OutputFormat& format) {
  return std::string(format.name) + "の出力先ファイルの選択";
}

}  // namespace pelmora::window
