#pragma once
// The about box TdlgAbout: product name, version and the two
// contact lines (a web address and a mail address as link labels).
#include <QDialog>
#include <QLabel>

#include "about_texts.hpp"
#include "window_layout.hpp"

class QPushButton;

namespace pelmora::gui {

// The contact lines of the shipped program, set at build time (the window
// model's ContactUrl and ContactMail). Empty: the line and its caption are
// left out.
QString ContactUrl();
QString ContactMail();

// A label drawn in blue and underlined, with the hand cursor; a click asks
// the desktop to open its target.
class TLinkLabel : public QLabel {
  Q_OBJECT
 public:
  TLinkLabel(const QString& text, const QString& target, QWidget* parent);
  const QString& target() const { return target_; }

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QString target_;
};

class TdlgAbout : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kClientWidth = window::kAboutClientWidth;
  // The outer height of 214 pixels on Windows less its caption and borders:
  // on Linux the window manager adds its own frame to the client area.
  static constexpr int kClientHeight = 185;

  explicit TdlgAbout(QWidget* owner, const QString& url = ContactUrl(),
                     const QString& mail = ContactMail());
  // The box with the texts the window model gives.
  TdlgAbout(QWidget* owner, const window::AboutTexts& texts);

  // "Version " followed by the program's file version.
  void SetVersionText(const QString& version);

  QLabel* Image2;
  QLabel* Label1;
  QLabel* lblVersion;
  QLabel* Label7;      // "URL" (null when no web address)
  TLinkLabel* Label6;  // the web address (null when none)
  QLabel* Label5;      // "E-MAIL" (null when no mail address)
  TLinkLabel* Label4;  // the mail address (null when none)
  QPushButton* Button1;

 private:
  void Button1Click();
  void Label6Click();
  void Label4Click();
};

}  // namespace pelmora::gui
