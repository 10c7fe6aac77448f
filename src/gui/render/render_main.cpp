// pelmora-render: draws Digital Map 2500 folders into a PNG picture, the
// same map as the window's preview, without a display.
// Exit status: 0 done, 1 data or disk error, 2 usage or settings.
#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>
#include <sstream>

#include "core/conversion/data_zone.hpp"
#include "core/errors.hpp"
#include "core/mif/coordsys.hpp"
#include "map_loader.hpp"
#include "map_painter.hpp"
#include "usage/usage_texts.hpp"

namespace {

using pelmora::render::Box;

struct Options {
  std::vector<std::string> folders;
  std::string output, layers, size = "1200x900", bbox;
  // "auto": the zone the map-sheet files name, as the converter takes it.
  std::string coordsys = "auto";
};

int UsageError(const std::string& message) {
  return pelmora::usage::UsageError("pelmora-render", message);
}

bool ParseSize(const std::string& text, QSize& size) {
  int width = 0, height = 0;
  char x = 0, rest = 0;
  if (std::sscanf(text.c_str(), "%d%c%d%c", &width, &x, &height, &rest) != 3 || x != 'x')
    return false;
  if (width < 16 || height < 16 || width > 16384 || height > 16384) return false;
  size = QSize(width, height);
  return true;
}

bool ParseBox(const std::string& text, Box& box) {
  std::istringstream in(text);
  double v[4];
  char comma;
  for (int i = 0; i < 4; ++i) {
    if (!(in >> v[i]) || !std::isfinite(v[i])) return false;
    if (i < 3 && (!(in >> comma) || comma != ',')) return false;
  }
  if (in >> comma) return false;
  box = {v[0], v[1], v[2], v[3]};
  return v[0] < v[2] && v[1] < v[3];
}

bool ParseGroups(const std::string& list, std::array<bool, pelmora::kGroupCount>& groups) {
  groups.fill(list.empty());
  std::istringstream in(list);
  for (std::string name; std::getline(in, name, ',');) {
    int index = pelmora::FindLayerGroup(name);
    if (index < 0) return false;
    groups[index] = true;
  }
  return true;
}

int Render(const Options& options, QSize size, const Box* bbox,
           pelmora::ConversionSettings settings) {
  pelmora::ConversionObserver quiet;
  pelmora::render::LoadResult loaded;
  try {
    loaded = pelmora::render::LoadLayers(std::move(settings), quiet);
  } catch (const pelmora::ConversionError& e) {
    std::cerr << pelmora::DescribeError(e) << "\n";
    return 1;
  }
  if (loaded.problem != pelmora::SettingsProblem::kNone) {
    std::cerr << pelmora::SettingsProblemMessage(loaded.problem, loaded.problem_folder) << "\n";
    return 2;
  }
  pelmora::render::MapScene scene(std::move(loaded.layers), loaded.flagged_areas);
  if (!bbox && scene.Extent().Empty())
    std::cerr << "pelmora-render: フォルダに描く地物がありません。\n";
  pelmora::render::ViewTransform view;
  view.SetSize(size);
  view.Fit(bbox ? *bbox : scene.Extent());
  QImage image(size, QImage::Format_RGB32);
  {
    QPainter painter(&image);
    pelmora::render::DrawView(painter, scene, view);
  }
  if (!image.save(QString::fromStdString(options.output), "PNG")) {
    std::cerr << "pelmora-render: 画像「" << options.output << "」を書き込めません。\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"数値地図2500のフォルダの地図を PNG 画像に描きます。", "pelmora-render"};
  pelmora::usage::UseJapaneseTexts(app, "pelmora-render " PELMORA_VERSION);
  Options options;
  app.add_option("-o,--output", options.output, "書き出す PNG ファイル");
  app.add_option("DATAFOLDER", options.folders,
                 "地域ごとのサブフォルダを収めた数値地図2500のフォルダ");
  app.add_option("--layers", options.layers, "描くレイヤーグループ、コンマ区切り (既定はすべて)");
  app.add_option("--size", options.size, "画像の大きさ (ピクセル)、幅x高さ (既定 1200x900)");
  app.add_option("--bbox", options.bbox, "表示する平面の範囲: 最小x,最小y,最大x,最大y (メートル)");
  pelmora::ConversionSettings settings;
  app.add_option("--coordsys", options.coordsys,
                 "データの座標系: auto (既定。図郭のファイルが示す系) または番号 0-37。"
                 "ほかの系の地域には印を付けます");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  if (options.output.empty()) return UsageError("書き出す PNG ファイル (-o) を指定してください。");
  if (options.folders.empty())
    return UsageError("数値地図2500のフォルダ (DATAFOLDER) を1つ以上指定してください。");
  QSize size;
  if (!ParseSize(options.size, size))
    return UsageError("--size は 幅x高さ で、それぞれ 16 から 16384 までです。");
  Box bbox;
  if (!options.bbox.empty() && !ParseBox(options.bbox, bbox))
    return UsageError("--bbox は 最小x,最小y,最大x,最大y で、最小は最大より小さくします。");
  const std::optional<int> coordsys = pelmora::ParseCoordSysChoice(options.coordsys);
  if (!coordsys) return UsageError("--coordsys は auto または 0 から 37 までの番号です。");
  settings.coordsys_index = *coordsys;
  settings.map_folders = options.folders;
  if (!ParseGroups(options.layers, settings.groups))
    return UsageError("「" + options.layers + "」に知らないレイヤーグループがあります。");
  // Drawing text needs a GUI application, but never a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  return Render(options, size, options.bbox.empty() ? nullptr : &bbox, std::move(settings));
}
