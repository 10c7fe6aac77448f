#pragma once
// The main window TfrmMain without a toolkit: every setting of a run (the
// registered folders, the coordinate-system entry, Edit1's text, the nine
// groups, the output format, the polygon mode and whether the user set it)
// and the state of the window (running, close after the run), with the
// window's handlers by their designer's names. It drives a view
// (TMainWindowView), which shows the state and calls these operations for
// what the user does; the run goes to a TConversionRunner.
#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "conversion_runner.hpp"
#include "core/conversion/output_formats.hpp"
#include "core/conversion/settings.hpp"
#include "window_view.hpp"

namespace pelmora::window {

// The address of the data publisher's page (K1): the Geospatial Information
// Authority of Japan's viewing service for Digital Map 2500.
inline constexpr char kPublisherPage[] = "https://sdf.gsi.go.jp/search.html";
// Asked when the window is closed during a run.
inline constexpr char kStopAndCloseQuestion[] = "変換中です。変換を中止して終了しますか？";
inline constexpr char kRunStoppedLine[] = "変換を中止しました。";

class TfrmMain : private TRunEvents {
 public:
  explicit TfrmMain(TMainWindowView& view);
  ~TfrmMain() override;  // stops a run still going and waits for it

  // --- Program start and stop ---
  // The view's controls exist: the output format MIF (at every start, never
  // remembered) and the help file.
  void FormCreate(std::string help_file);
  // The 38 coordinate systems, item 0 selected.
  void FormShow();
  // The user closes the window: true when it may close now (the view then
  // saves its placement). During a run it asks; after "はい" the run is
  // stopped and the window closes once it has ended.
  bool CloseRequested();
  // Stops a run still going and waits for its thread (the view's end).
  void StopAndWait();

  // --- The folder list ---
  void Button1Click();
  // Registers a map-data folder unless the list has it already (a warning
  // then): the one way in for "追加..." and for folders dropped on the list.
  // Nothing during a run.
  void AddFolder(const std::string& path);
  void Button2Click();
  void Button3Click();
  // The view's list changed by itself (its items given in order).
  void FoldersEdited(const std::vector<std::string>& folders);
  // Called whenever the registered folders changed: until the user picks an
  // entry, the coordinate-system chooser follows the zone that the folders'
  // map-sheet files name, in the datum of the entry shown.
  void FoldersChanged();

  // --- The other settings, as the user changes them in the view ---
  void CoordSysChosen(int index);
  void OutputTextEdited(const std::string& text);
  void GroupEdited(int group, bool ticked);
  // The polygon option set by the user: formats no longer change it.
  void PolygonsChosen(bool assembled);
  // The polygon option's state changed in the view, by whoever set it.
  void PolygonsEdited(bool assembled) { polygons_assembled_ = assembled; }
  // Chooses an output format by its table name (the format menu); false for
  // a name the table does not have.
  bool ChooseFormat(std::string_view name);

  // --- Handlers ---
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void K1Click();
  void S1Click();
  void X1Click();
  void H2Click();
  void A1Click();

  // The chooser's source line when it follows the data.
  static constexpr char kCoordSysFromDataLine[] = "図郭ファイルから";

  // --- State ---
  const std::vector<std::string>& Folders() const { return folders_; }
  int CoordSysIndex() const { return coordsys_index_; }
  const std::string& OutputText() const { return output_text_; }
  bool Group(int group) const { return groups_[group]; }
  const OutputFormat& CurrentOutputFormat() const;
  bool PolygonsAssembled() const { return polygons_assembled_; }
  bool PolygonsChosenByUser() const { return polygons_chosen_; }
  bool IsConverting() const { return converting_; }
  bool ClosesAfterRun() const { return close_after_run_; }
  const std::string& HelpFile() const { return help_file_; }
  void SetHelpFile(std::string path) { help_file_ = std::move(path); }
  // The about box's version and contact lines.
  void SetAboutLines(std::string version, std::string url, std::string mail);
  // The settings of a run as the window holds them now.
  ConversionSettings ReadSettings() const;
  // Hears the run's reports on the worker thread before they are posted to
  // the view (tests hold a run there); set it between runs.
  void SetRunTap(TRunEvents* tap) { tap_ = tap; }

 private:
  // TRunEvents, on the worker thread: each is posted to the view's thread.
  void OnRunLog(const std::string& line, bool warning) override;
  void OnRunProgressRange(int maximum) override;
  void OnRunProgress(int position) override;
  void OnRunEnded(const RunEnd& end) override;
  void Post(std::function<void()> work);
  // Steps 7 to 9 of the run, on the user-interface thread.
  void FinishRun(const RunEnd& end);

  // Shows message (a settings check's) and moves the focus for problem.
  void ShowSettingsProblem(SettingsProblem problem, const std::string& message);
  void SetConverting(bool converting);
  void SetOutputText(const std::string& text);
  void SetGroups(bool ticked);
  void ShowFormatCaptions(const OutputFormat& format);
  std::string DefaultOutputFile(const OutputFormat& format) const;
  bool IsFolder(const std::string& path) const { return view_.IsFolder(path); }

  TMainWindowView& view_;
  std::vector<std::string> folders_;
  int coordsys_index_ = 0;
  std::string output_text_;
  std::array<bool, kGroupCount> groups_{};
  // By name: the table may grow while the window lives, moving its rows.
  std::string format_name_ = "MIF";
  bool polygons_assembled_ = false;
  bool polygons_chosen_ = false;  // the user set P1: formats no longer change it
  bool coordsys_chosen_ = false;  // the user picked an entry: the data no longer moves it
  bool converting_ = false;
  bool close_after_run_ = false;  // the user chose to stop the run and close
  std::string run_output_file_;   // the one file of the run going on, if any
  std::string help_file_;
  std::string version_, contact_url_, contact_mail_;
  TRunEvents* tap_ = nullptr;
  // Work posted from the worker thread checks this on the user-interface
  // thread, so that none reaches a model that is gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  TConversionRunner runner_;
};

}  // namespace pelmora::window
