#include "map_window.hpp"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/conversion/settings.hpp"
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
  layers_ = new QTreeWidget;
  layers_->setObjectName(QStringLiteral("LayerList"));
  layers_->setHeaderHidden(true);
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
  // One line per value: a long one is cut with "…" (its tooltip holds it
  // whole) rather than wrapped, which left a name's last character alone on
  // a second line that the row's height hid.
  attributes_->setWordWrap(false);
  attributes_->setTextElideMode(Qt::ElideRight);
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
  connect(layers_, &QTreeWidget::itemChanged, this, &TMapWindow::OnLayerTicked);
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
  KeepHiddenLayers(*scene);
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

// A layer's item holds its index in the scene; a group's item holds none.
constexpr int kLayerRole = Qt::UserRole;

// The scene keeps its layers in drawing order, grouped: the list shows them
// from the last drawn down, so that a layer higher in the list lies above
// one lower, as in a GIS. A group's box ticks or clears all of its layers.
void TMapWindow::FillLayerList() {
  QSignalBlocker block(layers_);
  layers_->clear();
  const std::vector<render::SceneLayer>& layers = canvas_->scene()->layers();
  std::vector<QTreeWidgetItem*> groups(kGroupCount, nullptr);
  for (int l = static_cast<int>(layers.size()) - 1; l >= 0; --l) {
    const render::SceneLayer& layer = layers[l];
    const int group = layer.style.group;
    QTreeWidgetItem* parent = nullptr;
    if (group >= 0 && group < kGroupCount) {
      if (!groups[group]) {
        const std::string_view caption = LayerGroups()[group].caption;
        groups[group] =
            new QTreeWidgetItem(layers_, {QString::fromUtf8(caption.data(), caption.size())});
        groups[group]->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable |
                                Qt::ItemIsAutoTristate);
      }
      parent = groups[group];
    }
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(layers_);
    QPixmap swatch(14, 14);
    swatch.fill(layer.style.Swatch());
    item->setIcon(0, QIcon(swatch));
    item->setText(0, QString::fromStdString(layer.data.caption));
    item->setToolTip(0, QString::fromStdString(layer.data.name) +
                            QStringLiteral(" (%1)").arg(layer.data.size()));
    item->setData(0, kLayerRole, l);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
    item->setCheckState(0, layer.visible ? Qt::Checked : Qt::Unchecked);
  }
  layers_->expandAll();
}

QTreeWidgetItem* TMapWindow::LayerItem(int layer) const {
  for (QTreeWidgetItemIterator it(layers_); *it; ++it) {
    QVariant index = (*it)->data(0, kLayerRole);
    if (index.isValid() && index.toInt() == layer) return *it;
  }
  return nullptr;
}

// A group's box changes its layers' boxes, each of which comes here too.
void TMapWindow::OnLayerTicked(QTreeWidgetItem* item) {
  QVariant index = item->data(0, kLayerRole);
  if (!index.isValid() || !canvas_->scene()) return;
  const int layer = index.toInt();
  const bool visible = item->checkState(0) == Qt::Checked;
  const std::string& name = canvas_->scene()->layers()[layer].data.name;
  if (visible)
    hidden_.erase(name);
  else
    hidden_.insert(name);
  canvas_->SetLayerVisible(layer, visible);
  if (!canvas_->Highlighted().Valid()) ShowFeature({});
}

void TMapWindow::KeepHiddenLayers(render::MapScene& scene) const {
  for (size_t l = 0; l < scene.layers().size(); ++l)
    if (hidden_.count(scene.layers()[l].data.name)) scene.SetVisible(static_cast<int>(l), false);
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
  for (int row = 0; row < attributes_->rowCount(); ++row)
    attributes_->item(row, 1)->setToolTip(attributes_->item(row, 1)->text());
  attributes_->resizeColumnToContents(0);
}

// Named by direction, not as X and Y: the plane rectangular system's own
// convention calls the northing X and the easting Y, the map's (and the MIF
// file's) the other way round.
void TMapWindow::ShowPosition(double x, double y) {
  position_->setText(QStringLiteral("東西(E) %1 m  南北(N) %2 m  %3")
                         .arg(x, 0, 'f', 2)
                         .arg(y, 0, 'f', 2)
                         .arg(zone_));
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
