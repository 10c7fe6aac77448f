#pragma once
// The program's own viewer of the user guide, for when no browser can show
// it (no desktop session, no program registered for the file): a window with
// the guide's HTML or Markdown, its links followed inside, web links handed
// to the desktop.
#include <QDialog>
#include <QUrl>
#include <functional>

class QTextBrowser;

namespace pelmora::gui {

// Asks the desktop to open a web address or file; false when it cannot.
using TUrlOpener = std::function<bool(const QUrl&)>;

// QDesktopServices::openUrl, but false at once where there is no desktop
// session to open anything in (Qt's offscreen and minimal platforms), where
// openUrl would start a helper that shows nothing.
bool OpenWithDesktop(const QUrl& url);

class TGuideViewer : public QDialog {
  Q_OBJECT
 public:
  // A window of its own (not modal) over owner, showing the guide file.
  TGuideViewer(QWidget* owner, const QString& guide_file);

  QTextBrowser* browser() const { return browser_; }

 private:
  QTextBrowser* browser_;
};

// Shows the guide in the viewer of owner, made on first use and raised
// afterwards; returns it.
TGuideViewer* ShowGuideViewer(QWidget* owner, const QString& guide_file);

}  // namespace pelmora::gui
