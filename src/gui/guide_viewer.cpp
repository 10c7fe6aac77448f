#include "guide_viewer.hpp"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace pelmora::gui {

bool OpenWithDesktop(const QUrl& url) {
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return false;
  return QDesktopServices::openUrl(url);
}

TGuideViewer::TGuideViewer(QWidget* owner, const QString& guide_file)
    : QDialog(owner, Qt::Window), browser_(new QTextBrowser(this)) {
  setObjectName(QStringLiteral("GuideViewer"));
  setModal(false);
  browser_->setObjectName(QStringLiteral("GuideBrowser"));
  // Anchors and other pages of the guide open here; web pages and mail
  // addresses go to the desktop, as links of the about box do.
  browser_->setOpenLinks(true);
  browser_->setOpenExternalLinks(true);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(browser_);
  // The title follows the page shown: the guide's own <title> (or its file
  // name for a Markdown guide without one).
  connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? browser_->source().fileName() : title);
  });
  // A Markdown guide is read as Markdown by its suffix, anything else as HTML.
  browser_->setSource(QUrl::fromLocalFile(guide_file));
  resize(720, 600);
}

TGuideViewer* ShowGuideViewer(QWidget* owner, const QString& guide_file) {
  // A viewer still open is raised, showing this guide; a closed one is on
  // its way out (deleted on close) and is replaced.
  TGuideViewer* viewer = nullptr;
  for (auto* open : owner->findChildren<TGuideViewer*>(Qt::FindDirectChildrenOnly)) {
    if (open->isVisible()) viewer = open;
  }
  if (!viewer) {
    viewer = new TGuideViewer(owner, guide_file);
    viewer->setAttribute(Qt::WA_DeleteOnClose);
  } else if (viewer->browser()->source() != QUrl::fromLocalFile(guide_file)) {
    viewer->browser()->setSource(QUrl::fromLocalFile(guide_file));
  }
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
  return viewer;
}

}  // namespace pelmora::gui
