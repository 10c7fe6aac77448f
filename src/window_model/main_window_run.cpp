// The run from the window (Button7Click): the settings checks with their
// warnings and focus moves, the controls during a run, the run's reports on
// the user-interface thread, and its end.
#include "core/conversion/outcome.hpp"
#include "main_window_model.hpp"

namespace pelmora::window {

void TfrmMain::ShowSettingsProblem(SettingsProblem problem, const std::string& message) {
  view_.ShowMessage(MessageKind::kWarning, message);
  switch (problem) {
    case SettingsProblem::kNoMapFolders:
      view_.Focus(Control::kButton1);
      break;
    case SettingsProblem::kBadOutputFolder:
    case SettingsProblem::kOutputFolderBusy:
      view_.Focus(Control::kEdit1);
      break;
    case SettingsProblem::kNoGroups:
      view_.Focus(Control::kCheckBox1);
      break;
    case SettingsProblem::kMapFolderMissing:
    case SettingsProblem::kNoMapData:
      view_.Focus(Control::kListBox1);
      break;
    default:
      break;
  }
}

void TfrmMain::Button7Click() {
  if (converting_) return;
  ConversionSettings settings = ReadSettings();
  // Steps 1 to 4.
  const SettingsCheck check = CheckSettings(settings);
  if (!check.output_folder.empty()) {
    // With a one-file format Edit1 names the file in that folder.
    SetOutputText(check.output_folder + settings.output_file);  // step 3
    settings.output_folder = check.output_folder;
  }
  if (check.problem != SettingsProblem::kNone) {
    ShowSettingsProblem(check.problem, check.message);
    return;
  }
  // Step 5.
  run_output_file_ = settings.output_file;
  view_.ClearLog();
  view_.SetBusyCursor(true);
  SetConverting(true);
  // Step 6, on the worker thread; FinishRun does steps 7 to 9.
  runner_.Start(settings);
}

void TfrmMain::S1Click() {
  // Only the request: the engine stops before its next area folder and
  // FinishRun shows the end.
  if (converting_) runner_.RequestStop();
}

void TfrmMain::SetConverting(bool converting) {
  converting_ = converting;
  if (converting) view_.RunStateChanged(true);  // before the focused control is disabled
  // The settings take no input during a run; the menus stay open for
  // "変換を中止" and "終了" (which asks first); the run's format and output
  // stay those it started with.
  for (Control control :
       {Control::kListBox1, Control::kButton1, Control::kButton2, Control::kButton3,
        Control::kComboBox1, Control::kEdit1, Control::kButton4, Control::kGroupBox1,
        Control::kButton5, Control::kButton6, Control::kButton7, Control::kK1, Control::kH2,
        Control::kA1, Control::kFormatMenu}) {
    view_.Enable(control, !converting);
  }
  view_.Enable(Control::kS1, converting);
  if (!converting) view_.RunStateChanged(false);
}

void TfrmMain::Post(std::function<void()> work) {
  view_.PostToUi([alive = std::weak_ptr<bool>(alive_), work = std::move(work)] {
    const std::shared_ptr<bool> model = alive.lock();
    if (model && *model) work();
  });
}

void TfrmMain::OnRunLog(const std::string& line, bool warning) {
  if (tap_) tap_->OnRunLog(line, warning);
  Post([this, line, warning] { view_.AppendLog(line, warning); });
}

void TfrmMain::OnRunProgressRange(int maximum) {
  if (tap_) tap_->OnRunProgressRange(maximum);
  Post([this, maximum] {
    view_.SetProgressRange(maximum);
    view_.SetProgress(0);
  });
}

void TfrmMain::OnRunProgress(int position) {
  if (tap_) tap_->OnRunProgress(position);
  Post([this, position] { view_.SetProgress(position); });
}

void TfrmMain::OnRunEnded(const RunEnd& end) {
  if (tap_) tap_->OnRunEnded(end);
  Post([this, end] { FinishRun(end); });
}

void TfrmMain::FinishRun(const RunEnd& end) {
  runner_.Wait();  // the thread returns right after its last report
  // Step 7, also after an error.
  view_.SetBusyCursor(false);
  SetConverting(false);
  const ConversionOutcome& outcome = end.outcome;
  switch (outcome.kind) {
    case OutcomeKind::kRefused:
      // The run's own checks found what the window's did not (the output
      // folder vanished in between).
      if (!outcome.output_folder.empty()) SetOutputText(outcome.output_folder + run_output_file_);
      ShowSettingsProblem(outcome.problem, outcome.message);
      break;
    case OutcomeKind::kStopped:
      // As a stopped command line leaves it: no box, the finished layers' files.
      view_.AppendLog(kRunStoppedLine, false);
      view_.SetProgress(0);
      break;
    case OutcomeKind::kFailed:
      view_.ShowMessage(MessageKind::kError, outcome.description);  // the bar keeps its place
      view_.SetProgress(0);
      break;
    case OutcomeKind::kDone: {
      std::string text = "変換が終了しました。";  // step 8
      if (end.warnings > 0) text += "\n警告が " + std::to_string(end.warnings) + " 件ありました。";
      view_.ShowMessage(MessageKind::kInformation, text);
      view_.SetProgress(0);  // step 9
      break;
    }
  }
  view_.RunEnded();
  if (close_after_run_) {
    close_after_run_ = false;
    view_.CloseWindow();
  }
}

}  // namespace pelmora::window
