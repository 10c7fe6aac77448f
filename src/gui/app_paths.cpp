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

#ifndef PELMORA_VERSION
#define PELMORA_VERSION ""
#endif
// The installed documentation folder relative to the installed program's.
#ifndef PELMORA_GUIDE_FROM_BINDIR
#define PELMORA_GUIDE_FROM_BINDIR "../share/doc/pelmora"
#endif

namespace pelmora::gui {

namespace {

const QString kSection = QStringLiteral("Window");

QString WriteErrorText(const QString& path) {
  return QStringLiteral("%1 に書き込めません").arg(path);
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

SettingsWriteError::SettingsWriteError(const QString& path)
    : std::runtime_error(WriteErrorText(path).toStdString()), path_(path) {}

QString SettingsWriteError::text() const {
  return WriteErrorText(path_);
}

QString ExtractFolder(const QString& path) {
  const int slash = path.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return QString();
  return path.left(slash + 1);  // ends with "/" by construction
}

QString ExtractBaseName(const QString& path) {
  const QString name = path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
  const int dot = name.lastIndexOf(QLatin1Char('.'));
  return dot < 0 ? name : name.left(dot);
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
  QString folder = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
  if (folder.isEmpty()) folder = GetAppFolder();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder + ExtractBaseName(AppFilePath()) + QStringLiteral(".INI");
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
  QString t = text.trimmed();
  bool negative = false;
  if (t.startsWith(QLatin1Char('-')) || t.startsWith(QLatin1Char('+'))) {
    negative = t.startsWith(QLatin1Char('-'));
    t.remove(0, 1);
  }
  int base = 10;
  if (t.startsWith(QLatin1String("0x")) || t.startsWith(QLatin1String("0X"))) {
    base = 16;
    t.remove(0, 2);
  } else if (t.startsWith(QLatin1Char('$'))) {
    base = 16;
    t.remove(0, 1);
  }
  if (t.isEmpty()) return false;
  for (QChar c : t) {  // digits only: no blanks, signs or prefixes inside
    const bool digit = base == 10 ? (c >= u'0' && c <= u'9')
                                  : QStringLiteral("0123456789abcdefABCDEF").contains(c);
    if (!digit) return false;
  }
  bool ok = false;
  const qlonglong v = t.toLongLong(&ok, base);
  if (!ok) return false;
  const qlonglong signed_v = negative ? -v : v;
  if (base == 16 && !negative && v <= 0xFFFFFFFFLL) {
    *value = static_cast<int>(static_cast<quint32>(v));  // "$FFFFFFFF" is -1, as on Windows
    return true;
  }
  if (signed_v < INT_MIN || signed_v > INT_MAX) return false;
  *value = static_cast<int>(signed_v);
  return true;
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
  // 1. The state: 0 normal, 1 maximised, 2 minimised.
  int state = 0;
  if (window.isMinimized()) {
    state = 2;
  } else if (window.isMaximized()) {
    state = 1;
  }
  // 2. A window not in the normal state is hidden, then set to normal.
  if (state != 0) {
    window.hide();
    window.setWindowState(Qt::WindowNoState);
  }
  // 3.-6. Position and size in the normal state only, then the state.
  auto write = [&](const char* key, int value) {
    if (!WriteProfileString(ini_path, kSection, QLatin1String(key), QString::number(value))) {
      throw SettingsWriteError(ini_path);
    }
  };
  if (state == 0) {
    write("Left", window.x());
    write("Top", window.y());
    write("Width", window.width());
    write("Height", window.height());
  }
  write("State", state);
}

void LoadFormPlacement(QWidget& window) {
  LoadFormPlacement(window, SettingsFilePath());
}

void LoadFormPlacement(QWidget& window, const QString& ini_path) {
  const int left = ReadProfileInt(ini_path, kSection, QStringLiteral("Left"), 20);
  const int top = ReadProfileInt(ini_path, kSection, QStringLiteral("Top"), 20);
  window.move(left, top);
  const int width = ReadProfileInt(ini_path, kSection, QStringLiteral("Width"), 700);
  const int height = ReadProfileInt(ini_path, kSection, QStringLiteral("Height"), 500);
  window.resize(width, height);
  switch (ReadProfileInt(ini_path, kSection, QStringLiteral("State"), 0)) {
    case 1:
      window.setWindowState(Qt::WindowMaximized);
      break;
    case 2:
      window.setWindowState(Qt::WindowMinimized);
      break;
    default:
      window.setWindowState(Qt::WindowNoState);
      break;
  }
}

void GetAppVersion(QString& version) {
  const QString v = QString::fromUtf8(PELMORA_VERSION);
  if (!v.isEmpty()) version = v;
}

}  // namespace pelmora::gui
