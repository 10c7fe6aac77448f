#include "message_boxes.hpp"

#include <QMessageBox>
#include <QPushButton>

namespace pelmora::gui {

namespace {

QMessageBox::Icon IconOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return QMessageBox::Warning;
    case MessageKind::kInformation:
      return QMessageBox::Information;
    case MessageKind::kQuestion:
      return QMessageBox::Question;
    case MessageKind::kError:
      break;
  }
  return QMessageBox::Critical;
}

// Sets up box as a kind of box with its caption and its text, without buttons.
void Prepare(QMessageBox& box, MessageKind kind, const QString& caption, const QString& text) {
  // The texts keep their exact characters; only for display a line feed
  // followed by a carriage return (the duplicate-folder warning) is one line
  // break, as the Windows message box shows it.
  QString shown = text;
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  box.setIcon(IconOf(kind));
  box.setWindowTitle(caption);
  box.setText(shown);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
}

}  // namespace

QString CaptionOf(MessageKind kind) {
  return QString::fromUtf8(window::BoxCaption(kind));
}

void TMessageBoxes::Show(QWidget* owner, MessageKind kind, const QString& caption,
                         const QString& text) {
  QMessageBox box(owner);
  Prepare(box, kind, caption, text);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

bool TMessageBoxes::Ask(QWidget* owner, const QString& text) {
  QMessageBox box(owner);
  Prepare(box, MessageKind::kQuestion, CaptionOf(MessageKind::kQuestion), text);
  QPushButton* yes = box.addButton(QStringLiteral("はい"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("いいえ"), QMessageBox::NoRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

}  // namespace pelmora::gui
