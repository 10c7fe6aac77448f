#include "about_texts.hpp"

namespace pelmora::window {

AboutTexts MakeAboutTexts(const std::string& version, const std::string& url,
                          const std::string& mail) {
  AboutTexts texts;
  texts.version = "Version " + version;
  texts.url = url;
  texts.mail = mail;
  if (!mail.empty()) texts.mail_target = "mailto:" + mail;
  return texts;
}

}  // namespace pelmora::window
