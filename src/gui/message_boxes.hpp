#pragma once
// The one seam through which the window shows its modal message boxes: the
// program installs TMessageBoxes (real QMessageBox dialogs), tests install
// their own subclass that records and answers them.
#include <QString>

#include "window_view.hpp"

class QWidget;

namespace pelmora::gui {

// The program title (the caption of error boxes) and the kinds of box, as
// the window model names them.
using window::kProgramTitle;
using window::MessageKind;

class TMessageBoxes {
 public:
  virtual ~TMessageBoxes() = default;
  // Shows a modal box over owner and returns when the user closed it.
  virtual void Show(QWidget* owner, MessageKind kind, const QString& caption, const QString& text);
  // Shows a modal kQuestion box over owner; true when the user answered
  // "はい". "いいえ" is the default button, so Enter does not agree by accident.
  virtual bool Ask(QWidget* owner, const QString& text);
};

// The caption of a kind of box ("警告", "情報", the program title, "確認").
QString CaptionOf(MessageKind kind);

}  // namespace pelmora::gui
