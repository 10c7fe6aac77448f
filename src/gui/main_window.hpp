#pragma once
// The main window TfrmMain with its controls, menus and handlers, the
// folder list and the conversion run as the user sees it.
// The window only reads its controls into ConversionSettings and shows what
// the conversion reports; the conversion itself runs on a worker thread.
#include <QMainWindow>
#include <QPointer>
#include <memory>

#include "core/conversion/settings.hpp"
#include "guide_viewer.hpp"
#include "message_boxes.hpp"

class QAction;
class QActionGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace pelmora {
struct OutputFormat;
}

namespace pelmora::gui {

class TConversionWorker;
class TFolderBrowseDialog;
class TFolderListBox;
class TSaveFileDialog;
struct ConversionOutcome;

// The address of the data publisher's page (K1): the Geospatial Information
// Authority of Japan's viewing service for Digital Map 2500.
inline constexpr char kPublisherPage[] = "https://sdf.gsi.go.jp/search.html";

class TfrmMain : public QMainWindow {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = 793;  // the area below the menu bar
  static constexpr int kClientHeight = 432;

  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // "ＭＳ Ｐゴシック" 12 pixels high, falling back to IPAPGothic.
  static QFont WindowFont();

  // The seam for modal message boxes (not owned; null restores the real ones).
  void SetMessageBoxes(TMessageBoxes* boxes);
  // The settings file of the placement (default: SettingsFilePath()).
  void SetSettingsFilePath(const QString& path) { settings_file_ = path; }
  const QString& SettingsFile() const { return settings_file_; }
  const QString& HelpFile() const { return help_file_; }
  void SetHelpFile(const QString& path) { help_file_ = path; }
  // The seam through which the guide is handed to the desktop (default:
  // OpenWithDesktop); when it fails the window shows the guide itself.
  void SetUrlOpener(TUrlOpener opener);

  // The output format of the next run, from the table of output formats;
  // MIF at every start.
  const OutputFormat& CurrentOutputFormat() const;
  // Chooses a format by its table name, as its item in the format menu does;
  // false for a name the table does not have.
  bool SetOutputFormat(const QString& name);

  // The settings of a run as the controls hold them now.
  ConversionSettings ReadSettings() const;
  bool IsConverting() const;
  // Blocks (processing events) until a running conversion has ended and its
  // end has been shown; for tests and for the program's end.
  void WaitForConversion();

  // Handlers, by the designer's names.
  void FormCreate();
  void FormShow();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void K1Click();
  void S1Click();
  void X1Click();
  void H2Click();
  void A1Click();

  // Controls, under the object names that tests and users know them by.
  QLabel* Label1;
  TFolderListBox* ListBox1;
  QPushButton* Button1;
  QPushButton* Button2;
  QPushButton* Button3;
  QLabel* Label2;
  QComboBox* ComboBox1;
  QLabel* Label3;
  QLineEdit* Edit1;
  QPushButton* Button4;
  QGroupBox* GroupBox1;
  QCheckBox* CheckBox[kGroupCount];  // CheckBox1 .. CheckBox9
  QPushButton* Button5;
  QPushButton* Button6;
  QPushButton* Button7;
  QLabel* Label4;
  QPlainTextEdit* Memo1;
  QProgressBar* ProgressBar1;
  QStatusBar* StatusBar1;
  QMenu* F1;
  QAction* K1;
  QAction* S1;  // "変換を中止", Esc
  QAction* X1;
  QMenu* O1;    // options
  QAction* P1;  // check item: assemble polygons from their arcs
  QMenu* T1;    // output format, one radio item per format
  QActionGroup* FormatActions;
  QLabel* Label5;  // the chosen output format, beside the output folder heading
  QMenu* H1;
  QAction* H2;
  QAction* A1;
  TFolderBrowseDialog* FolderBrowseDialog1;
  TFolderBrowseDialog* FolderBrowseDialog2;
  TSaveFileDialog* SaveDialog1;  // the output file of a one-file format

 signals:
  // A run has ended and its end box (or error box) has been closed.
  void ConversionEnded();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildFormatMenu(QMenuBar* bar);
  // The format, output folder and (for a one-file format) output file of
  // the settings, from the format chosen and Edit1.
  void ReadOutputSettings(ConversionSettings& settings) const;
  // The name proposed for the output file of a one-file format.
  QString DefaultOutputFileName(const OutputFormat& format) const;
  void ShowMessage(MessageKind kind, const QString& text);
  // Shows message (a settings check's) and moves the focus for problem.
  void ShowSettingsProblem(SettingsProblem problem, const std::string& message);
  // Registers a map-data folder unless the list has it already (a warning
  // then); the one way in for "追加..." and for folders dropped on the list.
  void AddFolder(const QString& path);
  void SetConverting(bool converting);
  void OnLog(const QString& line);
  void OnWarningLog(const QString& line);
  void OnProgressRange(int maximum);
  void OnProgress(int position);
  void OnFinished(const ConversionOutcome& outcome);

  TMessageBoxes default_boxes_;
  TMessageBoxes* boxes_ = &default_boxes_;
  TConversionWorker* worker_;
  QString settings_file_;
  QString help_file_;
  TUrlOpener url_opener_ = OpenWithDesktop;
  // By name: the table may grow while the window lives, moving its rows.
  std::string format_name_ = "MIF";
  std::string run_output_file_;   // the one file of the run going on, if any
  bool polygons_chosen_ = false;  // the user set P1: formats no longer change it
  bool form_shown_ = false;
  bool converting_ = false;
  bool close_after_run_ = false;  // the user chose to stop the run and close
  bool read_only_before_ = false;
  QPointer<QWidget> focus_before_;
};

}  // namespace pelmora::gui
