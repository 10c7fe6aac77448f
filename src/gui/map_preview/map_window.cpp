#include "map_window.hpp"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/mif/coordsys.hpp"
#include "core/text/cp932.hpp"
#include "main_window.hpp"
#include "map_canvas.hpp"
#include "map_load_worker.hpp"
#include "map_painter.hpp"

namespace pelmora::gui {

TMapWindow::TMapWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window), worker_(new TMapLoadWorker(this)) {
  setObjectName(QStringLiteral("MapWindow"));
  setWindowTitle(QStringLiteral("地図プレビュー"));
  resize(1000, 680);
  layers_ = new QListWidget;
  layers_->setObjectName(QStringLiteral("LayerList"));
  canvas_ = new TMapCanvas;
  message_ = new QLabel;
  message_->setObjectName(QStringLiteral("MapMessage"));
  message_->setAlignment(Qt::AlignCenter);
  message_->setWordWrap(true);
  message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  stack_ = new QStackedWidget;
  stack_->addWidget(canvas_);
  stack_->addWidget(message_);
  auto* side = new QWidget;
  auto* side_layout = new QVBoxLayout(side);
  feature_caption_ = new QLabel;
  feature_caption_->setObjectName(QStringLiteral("FeatureLayer"));
  feature_caption_->setWordWrap(true);
  attributes_ = new QTableWidget(0, 2);
  attributes_->setObjectName(QStringLiteral("Attributes"));
  attributes_->setHorizontalHeaderLabels({QStringLiteral("項目"), QStringLiteral("値")});
  attributes_->horizontalHeader()->setStretchLastSection(true);
  attributes_->verticalHeader()->hide();
  attributes_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  side_layout->addWidget(feature_caption_);
  side_layout->addWidget(attributes_);
  auto* splitter = new QSplitter;
  splitter->addWidget(layers_);
  splitter->addWidget(stack_);
  splitter->addWidget(side);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({200, 560, 240});
  setCentralWidget(splitter);

  QToolBar* tools = addToolBar(QStringLiteral("表示"));
  QAction* fit = tools->addAction(QStringLiteral("全体表示"), canvas_, &TMapCanvas::FitAll);
  fit->setObjectName(QStringLiteral("FitAll"));
  position_ = new QLabel;
  position_->setObjectName(QStringLiteral("Position"));
  zone_note_ = new QLabel;
  zone_note_->setObjectName(QStringLiteral("ZoneNote"));
  zone_note_->setStyleSheet(QStringLiteral("color: #dc0000;"));
  zone_note_->hide();
  progress_ = new QProgressBar;
  progress_->setRange(0, TMapLoadWorker::kProgressMaximum);
  stop_ = new QPushButton(QStringLiteral("中止"));
  stop_->setObjectName(QStringLiteral("StopLoading"));
  statusBar()->addWidget(position_, 1);
  statusBar()->addWidget(zone_note_);
  statusBar()->addPermanentWidget(progress_);
  statusBar()->addPermanentWidget(stop_);
  SetLoading(false);

  connect(stop_, &QPushButton::clicked, worker_, &TMapLoadWorker::RequestStop);
  connect(worker_, &TMapLoadWorker::Progress, progress_, &QProgressBar::setValue);
  connect(worker_, &TMapLoadWorker::Loaded, this, &TMapWindow::ShowMap);
  connect(worker_, &TMapLoadWorker::Failed, this, &TMapWindow::OnFailed);
  connect(canvas_, &TMapCanvas::CursorMoved, this, &TMapWindow::ShowPosition);
  connect(canvas_, &TMapCanvas::FeatureClicked, this, &TMapWindow::ShowFeature);
  connect(layers_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    canvas_->SetLayerVisible(layers_->row(item), item->checkState() == Qt::Checked);
    if (!canvas_->Highlighted().Valid()) ShowFeature({});
  });
}

TMapWindow::~TMapWindow() = default;

bool TMapWindow::IsLoading() const {
  return worker_->IsRunning();
}

void TMapWindow::Load(const ConversionSettings& settings) {
  int index = settings.coordsys_index;
  zone_ = index >= 0 && index < kCoordSysCount
              ? QString::fromUtf8(CoordSysTable()[index].name.data(),
                                  static_cast<qsizetype>(CoordSysTable()[index].name.size()))
              : QString();
  if (!worker_->Start(settings)) return;
  zone_note_->hide();
  ShowMessage(QStringLiteral("地図データを読み込んでいます..."));
  SetLoading(true);
}

void TMapWindow::SetLoading(bool loading) {
  progress_->setValue(0);
  progress_->setVisible(loading);
  stop_->setVisible(loading);
}

void TMapWindow::ShowMessage(const QString& text) {
  message_->setText(text);
  stack_->setCurrentWidget(message_);
}

void TMapWindow::ShowMap(std::shared_ptr<render::MapScene> scene) {
  SetLoading(false);
  canvas_->SetScene(std::move(scene));
  FillLayerList();
  ShowZoneNote();
  ShowFeature({});
  if (canvas_->scene()->Extent().Empty())
    ShowMessage(QStringLiteral("選択した項目の地物がありません。"));
  else
    stack_->setCurrentWidget(canvas_);
  canvas_->setFocus();
  emit LoadEnded();
}

void TMapWindow::OnFailed(const QString& text, bool stopped) {
  (void)stopped;  // a stopped read says so in its text
  SetLoading(false);
  ShowMessage(text);
  emit LoadEnded();
}

// The areas drawn flagged, named in the status bar as well: one far away
// from the others may lie outside what the user looks at.
void TMapWindow::ShowZoneNote() {
  QStringList areas;
  for (const render::FlaggedArea& area : canvas_->scene()->FlaggedAreas())
    areas << QString::fromStdString(area.name);
  zone_note_->setText(areas.isEmpty() ? QString()
                                      : render::kZoneMismatchLabel + QStringLiteral(": ") +
                                            areas.join(QStringLiteral(", ")));
  zone_note_->setVisible(!areas.isEmpty());
}

void TMapWindow::FillLayerList() {
  QSignalBlocker block(layers_);
  layers_->clear();
  for (const render::SceneLayer& layer : canvas_->scene()->layers()) {
    QPixmap swatch(14, 14);
    swatch.fill(layer.style.Swatch());
    auto* item = new QListWidgetItem(QIcon(swatch), QString::fromStdString(layer.data.caption));
    item->setToolTip(QString::fromStdString(layer.data.name) +
                     QStringLiteral(" (%1)").arg(layer.data.size()));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(layer.visible ? Qt::Checked : Qt::Unchecked);
    layers_->addItem(item);
  }
}

void TMapWindow::ShowFeature(render::FeatureRef ref) {
  attributes_->setRowCount(0);
  feature_caption_->clear();
  if (!ref.Valid() || !canvas_->scene()) return;
  const StoredLayer& layer = canvas_->scene()->layers()[ref.layer].data;
  const size_t f = static_cast<size_t>(ref.feature);
  feature_caption_->setText(QString::fromStdString(layer.caption + " (" + layer.name + ")"));
  auto add_row = [this](const QString& name, const QString& value) {
    int row = attributes_->rowCount();
    attributes_->insertRow(row);
    attributes_->setItem(row, 0, new QTableWidgetItem(name));
    attributes_->setItem(row, 1, new QTableWidgetItem(value));
  };
  for (size_t i = 0; i < layer.columns.size(); ++i) {
    std::string value = Cp932ToUtf8Lossy(layer.Value(f, i));
    add_row(QString::fromStdString(layer.columns[i]), QString::fromStdString(value));
  }
  add_row(QStringLiteral("ファイル"), QString::fromStdString(std::string(layer.File(f))) +
                                          QStringLiteral(" %1行目").arg(layer.Line(f)));
  attributes_->resizeColumnToContents(0);
}

void TMapWindow::ShowPosition(double x, double y) {
  position_->setText(
      QStringLiteral("X %1 m  Y %2 m  %3").arg(x, 0, 'f', 2).arg(y, 0, 'f', 2).arg(zone_));
}

QMenu* AddMapPreviewMenu(TfrmMain& window, QMenuBar* bar) {
  QMenu* menu = bar->addMenu(QStringLiteral("表示(&V)"));
  menu->setObjectName(QStringLiteral("V1"));
  QAction* preview = menu->addAction(QStringLiteral("地図プレビュー..."));
  preview->setObjectName(QStringLiteral("MapPreview"));
  QObject::connect(preview, &QAction::triggered, &window, [&window] {
    auto* map = window.findChild<TMapWindow*>(QStringLiteral("MapWindow"));
    if (!map) {
      map = new TMapWindow(&window);
      map->setAttribute(Qt::WA_DeleteOnClose);
    }
    map->show();
    map->raise();
    map->activateWindow();
    map->Load(window.ReadSettings());
  });
  return menu;
}

}  // namespace pelmora::gui
