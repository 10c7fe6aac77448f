// The output-format menu T1: one radio item per format of the table, each
// handing its choice to the window model, which sets Edit1, the captions and
// the polygon option by its rules.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

#include "core/conversion/output_formats.hpp"
#include "main_window.hpp"

namespace pelmora::gui {

namespace {

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void TfrmMain::BuildFormatMenu(QMenuBar* bar) {
  T1 = bar->addMenu(QStringLiteral("出力形式(&T)"));
  T1->setObjectName(QStringLiteral("T1"));
  FormatActions = new QActionGroup(this);
  FormatActions->setExclusive(true);
  for (const OutputFormat& format : OutputFormats()) {
    QAction* item = T1->addAction(Text(format.name));
    item->setObjectName(QStringLiteral("Format_") + Text(format.name));
    item->setData(Text(format.name));
    item->setStatusTip(Text(format.description));
    item->setCheckable(true);
    FormatActions->addAction(item);
  }
  connect(FormatActions, &QActionGroup::triggered, this,
          [this](QAction* item) { SetOutputFormat(item->data().toString()); });
}

}  // namespace pelmora::gui
