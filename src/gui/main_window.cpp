#include "main_window.hpp"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QUrl>

#include "about_dialog.hpp"
#include "app_icon.hpp"
#include "app_paths.hpp"
#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"

namespace pelmora::gui {

namespace {

// The colour of warnings in the log: dark orange, readable on white.
const QColor kWarningColour(176, 80, 0);

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

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
      settings_file_(SettingsFilePath()),
      model_(*this) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(AppIcon());
  setFont(WindowFont());
  BuildControls();
  BuildMenus();
  ConnectControls();
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
  FormCreate();
}

TfrmMain::~TfrmMain() {
  // A run still going is asked to stop between records; wait for its thread
  // before the controls it reports to go away.
  model_.StopAndWait();
  if (busy_cursor_) QApplication::restoreOverrideCursor();
  // The controls outlive the model (they go with the window's base): what
  // they report while they are destroyed must not reach it.
  QObject* senders[] = {ListBox1->model(), ListBox1, ComboBox1, Edit1, P1, FormatActions};
  for (QObject* sender : senders) sender->disconnect(this);
  for (QCheckBox* box : CheckBox) box->disconnect(this);
}

void TfrmMain::SetMessageBoxes(TMessageBoxes* boxes) {
  boxes_ = boxes ? boxes : &default_boxes_;
}

QString TfrmMain::HelpFile() const {
  return FromCorePath(model_.HelpFile());
}

void TfrmMain::SetHelpFile(const QString& path) {
  model_.SetHelpFile(ToCorePath(path));
}

void TfrmMain::SetUrlOpener(TUrlOpener opener) {
  url_opener_ = opener ? std::move(opener) : TUrlOpener(OpenWithDesktop);
}

bool TfrmMain::SetOutputFormat(const QString& name) {
  return model_.ChooseFormat(name.toStdString());
}

void TfrmMain::WaitForConversion() {
  if (!IsConverting()) return;
  QEventLoop loop;
  connect(this, &TfrmMain::ConversionEnded, &loop, &QEventLoop::quit);
  if (IsConverting()) loop.exec();
}

// --- Program start and stop ---

void TfrmMain::FormCreate() {
  QString version;  // starts empty: "Version " alone without a version
  GetAppVersion(version);
  model_.SetAboutLines(version.toStdString(), ContactUrl().toStdString(),
                       ContactMail().toStdString());
  model_.FormCreate(ToCorePath(HelpFilePath()));
}

void TfrmMain::FormShow() {
  if (form_shown_) return;
  form_shown_ = true;
  // 1. Caption; 2.-3. the 38 coordinate systems, item 0 selected.
  setWindowTitle(QString::fromUtf8(window::kWindowCaption));
  model_.FormShow();
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
  if (!model_.CloseRequested()) {
    event->ignore();
    return;
  }
  // FormClose: save position and state; the window closes also when that fails.
  try {
    SaveFormPlacement(*this, settings_file_);
  } catch (const SettingsWriteError& e) {
    boxes_->Show(this, MessageKind::kError, CaptionOf(MessageKind::kError), e.text());
  }
  event->accept();
}

// --- The folder list, the chooser, Edit1, the groups, the format ---

void TfrmMain::InsertFolder(int row, const std::string& path) {
  ListBox1->insertItem(row, FromCorePath(path));
}

void TfrmMain::RemoveFolder(int row) {
  delete ListBox1->takeItem(row);
}

void TfrmMain::ClearFolders() {
  ListBox1->clear();
}

int TfrmMain::CurrentFolderRow() {
  return ListBox1->currentRow();
}

void TfrmMain::ShowCoordSysItems(const std::vector<std::string>& names, int index) {
  ComboBox1->clear();
  for (const std::string& name : names) ComboBox1->addItem(Utf8(name));
  ComboBox1->setCurrentIndex(index);
}

void TfrmMain::ShowCoordSysIndex(int index) {
  ComboBox1->setCurrentIndex(index);
}

void TfrmMain::ShowCoordSysSource(const std::string& text) {
  if (text.empty()) {
    StatusBar1->clearMessage();
  } else {
    StatusBar1->showMessage(Utf8(text));
  }
}

void TfrmMain::ShowOutputText(const std::string& text) {
  const QString shown = FromCorePath(text);
  if (Edit1->text() != shown) Edit1->setText(shown);
}

void TfrmMain::ShowGroup(int group, bool ticked) {
  CheckBox[group]->setChecked(ticked);
}

void TfrmMain::ShowFormat(const std::string& name, const std::string& label) {
  for (QAction* item : FormatActions->actions()) {
    item->setChecked(item->data().toString() == Utf8(name));
  }
  Label5->setText(Utf8(label));
}

void TfrmMain::ShowPolygonsAssembled(bool assembled) {
  P1->setChecked(assembled);
}

void TfrmMain::ShowCaption(window::Caption caption, const std::string& text) {
  switch (caption) {
    case window::Caption::kLabel2:
    case window::Caption::kLabel3: {
      QLabel* label = caption == window::Caption::kLabel2 ? Label2 : Label3;
      label->setText(Utf8(text));
      label->adjustSize();  // labels size themselves to their text
      break;
    }
    case window::Caption::kFolderBrowseDialog2:
      FolderBrowseDialog2->Title = Utf8(text);
      break;
  }
}

// --- Enabling and focus ---

void TfrmMain::Enable(window::Control control, bool enabled) {
  using window::Control;
  switch (control) {
    case Control::kK1:
      return K1->setEnabled(enabled);
    case Control::kS1:
      return S1->setEnabled(enabled);
    case Control::kX1:
      return X1->setEnabled(enabled);
    case Control::kH2:
      return H2->setEnabled(enabled);
    case Control::kA1:
      return A1->setEnabled(enabled);
    case Control::kP1:
      return P1->setEnabled(enabled);
    case Control::kFormatMenu:
      return FormatActions->setEnabled(enabled);
    default:
      if (QWidget* widget = WidgetOf(control)) widget->setEnabled(enabled);
  }
}

void TfrmMain::Focus(window::Control control) {
  if (QWidget* widget = WidgetOf(control)) widget->setFocus(Qt::OtherFocusReason);
}

QWidget* TfrmMain::WidgetOf(window::Control control) const {
  using window::Control;
  switch (control) {
    case Control::kListBox1:
      return ListBox1;
    case Control::kButton1:
      return Button1;
    case Control::kButton2:
      return Button2;
    case Control::kButton3:
      return Button3;
    case Control::kComboBox1:
      return ComboBox1;
    case Control::kEdit1:
      return Edit1;
    case Control::kButton4:
      return Button4;
    case Control::kGroupBox1:
      return GroupBox1;
    case Control::kCheckBox1:
      return CheckBox[0];
    case Control::kButton5:
      return Button5;
    case Control::kButton6:
      return Button6;
    case Control::kButton7:
      return Button7;
    case Control::kMemo1:
      return Memo1;
    default:
      return nullptr;
  }
}

// --- The run ---

void TfrmMain::ClearLog() {
  Memo1->clear();
}

void TfrmMain::AppendLog(const std::string& line, bool warning) {
  // Every line gets its own format, so that a warning's colour stays on the
  // warning's line alone.
  QTextCursor cursor(Memo1->document());
  cursor.movePosition(QTextCursor::End);
  if (!Memo1->document()->isEmpty()) cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  QTextCharFormat format;
  if (warning) format.setForeground(kWarningColour);
  const QString text = Utf8(line);
  cursor.insertText(text, format);
  Memo1->verticalScrollBar()->setValue(Memo1->verticalScrollBar()->maximum());
  emit RunLogShown(text, warning);
}

void TfrmMain::SetProgressRange(int maximum) {
  // A range of 0 to 0 would make Qt's bar a busy indicator: an empty bar.
  ProgressBar1->setRange(0, maximum > 0 ? maximum : 1);
  emit RunProgressRangeShown(maximum);
}

void TfrmMain::SetProgress(int position) {
  ProgressBar1->setValue(position);
  emit RunProgressShown(position);
}

void TfrmMain::SetBusyCursor(bool busy) {
  if (busy == busy_cursor_) return;
  busy_cursor_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void TfrmMain::RunStateChanged(bool running) {
  // The log stays readable (not greyed) and its text can be selected and
  // copied, but it takes no typing during the run; the focus goes back where
  // it was.
  if (running) {
    focus_before_ = focusWidget();  // the window's own, active or not
    read_only_before_ = Memo1->isReadOnly();
    Memo1->setReadOnly(true);
    Memo1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  } else {
    Memo1->setReadOnly(read_only_before_);
    if (focus_before_ && focus_before_->isEnabled()) focus_before_->setFocus(Qt::OtherFocusReason);
    focus_before_.clear();
  }
}

void TfrmMain::RunEnded() {
  emit ConversionEnded();
}

}  // namespace pelmora::gui
