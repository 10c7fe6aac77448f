#include "message_boxes.hpp"

#include <QMessageBox>
#include <QPushButton>

namespace pelmora::gui {

QString CaptionOf(MessageKind kind) {
  switch (kind) {
    case MessageKind::kWarning:
      return QStringLiteral("警告");
    case MessageKind::kInformation:
      return QStringLiteral("情報");
    case MessageKind::kError:
      break;
  }
  return QString::fromUtf8(kProgramTitle);
}

void TMessageBoxes::Show(QWidget* owner, MessageKind kind, const QString& caption,
                         const QString& text) {
  QMessageBox::Icon icon = QMessageBox::Critical;
  if (kind == MessageKind::kWarning) icon = QMessageBox::Warning;
  if (kind == MessageKind::kInformation) icon = QMessageBox::Information;
  // The texts keep their exact characters; only for display a line feed
  // followed by a carriage return (the duplicate-folder warning) is one line
  // break, as the Windows message box shows it.
  QString shown = text;
  shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  QMessageBox box(icon, caption, shown, QMessageBox::NoButton, owner);
  box.setObjectName(QStringLiteral("MessageBox"));
  box.setTextFormat(Qt::PlainText);
  box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
  box.exec();
}

}  // namespace pelmora::gui
