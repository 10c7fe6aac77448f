#pragma once
// A view of the window model that records what the model shows and answers
// its boxes and pickers from the test; work posted to the user-interface
// thread waits in a queue until the test runs it.
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>

#include "folder_rules.hpp"
#include "main_window_model.hpp"

namespace pelmora::window::test {

// A path of the cases, written with "/", in the separators of the system
// built for ("\" on Windows): the rules' cases hold on both.
inline std::string Native(std::string path) {
  for (char& c : path) {
    if (c == '/') c = kPathSeparator;
  }
  return path;
}

// A one-file format for the tests, registered beside MIF.
inline const OutputFormat& OneFileFormat() {
  static const OutputFormat* format = [] {
    OutputFormat f;
    f.name = "TESTPKG";
    f.description = "one file for the whole run";
    f.extension = ".tpkg";
    f.open_file = [](const std::string&) -> std::unique_ptr<RunOutput> { return nullptr; };
    RegisterOutputFormat(std::move(f));
    return FindOutputFormat("TESTPKG");
  }();
  return *format;
}

struct ShownMessage {
  MessageKind kind;
  std::string text;
};

class FakeView : public TMainWindowView {
 public:
  void InsertFolder(int row, const std::string& path) override {
    if (refuse_insert) throw std::runtime_error("行を挿入できません");
    folders.insert(folders.begin() + row, path);
    if (after_insert) after_insert();  // a toolkit reporting its list back, as Qt's does
  }
  std::function<void()> after_insert;
  void RemoveFolder(int row) override { folders.erase(folders.begin() + row); }
  void ClearFolders() override { folders.clear(); }
  int CurrentFolderRow() override { return current_row; }
  void ShowCoordSysItems(const std::vector<std::string>& names, int index) override {
    coordsys_names = names;
    coordsys_index = index;
  }
  void ShowCoordSysIndex(int index) override { coordsys_index = index; }
  void ShowCoordSysSource(const std::string& text) override { coordsys_source = text; }
  void ShowOutputText(const std::string& text) override { output_text = text; }
  void ShowGroup(int group, bool ticked) override { groups[group] = ticked; }
  void ShowFormat(const std::string& name, const std::string& label) override {
    format = name;
    format_label = label;
  }
  void ShowPolygonsAssembled(bool assembled) override { polygons_assembled = assembled; }
  void ShowCaption(Caption caption, const std::string& text) override { captions[caption] = text; }
  void Enable(Control control, bool enabled) override {
    if (enabled) {
      disabled.erase(control);
    } else {
      disabled.insert(control);
    }
  }
  void Focus(Control control) override { focus = control; }
  void ClearLog() override { log.clear(); }
  void AppendLog(const std::string& line, bool warning) override {
    log.push_back((warning ? "! " : "") + line);
  }
  void SetProgressRange(int maximum) override { progress_maximum = maximum; }
  void SetProgress(int position) override { progress = position; }
  void SetBusyCursor(bool on) override { busy = on; }
  void RunEnded() override { ++runs_ended; }
  void ShowMessage(MessageKind kind, const std::string& text) override {
    messages.push_back({kind, text});
  }
  bool Ask(const std::string& text) override {
    messages.push_back({MessageKind::kQuestion, text});
    return answer;
  }
  std::optional<std::string> PickFolder(FolderPicker picker) override {
    last_picker = picker;
    return picked;
  }
  std::optional<std::string> PickFile(const FilePickerRequest& request) override {
    last_file_request = request;
    return picked;
  }
  void OpenAddress(const std::string& address) override { opened.push_back(address); }
  void ShowGuide(const std::string& path) override { opened.push_back(path); }
  void ShowAbout(const AboutTexts& texts) override { about = texts; }
  void CloseWindow() override { ++close_requests; }
  bool IsFolder(const std::string& path) override { return existing_folders.count(path) > 0; }
  bool IsFile(const std::string& path) override { return existing_files.count(path) > 0; }
  void PostToUi(std::function<void()> work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(std::move(work));
    posted_cv_.notify_all();
  }

  // Runs posted work, waiting for more, until the view has seen `ends` runs
  // end; false after a minute without.
  bool PumpUntilRunsEnded(int ends) {
    while (runs_ended < ends) {
      std::function<void()> work;
      {
        std::unique_lock<std::mutex> lock(mutex_);
        if (!posted_cv_.wait_for(lock, std::chrono::seconds(60), [&] { return !posted_.empty(); }))
          return false;
        work = std::move(posted_.front());
        posted_.pop_front();
      }
      work();
    }
    return true;
  }

  std::vector<std::string> folders;
  int current_row = -1;
  std::vector<std::string> coordsys_names;
  int coordsys_index = -1;
  std::string coordsys_source;
  std::string output_text;
  std::map<int, bool> groups;
  std::string format, format_label;
  bool polygons_assembled = false;
  std::map<Caption, std::string> captions;
  std::set<Control> disabled;
  std::optional<Control> focus;
  std::vector<std::string> log;
  int progress_maximum = 0, progress = 0;
  bool busy = false;
  int runs_ended = 0;
  std::vector<ShownMessage> messages;
  bool refuse_insert = false;  // the list is out of resources
  bool answer = false;
  std::optional<std::string> picked;
  std::optional<FolderPicker> last_picker;
  FilePickerRequest last_file_request;
  std::vector<std::string> opened;
  AboutTexts about;
  int close_requests = 0;
  std::set<std::string> existing_folders, existing_files;

 private:
  std::mutex mutex_;
  std::condition_variable posted_cv_;
  std::deque<std::function<void()>> posted_;
};

}  // namespace pelmora::window::test
