// The layout of TfrmMain: its controls at their places with their captions
// and tab order, its folder pickers and its menus.
#include <QAction>
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

#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"
#include "main_window.hpp"
#include "map_window.hpp"
#include "save_file_dialog.hpp"

namespace pelmora::gui {

namespace {

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
  // The output format, right-aligned on the heading's line above the edit's
  // right end, clear of the heading.
  Label5 = Place(new QLabel(client), "Label5", 128, 264, 209, 14);
  Label5->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
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
  SaveDialog1 = new TSaveFileDialog(this);
  SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));

  connect(Button1, &QPushButton::clicked, this, &TfrmMain::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &TfrmMain::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TfrmMain::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &TfrmMain::Button4Click);
  connect(Button5, &QPushButton::clicked, this, &TfrmMain::Button5Click);
  connect(Button6, &QPushButton::clicked, this, &TfrmMain::Button6Click);
  connect(Button7, &QPushButton::clicked, this, &TfrmMain::Button7Click);
  connect(ListBox1, &TFolderListBox::FoldersDropped, this, [this](const QStringList& folders) {
    for (const QString& folder : folders) AddFolder(folder);
  });
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
  // It follows the output format's default until the user sets it.
  connect(P1, &QAction::triggered, this, [this] { polygons_chosen_ = true; });

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
  connect(S1, &QAction::triggered, this, &TfrmMain::S1Click);
  connect(X1, &QAction::triggered, this, &TfrmMain::X1Click);
  connect(H2, &QAction::triggered, this, &TfrmMain::H2Click);
  connect(A1, &QAction::triggered, this, &TfrmMain::A1Click);
}

}  // namespace pelmora::gui
