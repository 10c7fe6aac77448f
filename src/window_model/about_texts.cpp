#include "about_texts.hpp"

#ifndef PELMORA_CONTACT_URL
#define PELMORA_CONTACT_URL ""
#endif
#ifndef PELMORA_CONTACT_MAIL
#define PELMORA_CONTACT_MAIL ""
#endif

namespace pelmora::window {

std::string ContactUrl() {
  return PELMORA_CONTACT_URL;
}

std::string ContactMail() {
  return PELMORA_CONTACT_MAIL;
}

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
