// Not a test: the driver of scripts/screenshots. Run on a real X server
// (Xvfb), it opens the program's main window, runs a conversion of the sample
// data, and saves PNG screenshots of the main window, the warning boxes, the
// folder picker and the about box, taken from the screen, for a person to
// look at.
//
//   gui_screenshots OUTPUT_FOLDER SAMPLE_MAP_DATA_FOLDER [LARGER_MAP_DATA_FOLDER]
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <functional>
#include <memory>

#include "folder_browse_dialog.hpp"
#include "folder_list.hpp"
#include "main_window.hpp"

using namespace pelmora::gui;

namespace {

QString g_out;
int g_failures = 0;

void Pause(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Saves the part of the screen under the widget's window (with a margin).
void Shoot(QWidget* widget, const QString& name, int margin = 0) {
  QWidget* window = widget->window();
  const QRect r = window->frameGeometry().adjusted(-margin, -margin, margin, margin);
  const QPixmap pm = window->screen()->grabWindow(0, r.x(), r.y(), r.width(), r.height());
  const QString path = QDir(g_out).filePath(name);
  if (pm.isNull() || !pm.save(path)) {
    std::fprintf(stderr, "screenshots: could not save %s\n", qPrintable(path));
    ++g_failures;
  } else {
    std::printf("%s\n", qPrintable(path));
  }
}

// Opens something modal with open() and shoots the modal window once it is
// up and painted, then closes it with close().
void ShootModal(const std::function<void()>& open, const QString& name,
                const std::function<void(QWidget*)>& close, const char* kind = "QDialog") {
  auto* poll = new QTimer;
  auto waited = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, waited, name, close, kind] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->inherits(kind)) {
      if ((*waited += poll->interval()) > 20000) {
        std::fprintf(stderr, "screenshots: no modal window for %s\n", qPrintable(name));
        ++g_failures;
        poll->deleteLater();
      }
      return;
    }
    poll->stop();
    poll->deleteLater();
    QTimer::singleShot(500, modal, [modal, name, close] {
      Shoot(modal, name);
      close(modal);
    });
  });
  poll->start(100);
  open();
}

void CloseDialog(QWidget* w) {
  if (auto* dialog = qobject_cast<QDialog*>(w)) dialog->done(QDialog::Rejected);
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("pelmora"));
  QApplication::setFont(TfrmMain::WindowFont());
  QTranslator qt_texts;  // as the program does
  if (qt_texts.load(QStringLiteral("qtbase_ja"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&qt_texts);
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: gui_screenshots OUTPUT_FOLDER SAMPLE_MAP_DATA_FOLDER\n");
    return 2;
  }
  g_out = QString::fromLocal8Bit(argv[1]);
  const QString sample = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
  QDir().mkpath(g_out);
  QTemporaryDir work;

  TfrmMain w;
  w.SetSettingsFilePath(work.filePath("pelmora.INI"));  // leave the user's file alone
  w.show();
  Pause(800);

  // The warning of an empty folder list, and the about box.
  ShootModal([&] { w.Button7Click(); }, QStringLiteral("warning-no-folders.png"), CloseDialog);
  ShootModal([&] { w.A1Click(); }, QStringLiteral("about.png"), CloseDialog);

  // A filled window: the sample folder, a long Japanese path, a run's log.
  QDir().mkpath(work.filePath("出力"));
  const QString long_path =
      work.filePath("利用者/ドキュメント/数値地図2500/東京都/区部/さらに長いフォルダ名");
  QDir().mkpath(long_path);
  w.ListBox1->addItem(sample);
  w.ListBox1->addItem(long_path);
  w.ListBox1->item(0)->setSelected(true);

  // The folder picker, opened on the long path.
  w.FolderBrowseDialog1->FolderName = long_path;
  ShootModal([&] { w.Button1Click(); }, QStringLiteral("folder-picker.png"), CloseDialog);

  // The duplicate warning: the picker answers with a listed folder.
  QObject::connect(w.FolderBrowseDialog1, &TFolderBrowseDialog::Opened, &w, [&](QFileDialog* fd) {
    QTimer::singleShot(300, fd, [fd, sample] {
      fd->selectFile(sample);
      static_cast<QDialog*>(fd)->accept();
    });
  });
  w.FolderBrowseDialog1->FolderName = sample;
  ShootModal([&] { w.Button1Click(); }, QStringLiteral("warning-duplicate.png"), CloseDialog,
             "QMessageBox");

  w.ComboBox1->setCurrentIndex(8);
  w.Edit1->setText(work.filePath("出力"));
  w.Button5Click();
  ShootModal(
      [&] {
        w.Button7Click();
        w.WaitForConversion();
      },
      QStringLiteral("end-box.png"), CloseDialog, "QMessageBox");
  Pause(300);
  w.ListBox1->setFocus();
  Pause(300);
  Shoot(&w, QStringLiteral("main-window.png"));

  // The window during a run of a larger data set: controls disabled, the log
  // growing, the bar moving.
  if (argc > 3) {
    const QString big = QDir(QString::fromLocal8Bit(argv[3])).absolutePath();
    w.Button3Click();
    w.ListBox1->addItem(big);
    w.Button7Click();
    // Short of the run's length (about a second): a run that ends during the
    // pause would show its end box with nobody to close it.
    Pause(300);
    if (w.IsConverting()) {
      Shoot(&w, QStringLiteral("main-window-running.png"));
    } else {
      std::fprintf(stderr, "screenshots: the run ended before its screenshot\n");
      ++g_failures;
    }
    ShootModal([&] { w.WaitForConversion(); }, QStringLiteral("end-box-large.png"), CloseDialog,
               "QMessageBox");
    // The same run stopped with "変換を中止": no box, the stop in the log.
    w.Button7Click();
    Pause(300);
    w.S1->trigger();
    w.WaitForConversion();
    Pause(300);
    Shoot(&w, QStringLiteral("main-window-stopped.png"));
  }

  // The group warning (after the trailing "/" was written back).
  w.Button6Click();
  ShootModal([&] { w.Button7Click(); }, QStringLiteral("warning-no-groups.png"), CloseDialog);
  Pause(300);
  Shoot(&w, QStringLiteral("main-window-after-warning.png"));

  w.SetSettingsFilePath(work.filePath("pelmora.INI"));
  w.close();
  return g_failures == 0 ? 0 : 1;
}
