// pelmora-preview-bench [--repeats N] [--jobs N] [--mif-seconds S] [--coordsys N]
// MAPFOLDER: the figures of the map preview on a data set, with the window's
// own loading, index and drawing code: how long reading the map takes (the
// engine into memory with as many jobs as the window reads it with, the
// drawing index and the first level of tiles, each timed), the first picture
// of the whole map, a scripted sequence of pans and zooms drawn into an image
// of a window's size while the tiles' threads draw what the views ask for,
// the answer to clicks, and the memory the map holds against the size of its
// vertices. --coordsys is the entry the data's zone needs, as a user would
// choose it. Each figure is printed with its target; a target missed is
// reported, never an error.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "core/errors.hpp"
#include "hit_test.hpp"
#include "map_loader.hpp"
#include "map_painter.hpp"
#include "map_scene.hpp"
#include "tile_cache.hpp"
#include "view_transform.hpp"

namespace {

using namespace pelmora::render;
using Clock = std::chrono::steady_clock;

const QSize kWindow(1280, 800);

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

const char* Verdict(bool met) {
  return met ? "met" : "NOT met";
}

// A figure of /proc/self/status in bytes ("VmRSS", "VmHWM"); 0 when unknown.
double StatusBytes(const std::string& key) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);)
    if (line.rfind(key + ":", 0) == 0) return std::atof(line.c_str() + key.size() + 1) * 1024;
  return 0;
}

// How long each step of loading took.
struct LoadSeconds {
  double engine = 0, scene = 0, tiles = 0;
  double Total() const { return engine + scene + tiles; }
};

// Reads the map of folder as the window does, every group, and builds its
// drawing index and first level of tiles: the load worker's whole job, before
// the window shows anything.
std::unique_ptr<MapScene> Load(const std::string& folder, int jobs, int coordsys,
                               LoadSeconds& seconds) {
  pelmora::ConversionSettings settings;
  settings.map_folders = {folder};
  settings.coordsys_index = coordsys;
  settings.groups.fill(true);
  settings.jobs = jobs;
  pelmora::ConversionObserver quiet;
  Clock::time_point start = Clock::now();
  LoadResult result = LoadLayers(std::move(settings), quiet);
  if (result.problem != pelmora::SettingsProblem::kNone)
    throw std::runtime_error(
        pelmora::SettingsProblemMessage(result.problem, result.problem_folder));
  seconds.engine = SecondsSince(start);
  start = Clock::now();
  auto scene =
      std::make_unique<MapScene>(std::move(result.layers), std::move(result.flagged_areas));
  seconds.scene = SecondsSince(start);
  start = Clock::now();
  BuildOverview(*scene);
  seconds.tiles = SecondsSince(start);
  return scene;
}

double VertexBytes(const MapScene& scene) {
  double vertices = 0;
  for (const SceneLayer& layer : scene.layers())
    vertices += static_cast<double>(layer.data.VertexCount());
  return vertices * sizeof(pelmora::TSFPoint);
}

struct Frame {
  double seconds = 0;
  bool complete = true;  // no tile stood in for
};

Frame DrawFrame(QImage& image, const MapScene& scene, const ViewTransform& view) {
  Clock::time_point start = Clock::now();
  QPainter painter(&image);
  bool complete = DrawView(painter, scene, view);
  painter.end();
  return {SecondsSince(start), complete};
}

// The pans and zooms of a user looking over the whole city: from the whole
// map into a corner, along the map and back out, one frame per step. The
// steps come as a drag or a wheel gives them, sixty a second; tiles not yet
// drawn are drawn meanwhile by the worker threads, as in the window.
struct FrameFigures {
  int frames = 0, complete = 0;
  double seconds = 0, slowest = 0;
  double sharp_after = 0;  // from the last step until every tile of its view is drawn
};

FrameFigures PanAndZoom(QImage& image, const MapScene& scene, ViewTransform view) {
  FrameFigures figures;
  auto frame = [&] {
    Clock::time_point start = Clock::now();
    Frame drawn = DrawFrame(image, scene, view);
    ++figures.frames;
    figures.complete += drawn.complete;
    figures.seconds += drawn.seconds;
    figures.slowest = std::max(figures.slowest, drawn.seconds);
    std::this_thread::sleep_until(start + std::chrono::microseconds(16667));
  };
  QPointF corner(kWindow.width() * 0.3, kWindow.height() * 0.35);
  for (int i = 0; i < 10; ++i, frame()) view.ZoomAt(corner, 1.25);
  for (int i = 0; i < 20; ++i, frame()) view.PanBy(QPointF(i < 10 ? -80 : 60, i < 10 ? -40 : 50));
  for (int i = 0; i < 10; ++i, frame()) view.ZoomAt(QPointF(640, 400), 1 / 1.25);
  for (int i = 0; i < 10; ++i, frame()) view.PanBy(QPointF(i % 2 ? 120 : -120, 30));
  Clock::time_point last = Clock::now();
  if (scene.Tiles()) scene.Tiles()->WaitUntilIdle(600);
  figures.sharp_after = SecondsSince(last);
  return figures;
}

// Clicks on a grid of pixels over the view: the slowest answer and the mean.
std::pair<double, double> ClickSeconds(const MapScene& scene, const ViewTransform& view) {
  double slowest = 0, total = 0;
  int clicks = 0;
  for (int y = 20; y < kWindow.height(); y += 76) {
    for (int x = 20; x < kWindow.width(); x += 124) {
      Clock::time_point start = Clock::now();
      volatile bool hit =
          scene
              .FeatureAt(view.ToPlane(QPointF(x, y)), kClickTolerancePixels / view.PixelsPerMetre())
              .Valid();
      (void)hit;
      double seconds = SecondsSince(start);
      slowest = std::max(slowest, seconds);
      total += seconds;
      ++clicks;
    }
  }
  return {slowest, total / clicks};
}

int Run(const std::string& folder, int jobs, int repeats, double mif_seconds, int coordsys) {
  double resident_before = StatusBytes("VmRSS");
  LoadSeconds load;
  std::unique_ptr<MapScene> scene;
  for (int i = 0; i < repeats; ++i) {
    scene.reset();
    LoadSeconds seconds;
    scene = Load(folder, jobs, coordsys, seconds);
    if (i == 0 || seconds.Total() < load.Total()) load = seconds;
  }
  double loaded = StatusBytes("VmRSS") - resident_before;
  double vertices = VertexBytes(*scene);

  std::string label = "preview load, " + std::to_string(jobs) + (jobs > 1 ? " jobs" : " job");
  std::printf("%-28s %6.2f s (engine %.2f s, scene %.2f s, first tiles %.2f s)", label.c_str(),
              load.Total(), load.engine, load.scene, load.tiles);
  if (mif_seconds > 0)
    std::printf("   convert to MIF 1 job %.2f s, target at most that: %s", mif_seconds,
                Verdict(load.Total() <= mif_seconds));
  std::printf("\n");

  QImage image(kWindow, QImage::Format_ARGB32_Premultiplied);
  ViewTransform view;
  view.SetSize(kWindow);
  view.Fit(scene->Extent());
  Frame first = DrawFrame(image, *scene, view);
  std::printf("%-28s %6.3f s%s   target at most 1 s: %s\n", "first picture", first.seconds,
              first.complete ? "" : " (tiles still missing)",
              Verdict(first.seconds <= 1 && first.complete));

  FrameFigures frames = PanAndZoom(image, *scene, view);
  double fps = frames.frames / frames.seconds;
  std::printf(
      "%-28s %6.1f fps (%d frames %dx%d, slowest %.0f ms; %d with every tile drawn, "
      "the rest sharp %.2f s after the last step)   target at least 30: %s\n",
      "pan and zoom", fps, frames.frames, kWindow.width(), kWindow.height(), frames.slowest * 1e3,
      frames.complete, frames.sharp_after, Verdict(fps >= 30));

  ViewTransform near = view;
  near.ZoomAt(QPointF(640, 400), std::pow(1.25, 12));
  auto [whole_slowest, whole_mean] = ClickSeconds(*scene, view);
  auto [near_slowest, near_mean] = ClickSeconds(*scene, near);
  double slowest = std::max(whole_slowest, near_slowest);
  std::printf(
      "%-28s %6.1f ms slowest (mean %.1f ms whole map, %.1f ms zoomed in)   "
      "target at most 50 ms: %s\n",
      "click answered", slowest * 1e3, whole_mean * 1e3, near_mean * 1e3, Verdict(slowest <= 0.05));

  // After the pans and zooms, with the tiles they left in the cache.
  double held = StatusBytes("VmRSS") - resident_before, peak = StatusBytes("VmHWM");
  double tiles = scene->Tiles() ? static_cast<double>(scene->Tiles()->BytesHeld()) : 0;
  std::printf(
      "%-28s %6.1f MB held (%.1f MB after loading, %.1f MB of it tiles), peak %.1f MB; "
      "vertices %.1f MB   target at most twice: %s\n",
      "preview memory", held / 1e6, loaded / 1e6, tiles / 1e6, peak / 1e6, vertices / 1e6,
      Verdict(held <= 2 * vertices));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  int repeats = 1, jobs = LoadJobs(), coordsys = 0;
  double mif_seconds = 0;
  std::string folder;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--repeats" && i + 1 < argc)
      repeats = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--coordsys" && i + 1 < argc)
      coordsys = std::atoi(argv[++i]);
    else if (arg == "--jobs" && i + 1 < argc)
      jobs = std::max(1, std::atoi(argv[++i]));
    else if (arg == "--mif-seconds" && i + 1 < argc)
      mif_seconds = std::atof(argv[++i]);
    else
      folder = arg;
  }
  if (folder.empty()) {
    std::fprintf(
        stderr,
        "usage: pelmora-preview-bench [--repeats N] [--jobs N] [--mif-seconds S] [--coordsys N] "
        "MAPFOLDER\n");
    return 2;
  }
  // Drawing text needs a GUI application, but never a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  try {
    return Run(folder, jobs, repeats, mif_seconds, coordsys);
  } catch (const pelmora::ConversionError& e) {
    std::fprintf(stderr, "%s\n", pelmora::DescribeError(e).c_str());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "pelmora-preview-bench: %s\n", e.what());
  }
  return 1;
}
