#pragma once
// The program's own folder, base name and version, and the main
// window's position and state in the settings file (QrSysUtils).
//
// Linux stands in for the Windows platform interfaces as follows:
// - paths use "/" as their only separator (no drive part, ":" is an ordinary
//   character);
// - the settings file keeps its name rule (program base name + ".INI") and its
//   format (section "Window", five decimal keys) but lies in the user's
//   configuration folder (QStandardPaths::AppConfigLocation), because the
//   program's folder is not writable on Linux;
// - the profile-file functions are the small reader and writer below;
// - the version "resource" is the project version compiled in (PELMORA_VERSION).
#include <QString>
#include <stdexcept>
#include <string>

class QWidget;

namespace pelmora::gui {

// The error of a settings file that cannot be written: "%s に書き込めません".
class SettingsWriteError : public std::runtime_error {
 public:
  explicit SettingsWriteError(const QString& path);
  const QString& path() const { return path_; }
  QString text() const;  // the message as the user sees it (UTF-16)

 private:
  QString path_;
};

// The path's folder part with a trailing "/" (empty when it has no "/").
QString ExtractFolder(const QString& path);

// The path's file name without folder and extension:
// "/opt/pelmora/pelmora" gives "pelmora", "archive.tar.gz" gives "archive.tar".
QString ExtractBaseName(const QString& path);

// Paths travel to and from the core as the file system's bytes (UTF-8 on
// Linux).
std::string ToCorePath(const QString& path);
QString FromCorePath(const std::string& path);

// The folder of the running program's file, ending with "/".
QString GetAppFolder();

// The user guide Pelmora.html: beside the program (the build tree), or else in
// the documentation folder that an install puts at guide_dir_from_bin
// relative to the program's folder (../share/doc/pelmora from bin/). When
// neither file exists, the path beside the program.
QString HelpFilePath();
QString HelpFilePath(const QString& app_folder);

// The settings file: the user's configuration folder for the program, "/",
// the program file's base name, ".INI".
QString SettingsFilePath();

// Profile-file functions. A value is read as a signed decimal integer, or as
// hexadecimal when it begins with "0x", "0X" or "$"; a missing file, section
// or key, or text that is no integer gives def. Section and key names compare
// without regard to letter case, as the Windows profile functions do.
QString ReadProfileString(const QString& file, const QString& section, const QString& key,
                          const QString& def);
int ReadProfileInt(const QString& file, const QString& section, const QString& key, int def);
// Writes key=value into section, creating the folder, the file and the
// section as needed and keeping every other line. Returns false on failure.
bool WriteProfileString(const QString& file, const QString& section, const QString& key,
                        const QString& value);

// Parses a profile integer (decimal, "0x"/"0X"/"$" hexadecimal); false when the
// text is no integer.
bool ParseProfileInt(const QString& text, int* value);

// Writes the window's position (normal state only) and state to the section
// "Window" of the settings file. Throws SettingsWriteError when the file cannot
// be written. A window that is not in the normal state is hidden and set to
// the normal state first.
void SaveFormPlacement(QWidget& window);
void SaveFormPlacement(QWidget& window, const QString& ini_path);

// Restores position, size and state from the settings file (defaults 20, 20,
// 700, 500, normal).
void LoadFormPlacement(QWidget& window);
void LoadFormPlacement(QWidget& window, const QString& ini_path);

// Sets version to the program's file version; leaves it as it was when the
// program carries none.
void GetAppVersion(QString& version);

}  // namespace pelmora::gui
