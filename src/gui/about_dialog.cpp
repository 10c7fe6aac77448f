#include "about_dialog.hpp"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

#include "app_icon.hpp"
#include "main_window.hpp"
#include "window_layout.hpp"

namespace pelmora::gui {

QString ContactUrl() {
  return QString::fromStdString(window::ContactUrl());
}
QString ContactMail() {
  return QString::fromStdString(window::ContactMail());
}

TLinkLabel::TLinkLabel(const QString& text, const QString& target, QWidget* parent)
    : QLabel(text, parent), target_(target) {
  QFont f = font();
  f.setUnderline(true);
  setFont(f);
  QPalette pal = palette();
  pal.setColor(QPalette::WindowText, Qt::blue);
  setPalette(pal);
  setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
    emit clicked();
  }
}

namespace {

QString Utf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QPoint PlaceOf(const char* name) {
  const window::ControlPlace& place = window::AboutControlPlace(name);
  return QPoint(place.left, place.top);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QLatin1String(name));
  label->move(PlaceOf(name));
  label->adjustSize();  // labels size themselves to their text
  return label;
}

}  // namespace

TdlgAbout::TdlgAbout(QWidget* owner, const QString& url, const QString& mail)
    : TdlgAbout(owner, window::MakeAboutTexts({}, url.toStdString(), mail.toStdString())) {}

TdlgAbout::TdlgAbout(QWidget* owner, const window::AboutTexts& texts)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("dlgAbout"));
  setWindowTitle(Utf8(texts.caption));
  setFont(TfrmMain::WindowFont());
  setFixedSize(kClientWidth, kClientHeight);
  setModal(true);

  Image2 = new QLabel(this);
  Image2->setObjectName(QStringLiteral("Image2"));
  const window::ControlPlace& image = window::AboutControlPlace("Image2");
  Image2->setGeometry(image.left, image.top, image.width, image.height);
  Image2->setPixmap(AppIconPixmap(32));

  Label1 = MakeLabel(this, "Label1", Utf8(texts.product));
  lblVersion = MakeLabel(this, "lblVersion", Utf8(texts.version));

  Label7 = nullptr;
  Label6 = nullptr;
  Label5 = nullptr;
  Label4 = nullptr;
  if (!texts.url.empty()) {
    Label7 = MakeLabel(this, "Label7", Utf8(texts.url_caption));
    Label6 = new TLinkLabel(Utf8(texts.url), Utf8(texts.url), this);
    Label6->setObjectName(QStringLiteral("Label6"));
    Label6->move(PlaceOf("Label6"));
    Label6->adjustSize();
    connect(Label6, &TLinkLabel::clicked, this, &TdlgAbout::Label6Click);
  }
  if (!texts.mail.empty()) {
    Label5 = MakeLabel(this, "Label5", Utf8(texts.mail_caption));
    Label4 = new TLinkLabel(Utf8(texts.mail), Utf8(texts.mail_target), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(PlaceOf("Label4"));
    Label4->adjustSize();
    connect(Label4, &TLinkLabel::clicked, this, &TdlgAbout::Label4Click);
  }

  const window::ControlPlace& ok = window::AboutControlPlace("Button1");
  Button1 = new QPushButton(QString::fromUtf8(ok.caption.data(), ok.caption.size()), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setGeometry(ok.left, ok.top, ok.width, ok.height);
  Button1->setDefault(true);  // Enter
  Button1->setAutoDefault(true);
  Button1->setFocus();
  connect(Button1, &QPushButton::clicked, this, &TdlgAbout::Button1Click);
  // Esc ends the modal loop through QDialog::reject, like the cancel button.
}

void TdlgAbout::SetVersionText(const QString& version) {
  lblVersion->setText(Utf8(window::MakeAboutTexts(version.toStdString(), {}, {}).version));
  lblVersion->adjustSize();
}

void TdlgAbout::Button1Click() {
  accept();
}

void TdlgAbout::Label6Click() {
  QDesktopServices::openUrl(QUrl(Label6->target()));
}

void TdlgAbout::Label4Click() {
  QDesktopServices::openUrl(QUrl(Label4->target()));
}

}  // namespace pelmora::gui
