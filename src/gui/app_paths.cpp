#include "app_paths.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>
#include <QWidget>
#include <climits>

#include "placement_rules.hpp"

#ifndef PELMORA_VERSION
#define PELMORA_VERSION ""
#endif
// The installed documentation folder relative to the installed program's.
#ifndef PELMORA_GUIDE_FROM_BINDIR
#define PELMORA_GUIDE_FROM_BINDIR "../share/doc/pelmora"
#endif

namespace pelmora::gui {

namespace {

QString WriteErrorText(const QString& path) {
  return QString::fromStdString(window::SettingsWriteMessage(path.toStdString()));
}

// The lines of a profile file; empty when it cannot be read.
QStringList ReadLines(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return {};
  QString text = QString::fromUtf8(f.readAll());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QStringList lines = text.split(QLatin1Char('\n'));
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  return lines;
}

// The section name of a "[name]" line, or a null string for any other line.
QString SectionOf(const QString& line) {
  const QString t = line.trimmed();
  if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
    return t.mid(1, t.size() - 2).trimmed();
  }
  return QString();
}

// True when line is "key=..." for the given key; sets *value to the text
// after "=", blanks trimmed.
bool KeyLine(const QString& line, const QString& key, QString* value) {
  const int eq = line.indexOf(QLatin1Char('='));
  if (eq < 0) return false;
  if (line.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0) return false;
  if (value) *value = line.mid(eq + 1).trimmed();
  return true;
}

}  // namespace

// The settings file as the window model's profile: the small reader and
// writer of this file.
class IniProfile : public window::TProfile {
 public:
  explicit IniProfile(QString file) : file_(std::move(file)) {}
  std::optional<std::string> Read(std::string_view section, std::string_view key) override {
    const QString value = ReadProfileString(file_, Q(section), Q(key), QString());
    if (value.isNull()) return std::nullopt;
    return value.toStdString();
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    return WriteProfileString(file_, Q(section), Q(key), Q(value));
  }

 private:
  static QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  }
  QString file_;
};

SettingsWriteError::SettingsWriteError(const QString& path)
    : std::runtime_error(WriteErrorText(path).toStdString()), path_(path) {}

QString SettingsWriteError::text() const {
  return WriteErrorText(path_);
}

QString ExtractFolder(const QString& path) {
  return QString::fromStdString(window::ExtractFolder(path.toStdString()));
}

QString ExtractBaseName(const QString& path) {
  return QString::fromStdString(window::ExtractBaseName(path.toStdString()));
}

namespace {

QString AppFilePath() {
  QString path;
  if (QCoreApplication::instance()) path = QCoreApplication::applicationFilePath();
  if (path.isEmpty()) path = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
  return path;
}

}  // namespace

std::string ToCorePath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QString FromCorePath(const std::string& path) {
  return QFile::decodeName(QByteArray::fromStdString(path));
}

QString GetAppFolder() {
  return ExtractFolder(AppFilePath());
}

QString HelpFilePath() {
  return HelpFilePath(GetAppFolder());
}

QString HelpFilePath(const QString& app_folder) {
  const QString name = QStringLiteral("Pelmora.html");
  const QString beside = app_folder + name;
  if (QFileInfo::exists(beside)) return beside;
  const QString installed =
      QDir::cleanPath(app_folder + QStringLiteral(PELMORA_GUIDE_FROM_BINDIR "/") + name);
  return QFileInfo::exists(installed) ? installed : beside;
}

QString SettingsFilePath() {
  // The program's folder of an install is not the user's to write on Linux:
  // the user's configuration folder, where there is one.
  const QString user_folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  return QString::fromStdString(window::SettingsFilePath(
      AppFilePath().toStdString(), user_folder.isEmpty(), user_folder.toStdString()));
}

QString ReadProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& def) {
  bool in_section = false;
  for (const QString& line : ReadLines(file)) {
    const QString s = SectionOf(line);
    if (!s.isNull()) {
      in_section = s.compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    QString value;
    if (in_section && KeyLine(line, key, &value)) return value;
  }
  return def;
}

bool ParseProfileInt(const QString& text, int* value) {
  const std::optional<int> parsed = window::ParseProfileInt(text.toStdString());
  if (parsed) *value = *parsed;
  return parsed.has_value();
}

int ReadProfileInt(const QString& file, const QString& section, const QString& key, int def) {
  int value = def;
  if (!ParseProfileInt(ReadProfileString(file, section, key, QString()), &value)) return def;
  return value;
}

bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value) {
  if (!QDir().mkpath(QFileInfo(file).absolutePath())) return false;
  QStringList lines = ReadLines(file);
  const QString entry = key + QLatin1Char('=') + value;
  int section_line = -1;
  int insert_at = -1;  // after the last non-empty line of the section
  bool done = false;
  for (int i = 0; i < lines.size() && !done; ++i) {
    const QString s = SectionOf(lines[i]);
    if (!s.isNull()) {
      if (section_line >= 0) break;  // the next section begins
      if (s.compare(section, Qt::CaseInsensitive) == 0) {
        section_line = i;
        insert_at = i + 1;
      }
      continue;
    }
    if (section_line < 0) continue;
    if (KeyLine(lines[i], key, nullptr)) {
      lines[i] = entry;
      done = true;
    } else if (!lines[i].trimmed().isEmpty()) {
      insert_at = i + 1;
    }
  }
  if (!done) {
    if (section_line < 0) {
      if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) lines << QString();
      lines << QLatin1Char('[') + section + QLatin1Char(']') << entry;
    } else {
      lines.insert(insert_at, entry);
    }
  }
  QSaveFile out(file);
  if (!out.open(QIODevice::WriteOnly)) return false;
  out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
  return out.commit();
}

void SaveFormPlacement(QWidget& window) {
  SaveFormPlacement(window, SettingsFilePath());
}

void SaveFormPlacement(QWidget& window, const QString& ini_path) {
  // 1. The state; 2. a window not in the normal state is hidden, then set
  // to normal; 3.-6. the keys the state calls for.
  window::WindowPlacement placement{window.x(), window.y(), window.width(), window.height(),
                                    window::WindowState::kNormal};
  if (window.isMinimized()) {
    placement.state = window::WindowState::kMinimised;
  } else if (window.isMaximized()) {
    placement.state = window::WindowState::kMaximised;
  }
  if (placement.state != window::WindowState::kNormal) {
    window.hide();
    window.setWindowState(Qt::WindowNoState);
  }
  IniProfile profile(ini_path);
  if (!window::SaveFormPlacement(placement, profile)) throw SettingsWriteError(ini_path);
}

void LoadFormPlacement(QWidget& window) {
  LoadFormPlacement(window, SettingsFilePath());
}

void LoadFormPlacement(QWidget& window, const QString& ini_path) {
  IniProfile profile(ini_path);
  const window::WindowPlacement placement = window::LoadFormPlacement(profile);
  window.move(placement.left, placement.top);
  window.resize(placement.width, placement.height);
  switch (placement.state) {
    case window::WindowState::kMaximised:
      window.setWindowState(Qt::WindowMaximized);
      break;
    case window::WindowState::kMinimised:
      window.setWindowState(Qt::WindowMinimized);
      break;
    case window::WindowState::kNormal:
      window.setWindowState(Qt::WindowNoState);
      break;
  }
}

void GetAppVersion(QString& version) {
  const QString v = QString::fromUtf8(PELMORA_VERSION);
  if (!v.isEmpty()) version = v;
}

}  // namespace pelmora::gui
