#pragma once
// The rules of the output: which format writes one file and which a folder
// of files, how Edit1's text follows a change of format, how the output
// folder and file are read from it, what "参照..." proposes, and the captions
// that name the output.
#include <functional>
#include <string>
#include <string_view>

#include "core/conversion/output_formats.hpp"

namespace pelmora::window {

// Whether a path names an existing folder (the view's file-system query).
using IsFolderQuery = std::function<bool(const std::string& path)>;

bool WritesOneFile(const OutputFormat& format);

// The folder of a text naming a file, ending with a separator ("./" for a
// bare file name).
std::string FolderOfFile(std::string_view text);
// The file name of a text, without its folder.
std::string FileNameOf(std::string_view text);
// The file name without its last extension: "city.gpkg" gives "city".
std::string BaseNameOf(std::string_view text);

// Whether Edit1's text names a folder rather than a file in it.
bool NamesFolder(const std::string& text, const IsFolderQuery& is_folder);

// The name proposed for the output file of a one-file format: after the
// first map-data folder, which usually names the data set ("pelmora" without
// one), with the format's extension.
std::string DefaultOutputFileName(std::string_view first_map_folder, const OutputFormat& format);

// Edit1's text after the format changed from one that wrote one file or not
// (was_one_file) to format. The folder chosen stays: a file of a one-file
// format goes into it, and a per-layer format writes into the folder of the
// file chosen before. An empty text stays empty.
std::string OutputTextForFormat(const std::string& text, bool was_one_file,
                                const OutputFormat& format, const std::string& default_file,
                                const IsFolderQuery& is_folder);

struct OutputTarget {
  std::string folder;
  std::string file;  // one-file formats only
};
// The output folder and file of a run from Edit1's text: a per-layer format
// writes into the text as a folder; a one-file format into the file it names,
// or, when it names a folder, into the proposed file in it.
OutputTarget ReadOutputTarget(const std::string& text, const OutputFormat& format,
                              const std::string& default_file, const IsFolderQuery& is_folder);

// The file proposed by the output-file picker of a one-file format.
std::string ProposedOutputFile(const std::string& text, const std::string& default_file,
                               const IsFolderQuery& is_folder);

// "出力形式: MIF", the label beside the output heading.
std::string FormatLabel(const OutputFormat& format);

// The captions that name the output. For MIF they are the window's own
// ("MIFに記録する座標系", "MIFの出力先フォルダ", "MIFの出力先フォルダの選択");
// for the other formats they name the output neutrally.
std::string CoordSysHeading(const OutputFormat& format);
std::string OutputHeading(const OutputFormat& format);
std::string OutputFolderPickerTitle(const OutputFormat& format);
std::string OutputFilePickerTitle(const OutputFormat& format);

}  // namespace pelmora::window
