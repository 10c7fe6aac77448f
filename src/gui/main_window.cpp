#include "main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include "about_dialog.hpp"
#include "app_icon.hpp"
#include "app_paths.hpp"
#include "conversion_worker.hpp"
#include "core/mif/coordsys.hpp"
#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"

namespace pelmora::gui {

namespace {

// The colour of warnings in the log: dark orange, readable on white.
const QColor kWarningColour(176, 80, 0);

}  // namespace

QFont TfrmMain::WindowFont() {
  QFont font;
  font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                    QStringLiteral("IPAGothic")});
  font.setPixelSize(12);
  return font;
}

TfrmMain::TfrmMain(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      worker_(new TConversionWorker(this)),
      settings_file_(SettingsFilePath()) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(AppIcon());
  setFont(WindowFont());
  BuildControls();
  BuildMenus();
  SetOutputFormat(QStringLiteral("MIF"));  // at every start, never remembered
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

  connect(worker_, &TConversionWorker::Log, this, &TfrmMain::OnLog);
  connect(worker_, &TConversionWorker::WarningLog, this, &TfrmMain::OnWarningLog);
  connect(worker_, &TConversionWorker::ProgressRange, this, &TfrmMain::OnProgressRange);
  connect(worker_, &TConversionWorker::Progress, this, &TfrmMain::OnProgress);
  connect(worker_, &TConversionWorker::Finished, this, &TfrmMain::OnFinished);
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // A run still going is asked to stop between records; wait for its thread
  // before the controls it reports to go away.
  worker_->disconnect(this);
  delete worker_;
  worker_ = nullptr;
  if (converting_) QApplication::restoreOverrideCursor();
}

void TfrmMain::SetMessageBoxes(TMessageBoxes* boxes) {
  boxes_ = boxes ? boxes : &default_boxes_;
}

void TfrmMain::ShowMessage(MessageKind kind, const QString& text) {
  boxes_->Show(this, kind, CaptionOf(kind), text);
}

ConversionSettings TfrmMain::ReadSettings() const {
  ConversionSettings settings;
  for (const QString& path : ListBox1->Paths()) settings.map_folders.push_back(ToCorePath(path));
  settings.coordsys_index = ComboBox1->currentIndex();
  ReadOutputSettings(settings);
  for (int i = 0; i < kGroupCount; ++i) settings.groups[i] = CheckBox[i]->isChecked();
  settings.jobs = 1;
  settings.polygons = P1->isChecked() ? PolygonMode::kAssembled : PolygonMode::kChained;
  return settings;
}

bool TfrmMain::IsConverting() const {
  return converting_;
}

void TfrmMain::WaitForConversion() {
  if (!converting_) return;
  QEventLoop loop;
  connect(this, &TfrmMain::ConversionEnded, &loop, &QEventLoop::quit);
  if (converting_) loop.exec();
}

// --- Program start and stop ---

void TfrmMain::FormCreate() {
  help_file_ = HelpFilePath();
}

void TfrmMain::FormShow() {
  if (form_shown_) return;
  form_shown_ = true;
  // 1. Caption.
  setWindowTitle(QStringLiteral("Pelmora Converter"));
  // 2.-3. The 38 coordinate systems, item 0 selected.
  ComboBox1->clear();
  for (const CoordSysEntry& entry : CoordSysTable()) {
    ComboBox1->addItem(
        QString::fromUtf8(entry.name.data(), static_cast<qsizetype>(entry.name.size())));
  }
  ComboBox1->setCurrentIndex(0);
  // 4. Memo1 paints double-buffered: every Qt widget does.
  // 5. Position and state from the settings file.
  LoadFormPlacement(*this, settings_file_);
  // 6. The size is the window's own, whatever the file says.
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
}

void TfrmMain::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && !form_shown_) FormShow();
  QMainWindow::showEvent(event);
}

void TfrmMain::closeEvent(QCloseEvent* event) {
  if (converting_) {
    // Closing during a run asks first. The run stops only where the engine
    // next looks at the request, so the window closes when it has ended
    // (OnFinished).
    event->ignore();
    if (!boxes_->Ask(this, QStringLiteral("変換中です。変換を中止して終了しますか？"))) return;
    // The question box runs its own event loop: the run may have ended meanwhile.
    if (converting_) {
      close_after_run_ = true;
      S1Click();
      return;
    }
  }
  // FormClose: save position and state; the window closes also when that fails.
  try {
    SaveFormPlacement(*this, settings_file_);
  } catch (const SettingsWriteError& e) {
    ShowMessage(MessageKind::kError, e.text());
  }
  event->accept();
}

// --- Folder list ---

void TfrmMain::Button1Click() {
  if (!FolderBrowseDialog1->Execute()) return;
  AddFolder(FolderBrowseDialog1->FolderName);
}

void TfrmMain::AddFolder(const QString& path) {
  if (ListBox1->IndexOfPath(path) >= 0) {
    ShowMessage(MessageKind::kWarning, path + QStringLiteral(" は") + QChar(10) + QChar(13) +
                                           QStringLiteral("既に登録されています。"));
    return;
  }
  ListBox1->addItem(path);  // at the end; selection and current item unchanged
}

void TfrmMain::Button2Click() {
  int row = ListBox1->currentRow();
  // A list that has items always has a current item (the focus rectangle of
  // a Windows list starts on item 0).
  if (row < 0 && ListBox1->count() > 0) row = 0;
  if (row < 0) return;
  delete ListBox1->takeItem(row);
}

void TfrmMain::Button3Click() {
  ListBox1->clear();
}

// --- Groups ---

void TfrmMain::Button5Click() {
  for (QCheckBox* box : CheckBox) box->setChecked(true);
}

void TfrmMain::Button6Click() {
  for (QCheckBox* box : CheckBox) box->setChecked(false);
}

// --- Menus ---

void TfrmMain::K1Click() {
  QDesktopServices::openUrl(QUrl(QString::fromUtf8(kPublisherPage)));
}

void TfrmMain::S1Click() {
  // Only the request: the engine stops before its next area folder and
  // OnFinished shows the end.
  if (converting_) worker_->RequestStop();
}

void TfrmMain::X1Click() {
  close();
}

void TfrmMain::SetUrlOpener(TUrlOpener opener) {
  url_opener_ = opener ? std::move(opener) : TUrlOpener(OpenWithDesktop);
}

void TfrmMain::H2Click() {
  if (!QFileInfo(help_file_).isFile()) {
    ShowMessage(MessageKind::kError,
                QStringLiteral("ヘルプファイル「%1」が見つかりません。").arg(help_file_));
    return;
  }
  // The browser shows the guide where there is one; otherwise the window's
  // own viewer does, rather than nothing at all.
  if (!url_opener_(QUrl::fromLocalFile(help_file_))) ShowGuideViewer(this, help_file_);
}

void TfrmMain::A1Click() {
  TdlgAbout about(this);
  QString version;  // starts empty: "Version " alone without a version
  GetAppVersion(version);
  about.SetVersionText(version);
  about.exec();
  about.hide();
}

// --- The run ---

void TfrmMain::ShowSettingsProblem(SettingsProblem problem, const std::string& message) {
  ShowMessage(MessageKind::kWarning, QString::fromStdString(message));
  switch (problem) {
    case SettingsProblem::kNoMapFolders:
      Button1->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kBadOutputFolder:
    case SettingsProblem::kOutputFolderBusy:
      Edit1->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kNoGroups:
      CheckBox[0]->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kMapFolderMissing:
    case SettingsProblem::kNoMapData:
      ListBox1->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kRefusedByFormat:
    case SettingsProblem::kNone:
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
    const QString amended = FromCorePath(check.output_folder + settings.output_file);
    if (Edit1->text() != amended) Edit1->setText(amended);  // step 3
    settings.output_folder = check.output_folder;
  }
  if (check.problem != SettingsProblem::kNone) {
    ShowSettingsProblem(check.problem, check.message);
    return;
  }
  // Step 5.
  run_output_file_ = settings.output_file;
  Memo1->clear();
  QApplication::setOverrideCursor(Qt::WaitCursor);
  SetConverting(true);
  // Step 6, on the worker thread; OnFinished does steps 7 to 9.
  worker_->Start(settings);
}

void TfrmMain::SetConverting(bool converting) {
  converting_ = converting;
  if (converting) focus_before_ = focusWidget();  // the window's own, active or not
  QWidget* inputs[] = {ListBox1, Button1,   Button2, Button3, ComboBox1, Edit1,
                       Button4,  GroupBox1, Button5, Button6, Button7};
  for (QWidget* w : inputs) w->setEnabled(!converting);
  // The menus stay open for "変換を中止" and "終了" (which asks first).
  for (QAction* a : {K1, H2, A1}) a->setEnabled(!converting);
  // The run's format and output stay those it started with.
  FormatActions->setEnabled(!converting);
  S1->setEnabled(converting);
  // The log stays readable (not greyed) and its text can be selected and
  // copied, but it takes no typing during the run.
  if (converting) {
    read_only_before_ = Memo1->isReadOnly();
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  } else {
    Memo1->setReadOnly(read_only_before_);
    if (focus_before_ && focus_before_->isEnabled()) focus_before_->setFocus(Qt::OtherFocusReason);
    focus_before_.clear();
  }
}

void TfrmMain::OnLog(const QString& line) {
  Memo1->appendPlainText(line);
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TfrmMain::OnWarningLog(const QString& line) {
  // Set apart from the log lines in colour; the lines after it keep the
  // pane's own.
  QTextCursor cursor(Memo1->document());
  cursor.movePosition(QTextCursor::End);
  if (!Memo1->document()->isEmpty()) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  QTextCharFormat warning;
  warning.setForeground(kWarningColour);
  cursor.insertText(line, warning);
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
}

void TfrmMain::OnProgressRange(int maximum) {
  // A range of 0 to 0 would make Qt's bar a busy indicator: an empty bar.
  ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
  ProgressBar1->setValue(0);
}

void TfrmMain::OnProgress(int position) {
  ProgressBar1->setValue(position);
}

void TfrmMain::OnFinished(const ConversionOutcome& outcome) {
  worker_->Wait();  // the thread returns right after its last signal
  // Step 7, also after an error.
  QApplication::restoreOverrideCursor();
  SetConverting(false);
  if (outcome.problem != SettingsProblem::kNone) {
    // The run's own checks found what the window's did not (the output folder
    // vanished in between).
    if (!outcome.output_folder.isEmpty())
      Edit1->setText(outcome.output_folder + FromCorePath(run_output_file_));
    ShowSettingsProblem(outcome.problem, outcome.problem_message);
  } else if (outcome.stopped) {
    // As a stopped command line leaves it: no box, the finished layers' files.
    OnLog(QStringLiteral("変換を中止しました。"));
    ProgressBar1->setValue(0);
  } else if (outcome.failed) {
    ShowMessage(MessageKind::kError, outcome.error_text);  // the bar keeps its position until then
    ProgressBar1->setValue(0);
  } else {
    QString text = QStringLiteral("変換が終了しました。");  // step 8
    if (outcome.warnings > 0)
      text += QStringLiteral("\n警告が %1 件ありました。").arg(outcome.warnings);
    ShowMessage(MessageKind::kInformation, text);
    ProgressBar1->setValue(0);  // step 9
  }
  emit ConversionEnded();
  if (close_after_run_) {
    close_after_run_ = false;
    close();
  }
}

}  // namespace pelmora::gui
