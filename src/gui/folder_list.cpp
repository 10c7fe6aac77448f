#include "folder_list.hpp"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>

#include "folder_rules.hpp"

namespace pelmora::gui {

QString CutFirstFolder(const QString& folder_part) {
  return QString::fromStdString(window::CutFirstFolder(folder_part.toStdString()));
}

QString FitPathToWidth(const QString& path, const QFontMetrics& metrics, int max_width) {
  const auto width = [&metrics](std::string_view text) {
    return metrics.horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
  };
  return QString::fromStdString(window::FitPathToWidth(path.toStdString(), width, max_width));
}

QStringList DroppedFolders(const QMimeData* data) {
  QStringList folders;
  if (!data || !data->hasUrls()) return folders;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) continue;
    const QFileInfo info(url.toLocalFile());
    if (info.isDir()) folders << QDir::cleanPath(info.absoluteFilePath());
  }
  return folders;
}

QPixmap FolderIcon16() {
  const qreal dpr = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap pm(QSize(16, 16) * dpr);
  pm.setDevicePixelRatio(dpr);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor edge(0x9c, 0x7a, 0x10);
  // Back of the folder with its tab.
  QPainterPath back;
  back.moveTo(1, 3);
  back.lineTo(6, 3);
  back.lineTo(7, 4);
  back.lineTo(14, 4);
  back.lineTo(14, 13);
  back.lineTo(1, 13);
  back.closeSubpath();
  p.setPen(edge);
  p.setBrush(QColor(0xe8, 0xc0, 0x40));
  p.drawPath(back);
  // Front flap.
  p.setBrush(QColor(0xff, 0xe0, 0x70));
  p.drawRect(QRect(1, 6, 13, 7));
  p.setPen(QColor(0xff, 0xf4, 0xc0));
  p.drawLine(2, 7, 13, 7);
  return pm;
}

TFolderListDelegate::TFolderListDelegate(QListWidget* list)
    : QStyledItemDelegate(list), list_(list), icon_(FolderIcon16()) {}

QSize TFolderListDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  (void)index;
  return QSize(option.rect.width(), TFolderListBox::kRowHeight);
}

void TFolderListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
  painter->save();
  const QRect rect = option.rect;
  const QPalette& pal = option.palette;
  const bool selected = option.state & QStyle::State_Selected;
  const QPalette::ColorGroup group =
      (option.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
  const QColor background =
      selected ? pal.color(group, QPalette::Highlight) : pal.color(group, QPalette::Base);
  const QColor foreground =
      selected ? pal.color(group, QPalette::HighlightedText) : pal.color(group, QPalette::Text);
  // 2. Background.
  painter->fillRect(rect, background);
  // 3. Image 0 of ImageList1.
  painter->drawPixmap(rect.left() + 1, rect.top(), icon_);
  // 4.-5. The shortened path.
  const QFontMetrics metrics(option.font);
  const int max_width = list_->viewport()->width() - 18;
  const QString text = FitPathToWidth(index.data(Qt::DisplayRole).toString(), metrics, max_width);
  painter->setFont(option.font);
  painter->setPen(foreground);
  const QRect text_rect(rect.left() + 19, rect.top() + 2, rect.width() - 19, rect.height() - 2);
  painter->drawText(text_rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
  // 6. The focus rectangle on the current item while the list has the focus.
  if ((option.state & QStyle::State_HasFocus) && list_->hasFocus()) {
    QStyleOptionFocusRect focus;
    focus.initFrom(list_);
    focus.rect = rect;
    focus.state |= QStyle::State_KeyboardFocusChange;
    focus.backgroundColor = background;
    list_->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, list_);
  }
  painter->restore();
}

TFolderListBox::TFolderListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setSortingEnabled(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setTextElideMode(Qt::ElideNone);
  setItemDelegate(new TFolderListDelegate(this));
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DropOnly);
}

// A drag is taken only when it carries a folder, so that the pointer shows at
// once that files cannot be dropped. QListWidget's own handling is left out:
// it would insert the dragged items as rows of its model.
namespace {
bool TakeFolders(QDropEvent* event) {
  if (DroppedFolders(event->mimeData()).isEmpty()) {
    event->ignore();
    return false;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}
}  // namespace

void TFolderListBox::dragEnterEvent(QDragEnterEvent* event) {
  TakeFolders(event);
}

void TFolderListBox::dragMoveEvent(QDragMoveEvent* event) {
  TakeFolders(event);
}

void TFolderListBox::dropEvent(QDropEvent* event) {
  if (TakeFolders(event)) emit FoldersDropped(DroppedFolders(event->mimeData()));
}

int TFolderListBox::IndexOfPath(const QString& path) const {
  const std::string wanted = path.toStdString();
  for (int i = 0; i < count(); ++i) {
    if (window::SameFolder(item(i)->text().toStdString(), wanted)) return i;
  }
  return -1;
}

QStringList TFolderListBox::Paths() const {
  QStringList paths;
  for (int i = 0; i < count(); ++i) paths << item(i)->text();
  return paths;
}

}  // namespace pelmora::gui
