// The layout of TfrmMain: its controls at the places of the shared layout
// table with their captions and tab order, its folder pickers and its menus
// (the output-format menu among them), and the signals that hand the user's
// actions to the window model.
#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include "app_paths.hpp"
#include "core/conversion/output_formats.hpp"
#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"
#include "main_window.hpp"
#include "map_window.hpp"
#include "save_file_dialog.hpp"
#include "window_layout.hpp"

namespace pelmora::gui {

namespace {

const window::ControlPlace& Spot(std::string_view name) {
  return *window::FindControlPlace(name);
}

QString Utf8(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString CaptionOf(const window::ControlPlace& place) {
  return QString::fromUtf8(place.caption.data(), static_cast<qsizetype>(place.caption.size()));
}

template <typename W>
W* Place(W* widget, std::string_view name) {
  const window::ControlPlace& place = Spot(name);
  widget->setObjectName(QString::fromLatin1(place.name.data(), place.name.size()));
  widget->setGeometry(place.left, place.top, place.width, place.height);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, std::string_view name) {
  auto* label = Place(new QLabel(CaptionOf(Spot(name)), parent), name);
  // Labels size themselves to their text (the table's size is the Windows one).
  label->adjustSize();
  label->move(Spot(name).left, Spot(name).top);
  return label;
}

QPushButton* MakeButton(QWidget* parent, std::string_view name) {
  auto* button = Place(new QPushButton(CaptionOf(Spot(name)), parent), name);
  button->setAutoDefault(false);
  return button;
}

}  // namespace

void TfrmMain::BuildControls() {
  auto* client = new QWidget(this);
  client->setObjectName(QStringLiteral("ClientArea"));
  client->setFixedSize(kClientWidth, kClientHeight);
  client->setAutoFillBackground(true);  // the button-face colour
  setCentralWidget(client);

  Label1 = MakeLabel(client, "Label1");
  ListBox1 = Place(new TFolderListBox(client), "ListBox1");
  Button1 = MakeButton(client, "Button1");
  Button2 = MakeButton(client, "Button2");
  Button3 = MakeButton(client, "Button3");
  Label2 = MakeLabel(client, "Label2");
  ComboBox1 = Place(new QComboBox(client), "ComboBox1");
  ComboBox1->setEditable(false);
  ComboBox1->setMaxVisibleItems(20);
  Label3 = MakeLabel(client, "Label3");
  Edit1 = Place(new QLineEdit(client), "Edit1");
  Button4 = MakeButton(client, "Button4");
  Label5 = Place(new QLabel(client), "Label5");
  Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  GroupBox1 = Place(new QGroupBox(CaptionOf(Spot("GroupBox1")), client), "GroupBox1");
  for (int i = 0; i < kGroupCount; ++i) {
    const window::ControlPlace& place = window::GroupCheckBoxes()[i];
    CheckBox[i] = Place(new QCheckBox(CaptionOf(place), GroupBox1), place.name);
  }
  Button5 = MakeButton(client, "Button5");
  Button6 = MakeButton(client, "Button6");
  Button7 = MakeButton(client, "Button7");
  Label4 = MakeLabel(client, "Label4");
  Memo1 = Place(new QPlainTextEdit(client), "Memo1");
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  // A line wider than the pane (a long subfolder name) is read by scrolling
  // sideways; the bar shows only while such a line is there.
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setReadOnly(false);
  Memo1->setTabChangesFocus(true);  // Tab moves on, as in a Windows memo
  {
    QPalette pal = Memo1->palette();
    pal.setColor(QPalette::Base, pal.color(QPalette::Button));
    Memo1->setPalette(pal);
  }
  ProgressBar1 = Place(new QProgressBar(client), "ProgressBar1");
  ProgressBar1->setRange(0, 100);
  ProgressBar1->setValue(0);
  ProgressBar1->setTextVisible(false);
  StatusBar1 = Place(new QStatusBar(client), "StatusBar1");
  StatusBar1->setSizeGripEnabled(false);

  // Tab order 0 to 11 and 14 (the progress bar takes no focus).
  QWidget* previous = nullptr;
  for (std::string_view name : window::TabOrder()) {
    auto* widget = client->findChild<QWidget*>(QString::fromLatin1(name.data(), name.size()));
    if (previous) setTabOrder(previous, widget);
    previous = widget;
  }

  FolderBrowseDialog1 = new TFolderBrowseDialog(this);
  FolderBrowseDialog1->setObjectName(QStringLiteral("FolderBrowseDialog1"));
  FolderBrowseDialog1->Title = QString::fromUtf8(window::kFolderBrowseDialog1Title);
  FolderBrowseDialog2 = new TFolderBrowseDialog(this);
  FolderBrowseDialog2->setObjectName(QStringLiteral("FolderBrowseDialog2"));
  SaveDialog1 = new TSaveFileDialog(this);
  SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
}

void TfrmMain::ConnectControls() {
  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TfrmMain::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TfrmMain::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TfrmMain::Button7Click);
  connect(ListBox1, &TFolderListBox::FoldersDropped, this, [this](const QStringList& folders) {
    for (const QString& folder : folders) model_.AddFolder(ToCorePath(folder));
  });
  // What the user (or a test) changes in the controls reaches the model.
  const auto folders_edited = [this] {
    std::vector<std::string> folders;
    for (const QString& path : ListBox1->Paths()) folders.push_back(ToCorePath(path));
    model_.FoldersEdited(folders);
  };
  connect(ListBox1->model(), &QAbstractItemModel::rowsInserted, this, folders_edited);
  connect(ListBox1->model(), &QAbstractItemModel::rowsRemoved, this, folders_edited);
  connect(ListBox1->model(), &QAbstractItemModel::modelReset, this, folders_edited);
  connect(ListBox1->model(), &QAbstractItemModel::dataChanged, this, folders_edited);
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          [this](int index) { model_.CoordSysChosen(index); });
  connect(Edit1, &QLineEdit::textChanged, this,
          [this](const QString& text) { model_.OutputTextEdited(ToCorePath(text)); });
  for (int i = 0; i < kGroupCount; ++i) {
    connect(CheckBox[i], &QCheckBox::toggled, this,
            [this, i](bool ticked) { model_.GroupEdited(i, ticked); });
  }
  // It follows the output format's default until the user sets it.
  connect(P1, &QAction::toggled, this, [this](bool checked) { model_.PolygonsEdited(checked); });
  connect(P1, &QAction::triggered, this, [this](bool checked) { model_.PolygonsChosen(checked); });
  connect(K1, &QAction::triggered, this, &TfrmMain::K1Click);
  connect(S1, &QAction::triggered, this, &TfrmMain::S1Click);
  connect(X1, &QAction::triggered, this, &TfrmMain::X1Click);
  connect(H2, &QAction::triggered, this, &TfrmMain::H2Click);
  connect(A1, &QAction::triggered, this, &TfrmMain::A1Click);
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
  // Stops a running conversion; Esc does the same from anywhere in the window.
  // Usable only while a run goes on.
  S1 = F1->addAction(QStringLiteral("変換を中止"));
  S1->setObjectName(QStringLiteral("S1"));
  S1->setShortcut(QKeySequence(Qt::Key_Escape));
  S1->setShortcutContext(Qt::WindowShortcut);
  S1->setEnabled(false);
  addAction(S1);
  X1 = F1->addAction(QStringLiteral("終了(&X)"));
  X1->setObjectName(QStringLiteral("X1"));

  AddMapPreviewMenu(*this, bar);  // "表示(V)", between the two specified menus
  BuildFormatMenu(bar);
  // Polygons as valid rings with holes and parts instead of the one ring
  // chained from every arc; by default as the command line has it for the
  // output format (unticked for MIF).
  O1 = bar->addMenu(QStringLiteral("オプション(&O)"));
  O1->setObjectName(QStringLiteral("O1"));
  P1 = O1->addAction(QStringLiteral("ポリゴンを穴と複数部分に組み立てる(&P)"));
  P1->setObjectName(QStringLiteral("P1"));
  P1->setCheckable(true);

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
}

// The output-format menu T1: one radio item per format of the table.
void TfrmMain::BuildFormatMenu(QMenuBar* bar) {
  T1 = bar->addMenu(QStringLiteral("出力形式(&T)"));
  T1->setObjectName(QStringLiteral("T1"));
  FormatActions = new QActionGroup(this);
  FormatActions->setExclusive(true);
  for (const OutputFormat& format : OutputFormats()) {
    QAction* item = T1->addAction(Utf8(format.name));
    item->setObjectName(QStringLiteral("Format_") + Utf8(format.name));
    item->setData(Utf8(format.name));
    item->setStatusTip(Utf8(format.description));
    item->setCheckable(true);
    FormatActions->addAction(item);
  }
  connect(FormatActions, &QActionGroup::triggered, this,
          [this](QAction* item) { SetOutputFormat(item->data().toString()); });
}

}  // namespace pelmora::gui
