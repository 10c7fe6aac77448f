#pragma once
// The map-data folder list ListBox1 (several selection, a current
// item, owner-drawn 16-pixel rows with a folder icon and a shortened path) and
// the path shortening FitPathToWidth / CutFirstFolder.
//
// On Linux a path has no drive part and "/" is its only separator; QString
// works in whole characters, so a Japanese folder name never splits.
#include <QListWidget>
#include <QPixmap>
#include <QStyledItemDelegate>

class QFontMetrics;
class QMimeData;

namespace pelmora::gui {

// The window model's path shortening (folder_rules) on Qt's texts and fonts.
// Cuts the first folder off a folder part: "/data/maps/" gives "/.../maps/",
// "/.../maps/" gives "/.../", ".../" gives "", "/" gives "".
QString CutFirstFolder(const QString& folder_part);

// The text to show for path in max_width pixels of the given font: leading
// folders give way to ".../" until the text fits or only the name is left.
// "/data/maps/tokyo" becomes "/.../maps/tokyo", "/.../tokyo", ".../tokyo",
// "tokyo", stopping at the first that fits.
QString FitPathToWidth(const QString& path, const QFontMetrics& metrics, int max_width);

// The folders among what a drag from the file manager carries: its local
// paths that are existing folders, cleaned and absolute as the folder picker
// returns them, in the order dragged. Files, other addresses and plain text
// give nothing.
QStringList DroppedFolders(const QMimeData* data);

// ImageList1: image 0, a yellow closed folder of 16 x 16 pixels on a
// transparent background.
QPixmap FolderIcon16();

// ListBox1DrawItem: fills the row, draws the folder icon at Rect.Left + 1,
// Rect.Top and the shortened path at Rect.Left + 19, Rect.Top + 2.
class TFolderListDelegate : public QStyledItemDelegate {
 public:
  explicit TFolderListDelegate(QListWidget* list);
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 private:
  QListWidget* list_;
  QPixmap icon_;
};

// ListBox1: plain path items in the order added, several selection with
// Shift and Ctrl, rows of 16 pixels drawn by TFolderListDelegate. It accepts
// a drag that carries folders and hands them on through FoldersDropped; the
// window registers them as "追加..." does.
class TFolderListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TFolderListBox(QWidget* parent = nullptr);

  // The index of the item naming the same folder as path (letter case
  // ignored on Windows only), or -1.
  int IndexOfPath(const QString& path) const;
  QStringList Paths() const;

  static constexpr int kRowHeight = 16;

 signals:
  // Folders were dropped onto the list (DroppedFolders, never empty).
  void FoldersDropped(const QStringList& folders);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
};

}  // namespace pelmora::gui
