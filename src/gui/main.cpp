// pelmora: the desktop window of Pelmora Converter.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstring>
#include <exception>
#include <iostream>

#include "main_window.hpp"
#include "message_boxes.hpp"
#ifdef PELMORA_WITH_GDAL
#include "gdal/gdal_module_loader.hpp"
#endif

namespace {

// The event loop: a failure that a handler does not handle is
// shown in an error box captioned with the program title, and the program
// goes on.
class TApplication : public QApplication {
 public:
  using QApplication::QApplication;

  bool notify(QObject* receiver, QEvent* event) override {
    try {
      return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
      ShowFailure(QString::fromUtf8(e.what()));
    } catch (...) {
      ShowFailure(QStringLiteral("不明なエラー"));
    }
    return false;
  }

 private:
  static void ShowFailure(const QString& text) {
    pelmora::gui::TMessageBoxes().Show(activeWindow(), pelmora::gui::MessageKind::kError,
                                       pelmora::gui::CaptionOf(pelmora::gui::MessageKind::kError),
                                       text);
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  // --version answers before Qt looks for a display, so it works anywhere.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::cout << "pelmora " PELMORA_VERSION "\n";
      return 0;
    }
  }
#ifdef PELMORA_WITH_GDAL
  pelmora::gdal::OfferGdalFormats();
#endif
  TApplication app(argc, argv);
  // The settings file lies in ~/.config/pelmora/ (AppConfigLocation).
  QApplication::setApplicationName(QStringLiteral("pelmora"));
  QApplication::setApplicationVersion(QStringLiteral(PELMORA_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("pelmora"));
  // Step 1: the program title; it is the caption of the error boxes. (Qt's
  // application display name is not set to it: on X11 Qt would append it to
  // every window caption.)
  QApplication::setFont(pelmora::gui::TfrmMain::WindowFont());
  // The window speaks Japanese; so do Qt's own dialogs when their
  // translation is installed (qt6-translations-l10n).
  QTranslator qt_texts;
  if (qt_texts.load(QStringLiteral("qtbase_ja"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }

  pelmora::gui::TfrmMain window;  // step 2, FormCreate
  window.show();                  // step 3, FormShow before it becomes visible
  return app.exec();
}
