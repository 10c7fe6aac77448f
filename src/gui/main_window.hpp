#pragma once
// The main window TfrmMain in Qt: a view over the toolkit-free window model
// (window::TfrmMain), which holds every setting, rule and the run. This class
// builds the controls, shows what the model tells it and hands the user's
// actions to the model's handlers.
#include <QMainWindow>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "core/conversion/settings.hpp"
#include "guide_viewer.hpp"
#include "main_window_model.hpp"
#include "message_boxes.hpp"
#include "window_layout.hpp"

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

class TFolderBrowseDialog;
class TFolderListBox;
class TSaveFileDialog;

using window::kPublisherPage;

class TfrmMain : public QMainWindow, private window::TMainWindowView {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = window::kClientWidth;  // the area below the menu bar
  static constexpr int kClientHeight = window::kClientHeight;

  explicit TfrmMain(QWidget* parent = nullptr);
  ~TfrmMain() override;

  // "ＭＳ Ｐゴシック" 12 pixels high, falling back to IPAPGothic.
  static QFont WindowFont();

  // The seam for modal message boxes (not owned; null restores the real ones).
  void SetMessageBoxes(TMessageBoxes* boxes);
  // The settings file of the placement (default: SettingsFilePath()).
  void SetSettingsFilePath(const QString& path) { settings_file_ = path; }
  const QString& SettingsFile() const { return settings_file_; }
  QString HelpFile() const;
  void SetHelpFile(const QString& path);
  // The seam through which the guide is handed to the desktop (default:
  // OpenWithDesktop); when it fails the window shows the guide itself.
  void SetUrlOpener(TUrlOpener opener);
  // Hears the run's reports on the conversion's thread before the window
  // shows them (tests hold a run there); null for none.
  void SetRunTap(window::TRunEvents* tap) { model_.SetRunTap(tap); }

  // The output format of the next run; MIF at every start.
  const OutputFormat& CurrentOutputFormat() const { return model_.CurrentOutputFormat(); }
  // Chooses a format by its table name, as its item in the format menu does;
  // false for a name the table does not have.
  bool SetOutputFormat(const QString& name);

  // The settings of a run as the window holds them now.
  ConversionSettings ReadSettings() const { return model_.ReadSettings(); }
  bool IsConverting() const { return model_.IsConverting(); }
  // Blocks (processing events) until a running conversion has ended and its
  // end has been shown; for tests and for the program's end.
  void WaitForConversion();

  // Handlers, by the designer's names.
  void FormCreate();
  void FormShow();
  void Button1Click() { model_.Button1Click(); }
  void Button2Click() { model_.Button2Click(); }
  void Button3Click() { model_.Button3Click(); }
  void Button4Click() { model_.Button4Click(); }
  void Button5Click() { model_.Button5Click(); }
  void Button6Click() { model_.Button6Click(); }
  void Button7Click() { model_.Button7Click(); }
  void K1Click() { model_.K1Click(); }
  void S1Click() { model_.S1Click(); }
  void X1Click() { model_.X1Click(); }
  void H2Click() { model_.H2Click(); }
  void A1Click() { model_.A1Click(); }

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
  // What the window shows of a run, as it shows it.
  void RunLogShown(const QString& line, bool warning);
  void RunProgressRangeShown(int maximum);
  void RunProgressShown(int position);

 private slots:
  // Runs the work posted from other threads (PostToUi), in the order posted.
  void RunPosted();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void BuildMenus();
  void BuildFormatMenu(QMenuBar* bar);
  void ConnectControls();
  QWidget* WidgetOf(window::Control control) const;

  // window::TMainWindowView
  void InsertFolder(int row, const std::string& path) override;
  void RemoveFolder(int row) override;
  void ClearFolders() override;
  int CurrentFolderRow() override;
  void ShowCoordSysItems(const std::vector<std::string>& names, int index) override;
  void ShowCoordSysIndex(int index) override;
  void ShowCoordSysSource(const std::string& text) override;
  void ShowOutputText(const std::string& text) override;
  void ShowGroup(int group, bool ticked) override;
  void ShowFormat(const std::string& name, const std::string& label) override;
  void ShowPolygonsAssembled(bool assembled) override;
  void ShowCaption(window::Caption caption, const std::string& text) override;
  void Enable(window::Control control, bool enabled) override;
  void Focus(window::Control control) override;
  void ClearLog() override;
  void AppendLog(const std::string& line, bool warning) override;
  void SetProgressRange(int maximum) override;
  void SetProgress(int position) override;
  void SetBusyCursor(bool busy) override;
  void RunStateChanged(bool running) override;
  void RunEnded() override;
  void ShowMessage(window::MessageKind kind, const std::string& text) override;
  bool Ask(const std::string& text) override;
  std::optional<std::string> PickFolder(window::FolderPicker picker) override;
  std::optional<std::string> PickFile(const window::FilePickerRequest& request) override;
  void OpenAddress(const std::string& address) override;
  void ShowGuide(const std::string& path) override;
  void ShowAbout(const window::AboutTexts& texts) override;
  void CloseWindow() override;
  bool IsFolder(const std::string& path) override;
  bool IsFile(const std::string& path) override;
  void PostToUi(std::function<void()> work) override;

  TMessageBoxes default_boxes_;
  TMessageBoxes* boxes_ = &default_boxes_;
  QString settings_file_;
  TUrlOpener url_opener_ = OpenWithDesktop;
  bool form_shown_ = false;
  bool busy_cursor_ = false;
  bool read_only_before_ = false;
  QPointer<QWidget> focus_before_;
  window::TfrmMain model_;
  std::mutex posted_mutex_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace pelmora::gui
