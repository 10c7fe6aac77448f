// TFolderBrowseDialog over Qt's folder chooser.
#include "folder_browse_dialog.hpp"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

#include "gui_test_support.hpp"
#include "main_window.hpp"

using namespace pelmora::gui;
using pelmora::gui::test::AnswerPicker;

class FolderBrowseDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  QString Make(const QString& name) {
    const QString path = QDir::cleanPath(dir_.filePath(name));
    QDir().mkpath(path);
    return path;
  }

 private slots:
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  void defaults() {
    QWidget owner;
    TFolderBrowseDialog d(&owner);
    QCOMPARE(d.FolderName, QString());
    QCOMPARE(d.DisplayName, QString());
    QCOMPARE(d.Title, QString("フォルダの選択"));
    QCOMPARE(int(d.Options), 0x001D);
    QCOMPARE(d.RootStyle, TFolderBrowseDialog::rsNone);
    QCOMPARE(d.parent(), &owner);  // the owner frees it
  }

  void executeConfirmsAFolder() {
    QWidget owner;
    owner.show();
    TFolderBrowseDialog d(&owner);
    d.Title = "数値地図2500のデータがある親フォルダ";
    const QString folder = Make("maps/東京");
    bool looked = false;
    AnswerPicker(&d, folder, [&](QFileDialog* fd) {
      looked = true;
      QCOMPARE(fd->windowTitle(), d.Title);  // the title is the prompt
      QVERIFY(fd->isModal());
      QCOMPARE(fd->parentWidget(), &owner);  // modal over its owner
      QCOMPARE(fd->fileMode(), QFileDialog::Directory);
      QVERIFY(fd->testOption(QFileDialog::ShowDirsOnly));
      auto* edit = fd->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(edit && edit->isEnabled() && !edit->isReadOnly());  // an editable path
      QVERIFY(fd->findChild<QLabel*>("StatusText"));
    });
    QVERIFY(d.Execute());
    QVERIFY(looked);
    QCOMPARE(d.FolderName, folder);
    QCOMPARE(d.DisplayName, QString("東京"));
  }

  void reopensOnLastChoiceAndKeepsItOnCancel() {
    QWidget owner;
    TFolderBrowseDialog d(&owner);
    const QString first = Make("a/first");
    AnswerPicker(&d, first);
    QVERIFY(d.Execute());
    QCOMPARE(d.FolderName, first);

    // Opens on the folder chosen last; the status line shows its full path.
    QString opened_on, status;
    AnswerPicker(&d, QString(), [&](QFileDialog* fd) {
      opened_on = fd->selectedFiles().value(0);
      status = fd->findChild<QLabel*>("StatusText")->text();
    });
    QVERIFY(!d.Execute());          // cancelled
    QCOMPARE(d.FolderName, first);  // kept
    QCOMPARE(QDir::cleanPath(opened_on), first);
    QCOMPARE(status, first);

    // Pressing OK at once confirms the same folder again.
    AnswerPicker(&d, pelmora::gui::test::kAcceptAsIs);
    QVERIFY(d.Execute());
    QCOMPARE(d.FolderName, first);
  }

  void deletedFolderIsNotPreselected() {
    QWidget owner;
    TFolderBrowseDialog d(&owner);
    const QString gone = Make("b/gone");
    AnswerPicker(&d, gone);
    QVERIFY(d.Execute());
    QVERIFY(QDir(gone).removeRecursively());
    QString opened_on;
    AnswerPicker(&d, QString(), [&](QFileDialog* fd) { opened_on = fd->selectedFiles().value(0); });
    QVERIFY(!d.Execute());
    QVERIFY(QDir::cleanPath(opened_on) != gone);
    QCOMPARE(d.FolderName, gone);  // still the old path
  }

  void statusLineFollowsSelection() {
    QWidget owner;
    TFolderBrowseDialog d(&owner);
    const QString folder = Make("c/状態");
    QString status;
    AnswerPicker(&d, QString(), [&](QFileDialog* fd) {
      fd->setDirectory(QFileInfo(folder).absolutePath());
      emit fd->currentChanged(folder);
      status = fd->findChild<QLabel*>("StatusText")->text();
    });
    QVERIFY(!d.Execute());
    QCOMPARE(status, folder);
  }

  void windowInstancesAreIndependent() {
    TfrmMain w;
    QCOMPARE(w.FolderBrowseDialog1->Title, QString("数値地図2500のデータがある親フォルダ"));
    QCOMPARE(w.FolderBrowseDialog2->Title, QString("MIFの出力先フォルダの選択"));
    QCOMPARE(int(w.FolderBrowseDialog1->Options), 0x001D);
    QCOMPARE(int(w.FolderBrowseDialog2->Options), 0x001D);
    const QString one = Make("d/one");
    const QString two = Make("d/two");
    AnswerPicker(w.FolderBrowseDialog1, one);
    QVERIFY(w.FolderBrowseDialog1->Execute());
    AnswerPicker(w.FolderBrowseDialog2, two);
    QVERIFY(w.FolderBrowseDialog2->Execute());
    QString opened1, opened2;
    AnswerPicker(w.FolderBrowseDialog1, QString(),
                 [&](QFileDialog* fd) { opened1 = fd->selectedFiles().value(0); });
    QVERIFY(!w.FolderBrowseDialog1->Execute());
    AnswerPicker(w.FolderBrowseDialog2, QString(),
                 [&](QFileDialog* fd) { opened2 = fd->selectedFiles().value(0); });
    QVERIFY(!w.FolderBrowseDialog2->Execute());
    QCOMPARE(QDir::cleanPath(opened1), one);
    QCOMPARE(QDir::cleanPath(opened2), two);
  }

  void rootFolderIsKept() {
    QWidget owner;
    TFolderBrowseDialog d(&owner);
    AnswerPicker(&d, "/");
    QVERIFY(d.Execute());
    QCOMPARE(d.FolderName, QString("/"));
  }
};

QTEST_MAIN(FolderBrowseDialogTest)
#include "folder_browse_dialog_test.moc"
