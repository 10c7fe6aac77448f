#include "main_window_model.hpp"

#include "core/conversion/data_zone.hpp"
#include "core/mif/coordsys.hpp"
#include "folder_rules.hpp"
#include "output_rules.hpp"

namespace pelmora::window {

const char* BoxCaption(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return "警告";
    case MessageKind::kInformation:
      return "情報";
    case MessageKind::kQuestion:
      return "確認";
    case MessageKind::kError:
      break;
  }
  return kProgramTitle;
}

TfrmMain::TfrmMain(TMainWindowView& view) : view_(view), runner_(*this) {}

TfrmMain::~TfrmMain() {
  StopAndWait();
}

void TfrmMain::StopAndWait() {
  *alive_ = false;  // what the run posted and the view has not done yet is dropped
  runner_.RequestStop();
  runner_.Wait();
}

// --- Program start and stop ---

void TfrmMain::FormCreate(std::string help_file) {
  help_file_ = std::move(help_file);
  ChooseFormat("MIF");
}

void TfrmMain::FormShow() {
  std::vector<std::string> names;
  for (const CoordSysEntry& entry : CoordSysTable()) names.emplace_back(entry.name);
  coordsys_index_ = 0;
  view_.ShowCoordSysItems(names, 0);
}

bool TfrmMain::CloseRequested() {
  if (!converting_) return true;
  // The run stops only where the engine next looks at the request, so the
  // window closes when it has ended (FinishRun).
  if (!view_.Ask(kStopAndCloseQuestion)) return false;
  // The question box runs its own event loop: the run may have ended meanwhile.
  if (!converting_) return true;
  close_after_run_ = true;
  S1Click();
  return false;
}

// --- The folder list ---

void TfrmMain::Button1Click() {
  if (const auto path = view_.PickFolder(FolderPicker::kFolderBrowseDialog1)) AddFolder(*path);
}

void TfrmMain::AddFolder(const std::string& path) {
  // The folders of a run going on stay as it read them: the list takes no
  // input then, but a drop can still reach it.
  if (converting_) return;
  if (IndexOfFolder(folders_, path) >= 0) {
    view_.ShowMessage(MessageKind::kWarning, AlreadyRegisteredMessage(path));
    return;
  }
  // At the end; selection and current item unchanged. The model first: a
  // view may report its edited list back (FoldersEdited) while it inserts.
  // A list that refuses the item (out of resources) throws, and the folders
  // stay those it shows.
  folders_.push_back(path);
  try {
    view_.InsertFolder(static_cast<int>(folders_.size()) - 1, path);
  } catch (...) {
    folders_.pop_back();
    throw;
  }
  FoldersChanged();
}

void TfrmMain::Button2Click() {
  int row = view_.CurrentFolderRow();
  // A list that has items always has a current item (the focus rectangle of
  // a Windows list starts on item 0).
  if (row < 0 && !folders_.empty()) row = 0;
  if (row < 0 || row >= static_cast<int>(folders_.size())) return;
  folders_.erase(folders_.begin() + row);
  view_.RemoveFolder(row);
  FoldersChanged();
}

void TfrmMain::Button3Click() {
  if (folders_.empty()) return;
  folders_.clear();
  view_.ClearFolders();
  FoldersChanged();
}

void TfrmMain::FoldersEdited(const std::vector<std::string>& folders) {
  if (folders == folders_) return;  // the view showing what the model did
  folders_ = folders;
  FoldersChanged();
}

void TfrmMain::FoldersChanged() {
  if (coordsys_chosen_) return;
  // Areas naming different zones, or none, leave the entry as it is: the run
  // then warns about the areas of another zone.
  const DataZone found = FindDataZone(DescribeInput(folders_), coordsys_index_);
  if (found.outcome != DataZone::Outcome::kFound) {
    view_.ShowCoordSysSource("");
    return;
  }
  coordsys_index_ = found.coordsys_index;
  view_.ShowCoordSysIndex(coordsys_index_);
  view_.ShowCoordSysSource(kCoordSysFromDataLine);
}

// --- The other settings ---

void TfrmMain::CoordSysChosen(int index) {
  // The view also reports the entries the model showed itself: only another
  // entry is the user's choice.
  if (index == coordsys_index_) return;
  coordsys_index_ = index;
  coordsys_chosen_ = true;
  view_.ShowCoordSysSource("");
}

void TfrmMain::OutputTextEdited(const std::string& text) {
  output_text_ = text;
}

void TfrmMain::GroupEdited(int group, bool ticked) {
  if (group >= 0 && group < kGroupCount) groups_[group] = ticked;
}

void TfrmMain::PolygonsChosen(bool assembled) {
  polygons_chosen_ = true;
  polygons_assembled_ = assembled;
}

void TfrmMain::SetOutputText(const std::string& text) {
  if (text == output_text_) return;
  output_text_ = text;
  view_.ShowOutputText(text);
}

const OutputFormat& TfrmMain::CurrentOutputFormat() const {
  const OutputFormat* format = FindOutputFormat(format_name_);
  return format ? *format : *FindOutputFormat("MIF");
}

std::string TfrmMain::DefaultOutputFile(const OutputFormat& format) const {
  return DefaultOutputFileName(folders_.empty() ? std::string_view() : folders_.front(), format);
}

void TfrmMain::ShowFormatCaptions(const OutputFormat& format) {
  view_.ShowFormat(std::string(format.name), FormatLabel(format));
  view_.ShowCaption(Caption::kLabel2, CoordSysHeading(format));
  view_.ShowCaption(Caption::kLabel3, OutputHeading(format));
  view_.ShowCaption(Caption::kFolderBrowseDialog2, OutputFolderPickerTitle(format));
}

bool TfrmMain::ChooseFormat(std::string_view name) {
  const OutputFormat* format = FindOutputFormat(name);
  if (format == nullptr) return false;
  const bool was_one_file = WritesOneFile(CurrentOutputFormat());
  format_name_ = std::string(format->name);
  ShowFormatCaptions(*format);
  if (!polygons_chosen_) {
    polygons_assembled_ = DefaultPolygonMode(*format) == PolygonMode::kAssembled;
    view_.ShowPolygonsAssembled(polygons_assembled_);
  }
  const auto is_folder = [this](const std::string& path) { return IsFolder(path); };
  SetOutputText(OutputTextForFormat(output_text_, was_one_file, *format, DefaultOutputFile(*format),
                                    is_folder));
  return true;
}

ConversionSettings TfrmMain::ReadSettings() const {
  ConversionSettings settings;
  settings.map_folders = folders_;
  settings.coordsys_index = coordsys_index_;
  const OutputFormat& format = CurrentOutputFormat();
  settings.format = std::string(format.name);
  const auto is_folder = [this](const std::string& path) { return IsFolder(path); };
  OutputTarget target =
      ReadOutputTarget(output_text_, format, DefaultOutputFile(format), is_folder);
  settings.output_folder = std::move(target.folder);
  settings.output_file = std::move(target.file);
  settings.groups = groups_;
  settings.jobs = 1;
  settings.polygons = polygons_assembled_ ? PolygonMode::kAssembled : PolygonMode::kChained;
  return settings;
}

// --- Handlers ---

void TfrmMain::Button4Click() {
  const OutputFormat& format = CurrentOutputFormat();
  if (WritesOneFile(format)) {
    const std::string extension(format.extension);
    FilePickerRequest request;
    request.title = OutputFilePickerTitle(format);
    request.filter = std::string(format.name) + " (*" + extension + ")";
    request.suffix = extension.empty() ? extension : extension.substr(1);
    const auto is_folder = [this](const std::string& path) { return IsFolder(path); };
    request.file_name = ProposedOutputFile(output_text_, DefaultOutputFile(format), is_folder);
    if (const auto file = view_.PickFile(request)) SetOutputText(*file);
    return;
  }
  const auto folder = view_.PickFolder(FolderPicker::kFolderBrowseDialog2);
  if (folder) SetOutputText(WithTrailingSeparator(*folder));
}

void TfrmMain::SetGroups(bool ticked) {
  for (int i = 0; i < kGroupCount; ++i) {
    groups_[i] = ticked;
    view_.ShowGroup(i, ticked);
  }
}

void TfrmMain::Button5Click() {
  SetGroups(true);
}

void TfrmMain::Button6Click() {
  SetGroups(false);
}

void TfrmMain::K1Click() {
  view_.OpenAddress(kPublisherPage);
}

void TfrmMain::X1Click() {
  view_.CloseWindow();
}

void TfrmMain::H2Click() {
  if (!view_.IsFile(help_file_)) {
    view_.ShowMessage(MessageKind::kError,
                      "ヘルプファイル「" + help_file_ + "」が見つかりません。");
    return;
  }
  view_.ShowGuide(help_file_);
}

void TfrmMain::SetAboutLines(std::string version, std::string url, std::string mail) {
  version_ = std::move(version);
  contact_url_ = std::move(url);
  contact_mail_ = std::move(mail);
}

void TfrmMain::A1Click() {
  view_.ShowAbout(MakeAboutTexts(version_, contact_url_, contact_mail_));
}

}  // namespace pelmora::window
