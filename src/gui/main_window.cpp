#include "main_window.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
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

// Paths travel to the core as the file system's bytes (UTF-8 on Linux).
std::string ToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}
QString FromPath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(left, top, width, height);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* text, int left, int top, int width,
                  int height) {
  auto* label = Place(new QLabel(QString::fromUtf8(text), parent), name, left, top, width, height);
  // Labels size themselves to their text (the table's size is the Windows one).
  label->adjustSize();
  label->move(left, top);
  return label;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text, int left, int top) {
  auto* button = Place(new QPushButton(QString::fromUtf8(text), parent), name, left, top, 75, 21);
  button->setAutoDefault(false);
  return button;
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
      worker_(new TConversionWorker(this)),
      settings_file_(SettingsFilePath()) {
  setObjectName(QStringLiteral("frmMain"));
  setWindowIcon(AppIcon());
  setFont(WindowFont());
  BuildControls();
  BuildMenus();
  setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);

  connect(worker_, &TConversionWorker::Log, this, &TfrmMain::OnLog);
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

void TfrmMain::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);  // the button-face colour
  setCentralWidget(client);

  Label1 = MakeLabel(client, "Label1", "変換する数値地図2500(データがある親フォルダを指定します。)",
                     8, 8, 321, 12);
  ListBox1 = Place(new TFolderListBox(client), "ListBox1", 8, 24, 329, 177);
  Button1 = MakeButton(client, "Button1", "追加...", 344, 24);
  Button2 = MakeButton(client, "Button2", "削除", 344, 56);
  Button3 = MakeButton(client, "Button3", "クリア", 344, 80);
  Label2 = MakeLabel(client, "Label2", "MIFに記録する座標系", 8, 216, 112, 12);
  ComboBox1 = Place(new QComboBox(client), "ComboBox1", 8, 232, 329, 20);
  ComboBox1->setEditable(false);
  ComboBox1->setMaxVisibleItems(20);
  Label3 = MakeLabel(client, "Label3", "MIFの出力先フォルダ", 8, 264, 110, 12);
  Edit1 = Place(new QLineEdit(client), "Edit1", 8, 280, 329, 20);
  Button4 = MakeButton(client, "Button4", "参照...", 344, 280);
  GroupBox1 =
      Place(new QGroupBox(QStringLiteral("変換対象項目"), client), "GroupBox1", 8, 312, 329, 97);
  static const struct {
    const char* name;
    int left, top;
  } kBoxes[kGroupCount] = {
      {"CheckBox1", 16, 24},  {"CheckBox2", 96, 24},  {"CheckBox3", 176, 24},
      {"CheckBox4", 248, 24}, {"CheckBox5", 16, 48},  {"CheckBox6", 96, 48},
      {"CheckBox7", 176, 48}, {"CheckBox8", 248, 48}, {"CheckBox9", 16, 72},
  };
  const auto& groups = LayerGroups();
  for (int i = 0; i < kGroupCount; ++i) {
    const QString caption = QString::fromUtf8(groups[i].caption.data(),
                                              static_cast<qsizetype>(groups[i].caption.size()));
    CheckBox[i] = Place(new QCheckBox(caption, GroupBox1), kBoxes[i].name, kBoxes[i].left,
                        kBoxes[i].top, 65, 17);
  }
  Button5 = MakeButton(client, "Button5", "全選択", 344, 320);
  Button6 = MakeButton(client, "Button6", "全解除", 344, 344);
  Button7 = MakeButton(client, "Button7", "変換開始", 344, 388);
  Label4 = MakeLabel(client, "Label4", "変換ログ", 424, 8, 45, 12);
  Memo1 = Place(new QPlainTextEdit(client), "Memo1", 424, 24, 361, 361);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setReadOnly(false);
  Memo1->setTabChangesFocus(true);  // Tab moves on, as in a Windows memo
  {
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    Memo1->setPalette(pal);
  }
  ProgressBar1 = Place(new QProgressBar(client), "ProgressBar1", 424, 392, 361, 17);
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  StatusBar1 = Place(new QStatusBar(client), "StatusBar1", 0, 413, 793, 19);
  StatusBar1->setSizeGripEnabled(false);

  // Tab order 0 to 11 and 14 (the progress bar takes no focus).
  QWidget* order[] = {ListBox1,    Button1,     Button2,     Button3,     ComboBox1,
                      Edit1,       Button4,     CheckBox[0], CheckBox[1], CheckBox[2],
                      CheckBox[3], CheckBox[4], CheckBox[5], CheckBox[6], CheckBox[7],
                      CheckBox[8], Button5,     Button6,     Button7,     Memo1};
  for (size_t i = 0; i + 1 < std::size(order); ++i) setTabOrder(order[i], order[i + 1]);

  FolderBrowseDialog1 = new TFolderBrowseDialog(this);
  FolderBrowseDialog1->setObjectName(QStringLiteral("FolderBrowseDialog1"));
  FolderBrowseDialog1->Title = QStringLiteral("数値地図2500のデータがある親フォルダ");
  FolderBrowseDialog2 = new TFolderBrowseDialog(this);
  FolderBrowseDialog2->setObjectName(QStringLiteral("FolderBrowseDialog2"));
  FolderBrowseDialog2->Title = QStringLiteral("MIFの出力先フォルダの選択");

  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TfrmMain::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TfrmMain::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TfrmMain::Button7Click);
}

void TfrmMain::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("MainMenu1"));
  bar->setNativeMenuBar(false);

  F1 = bar->addMenu(QStringLiteral("ファイル(&F)"));
  F1->setObjectName(QStringLiteral("F1"));
  K1 = F1->addAction(QStringLiteral("数値地図2500の閲覧ページへ(&K)"));
  K1->setObjectName(QStringLiteral("K1"));
  F1->addSeparator()->setObjectName(QStringLiteral("N1"));
  X1 = F1->addAction(QStringLiteral("終了(&X)"));
  X1->setObjectName(QStringLiteral("X1"));

  H1 = bar->addMenu(QStringLiteral("ヘルプ(&H)"));
  H1->setObjectName(QStringLiteral("H1"));
  H2 = H1->addAction(QStringLiteral("トピックの検索(&H)"));
  H2->setObjectName(QStringLiteral("H2"));
  H2->setShortcut(QKeySequence(Qt::Key_F1));
  H2->setShortcutContext(Qt::WindowShortcut);
  addAction(H2);  // F1 works from anywhere in the window, menu closed or not
  H1->addSeparator()->setObjectName(QStringLiteral("N2"));
  A1 = H1->addAction(QStringLiteral("バージョン情報(&A)..."));
  A1->setObjectName(QStringLiteral("A1"));

  connect(K1, &QAction::triggered, this, &TfrmMain::K1Click);
  connect(X1, &QAction::triggered, this, &TfrmMain::X1Click);
  connect(H2, &QAction::triggered, this, &TfrmMain::H2Click);
  connect(A1, &QAction::triggered, this, &TfrmMain::A1Click);
}

void TfrmMain::SetMessageBoxes(TMessageBoxes* boxes) {
  boxes_ = boxes ? boxes : &default_boxes_;
}

void TfrmMain::ShowMessage(MessageKind kind, const QString& text) {
  boxes_->Show(this, kind, CaptionOf(kind), text);
}

ConversionSettings TfrmMain::ReadSettings() const {
  ConversionSettings settings;
  for (const QString& path : ListBox1->Paths()) settings.map_folders.push_back(ToPath(path));
  settings.coordsys_index = ComboBox1->currentIndex();
  settings.output_folder = ToPath(Edit1->text());
  for (int i = 0; i < kGroupCount; ++i) settings.groups[i] = CheckBox[i]->isChecked();
  settings.jobs = 1;
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
    // The window takes no input during a run: closing waits for its end.
    event->ignore();
    QApplication::beep();
    return;
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
  const QString path = FolderBrowseDialog1->FolderName;
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

// --- Output folder, groups ---

void TfrmMain::Button4Click() {
  if (!FolderBrowseDialog2->Execute()) return;
  QString path = FolderBrowseDialog2->FolderName;
  if (!path.endsWith(QLatin1Char('/'))) path += QLatin1Char('/');
  Edit1->setText(path);
}

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

void TfrmMain::X1Click() {
  close();
}

void TfrmMain::H2Click() {
  QDesktopServices::openUrl(QUrl::fromLocalFile(help_file_));
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

void TfrmMain::ShowSettingsProblem(SettingsProblem problem) {
  const std::string_view text = SettingsProblemText(problem);
  ShowMessage(MessageKind::kWarning,
              QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  switch (problem) {
    case SettingsProblem::kNoMapFolders:
      Button1->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kBadOutputFolder:
      Edit1->setFocus(Qt::OtherFocusReason);
      break;
    case SettingsProblem::kNoGroups:
      CheckBox[0]->setFocus(Qt::OtherFocusReason);
      break;
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
    const QString amended = FromPath(check.output_folder);
    if (Edit1->text() != amended) Edit1->setText(amended);  // step 3
    settings.output_folder = check.output_folder;
  }
  if (check.problem != SettingsProblem::kNone) {
    ShowSettingsProblem(check.problem);
    return;
  }
  // Step 5.
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
                       Button4,  GroupBox1, Button5, Button6, Button7,   menuBar()};
  for (QWidget* w : inputs) w->setEnabled(!converting);
  for (QAction* a : {K1, X1, H2, A1}) a->setEnabled(!converting);
  // The log stays readable (not greyed) but takes no typing during the run.
  if (converting) {
    read_only_before_ = Memo1->isReadOnly();
    Memo1->setReadOnly(true);
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
    if (!outcome.output_folder.isEmpty()) Edit1->setText(outcome.output_folder);
    ShowSettingsProblem(outcome.problem);
  } else if (outcome.failed) {
    ShowMessage(MessageKind::kError, outcome.error_text);  // the bar keeps its position
  } else {
    ShowMessage(MessageKind::kInformation, QStringLiteral("変換が終了しました。"));  // step 8
    ProgressBar1->setValue(0);                                                       // step 9
  }
  emit ConversionEnded();
}

}  // namespace pelmora::gui
