#pragma once
// Helpers of the GUI tests: a message-box seam that records and answers the
// boxes, a fresh main window per test, and answering the folder picker.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "folder_browse_dialog.hpp"
#include "main_window.hpp"
#include "message_boxes.hpp"

namespace pelmora::gui::test {

struct ShownBox {
  MessageKind kind;
  QString caption;
  QString text;
  QString note;  // whatever the test's probe noted while the box was up
};

// Records every box instead of showing it; the box "closes" at once.
class RecordingBoxes : public TMessageBoxes {
 public:
  void Show(QWidget* owner, MessageKind kind, const QString& caption,
            const QString& text) override {
    (void)owner;
    boxes.append({kind, caption, text, probe ? probe() : QString()});
  }
  // Records a question like any box and gives the test's answer.
  bool Ask(QWidget* owner, const QString& text) override {
    Show(owner, MessageKind::kQuestion, CaptionOf(MessageKind::kQuestion), text);
    return answer;
  }
  QList<ShownBox> boxes;
  bool answer = false;             // true: "はい" to every question
  std::function<QString()> probe;  // called while the box is "up"
};

// Makes window a fresh main window that keeps its placement in
// settings_file and records its boxes into boxes (cleared first), shows it
// and waits until it is active; false when it never became active.
inline bool OpenTestWindow(std::unique_ptr<TfrmMain>& window, const QString& settings_file,
                           RecordingBoxes& boxes) {
  boxes.boxes.clear();
  boxes.probe = nullptr;
  boxes.answer = false;
  window = std::make_unique<TfrmMain>();
  window->SetSettingsFilePath(settings_file);
  window->SetMessageBoxes(&boxes);
  window->show();
  QApplication::setActiveWindow(window.get());
  return QTest::qWaitForWindowActive(window.get());
}

// The fixture of tests on the window: a scratch folder, the window of the
// test (OpenTestWindow makes it), its recorded boxes, the sample data.
class WindowTest : public QObject {
 protected:
  QTemporaryDir dir_;
  std::unique_ptr<TfrmMain> w_;
  RecordingBoxes boxes_;
  QString sample_ = QStringLiteral(PELMORA_SAMPLE_DATA);

  TfrmMain& W() { return *w_; }

  // An empty folder of that name in the scratch folder (emptied when it was
  // there); its path.
  QString Make(const QString& name) {
    const QString path = QDir::cleanPath(dir_.filePath(name));
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
  }
};

// The answer that presses OK on the picker as it opened.
inline const QString kAcceptAsIs = QStringLiteral("<accept as is>");

// Answers the next Execute of dialog (a TFolderBrowseDialog or a
// TSaveFileDialog): confirms folder (or cancels when folder is empty, or
// presses OK at once for kAcceptAsIs). check, when given, looks at the picker
// first.
template <typename Dialog>
inline void AnswerPicker(Dialog* dialog, const QString& folder,
                         std::function<void(QFileDialog*)> check = {}) {
  auto connection = std::make_shared<QMetaObject::Connection>();
  *connection = QObject::connect(dialog, &Dialog::Opened, dialog,
                                 [connection, folder, check](QFileDialog* fd) {
                                   QObject::disconnect(*connection);
                                   QTimer::singleShot(0, fd, [fd, folder, check] {
                                     if (check) check(fd);
                                     if (folder.isEmpty()) {
                                       fd->reject();
                                     } else if (folder == kAcceptAsIs) {
                                       static_cast<QDialog*>(fd)->accept();
                                     } else {
                                       fd->selectFile(folder);
                                       static_cast<QDialog*>(fd)->accept();
                                     }
                                   });
                                 });
}

}  // namespace pelmora::gui::test
