// TfrmMain's boxes, pickers and desktop requests, as the window model asks
// for them: the message-box seam, the two folder pickers and the output-file
// picker, the publisher's page, the guide, the about box, and the hand-over
// of the run's reports to the user-interface thread.
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "about_dialog.hpp"
#include "app_paths.hpp"
#include "folder_browse_dialog.hpp"
#include "main_window.hpp"
#include "save_file_dialog.hpp"

namespace pelmora::gui {

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TfrmMain::ShowMessage(window::MessageKind kind, const std::string& text) {
  boxes_->Show(this, kind, CaptionOf(kind), Utf8(text));
}

bool TfrmMain::Ask(const std::string& text) {
  return boxes_->Ask(this, Utf8(text));
}

std::optional<std::string> TfrmMain::PickFolder(window::FolderPicker picker) {
  TFolderBrowseDialog* dialog = picker == window::FolderPicker::kFolderBrowseDialog1
                                    ? FolderBrowseDialog1
                                    : FolderBrowseDialog2;
  if (!dialog->Execute()) return std::nullopt;
  return ToCorePath(dialog->FolderName);
}

std::optional<std::string> TfrmMain::PickFile(const window::FilePickerRequest& request) {
  SaveDialog1->Title = Utf8(request.title);
  SaveDialog1->Filter = Utf8(request.filter);
  SaveDialog1->Suffix = Utf8(request.suffix);
  SaveDialog1->FileName = FromCorePath(request.file_name);
  if (!SaveDialog1->Execute()) return std::nullopt;
  return ToCorePath(SaveDialog1->FileName);
}

void TfrmMain::OpenAddress(const std::string& address) {
  QDesktopServices::openUrl(QUrl(Utf8(address)));
}

void TfrmMain::ShowGuide(const std::string& path) {
  const QString file = FromCorePath(path);
  // The browser shows the guide where there is one; otherwise the window's
  // own viewer does, rather than nothing at all.
  if (!url_opener_(QUrl::fromLocalFile(file))) ShowGuideViewer(this, file);
}

void TfrmMain::ShowAbout(const window::AboutTexts& texts) {
  TdlgAbout about(this, texts);
  about.exec();
  about.hide();
}

void TfrmMain::CloseWindow() {
  close();
}

bool TfrmMain::IsFolder(const std::string& path) {
  return QFileInfo(FromCorePath(path)).isDir();
}

bool TfrmMain::IsFile(const std::string& path) {
  return QFileInfo(FromCorePath(path)).isFile();
}

// The work waits in the window's own queue, handed over under its own lock:
// Qt carries only the call by name that empties the queue, and nothing of
// the work itself (whose hand-over Qt would order with its own atomics, out
// of sight of a thread checker).
void TfrmMain::PostToUi(std::function<void()> work) {
  bool first = false;
  {
    std::lock_guard lock(posted_mutex_);
    first = posted_.empty();
    posted_.push_back(std::move(work));
  }
  if (first) QMetaObject::invokeMethod(this, "RunPosted", Qt::QueuedConnection);
}

// One at a time, so that work that opens a modal box (whose event loop may
// run this again) leaves the rest in order in the queue.
void TfrmMain::RunPosted() {
  for (;;) {
    std::function<void()> work;
    {
      std::lock_guard lock(posted_mutex_);
      if (posted_.empty()) return;
      work = std::move(posted_.front());
      posted_.pop_front();
    }
    work();
  }
}

}  // namespace pelmora::gui
