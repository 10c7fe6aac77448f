#pragma once
// The texts of the about box TdlgAbout: product name, version line and the
// two contact lines, with the targets their link labels open.
#include <string>

namespace pelmora::window {

inline constexpr char kProgramTitle[] = "Pelmorix Converter";  // also the error boxes' caption
inline constexpr char kWindowCaption[] = "Pelmora Converter";
inline constexpr char kAboutCaption[] = "バージョン情報";

struct AboutTexts {
  std::string caption = kAboutCaption;
  std::string product = kProgramTitle;  // Label1
  std::string version;                  // lblVersion: "Version " and the file version
  // The contact lines; an empty address leaves its line and caption out.
  std::string url_caption = "URL";      // Label7
  std::string url;                      // Label6, opened as it stands
  std::string mail_caption = "E-MAIL";  // Label5
  std::string mail;                     // Label4
  std::string mail_target;              // "mailto:" and the mail address
};

// The contact lines this build was configured with (the CMake cache
// variables PELMORA_CONTACT_URL and PELMORA_CONTACT_MAIL; empty: left out),
// the same for every window.
std::string ContactUrl();
std::string ContactMail();

// The about box's texts for a program of file version version (empty when
// the program carries none: "Version " alone) and the given contact lines.
AboutTexts MakeAboutTexts(const std::string& version, const std::string& url,
                          const std::string& mail);

}  // namespace pelmora::window
