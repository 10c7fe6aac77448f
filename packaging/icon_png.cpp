// pelmora-icon-png OUTDIR SIZE...: writes the program's icon as
// OUTDIR/<size>x<size>/apps/pelmora.png for each size, the layout of the
// hicolor icon theme. Runs at build time without a display.
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "app_icon.hpp"

int main(int argc, char* argv[]) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pelmora-icon-png OUTDIR SIZE...\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString out = QString::fromLocal8Bit(argv[1]);
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size <= 0) {
      std::fprintf(stderr, "pelmora-icon-png: bad size '%s'\n", argv[i]);
      return 2;
    }
    const QString dir = QStringLiteral("%1/%2x%2/apps").arg(out).arg(size);
    const QString file = dir + QStringLiteral("/pelmora.png");
    if (!QDir().mkpath(dir) || !pelmora::gui::AppIconPixmap(size).save(file, "PNG")) {
      std::fprintf(stderr, "pelmora-icon-png: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
