#include "map_dataset.hpp"

#include <ogr_spatialref.h>

#include "core/conversion/map_data_check.hpp"
#include "core/mif/coordsys.hpp"
#include "core/text/numbers.hpp"
#include "source_areas.hpp"

namespace pelmora::gdal_driver {
namespace {

// The areas' folders, each recognised; nothing when one is not map data
// (reported when the connection string asked for this driver).
std::optional<std::vector<SourceFolder>> RecogniseConnection(const char* connection) {
  const bool forced = HasConnectionPrefix(connection);
  std::vector<SourceFolder> folders;
  for (const std::string& folder : SplitConnection(connection)) {
    std::optional<SourceFolder> source = RecogniseFolder(folder);
    if (!source) {
      if (forced) {
        CPLError(CE_Failure, CPLE_OpenFailed,
                 "「%s」は数値地図2500のフォルダ (地域のフォルダ、またはそれを収めたフォルダ) "
                 "ではありません。",
                 folder.c_str());
      }
      return std::nullopt;
    }
    folders.push_back(std::move(*source));
  }
  if (folders.empty()) {
    CPLError(CE_Failure, CPLE_OpenFailed, "数値地図2500のフォルダが指定されていません。");
    return std::nullopt;
  }
  return folders;
}

}  // namespace

MapDataset* MapDataset::Open(GDALOpenInfo* info) {
  if (info->eAccess == GA_Update) {
    CPLError(CE_Failure, CPLE_NotSupported, "DM2500 ドライバーは読み込み専用です。");
    return nullptr;
  }
  if ((info->nOpenFlags & GDAL_OF_VECTOR) == 0) return nullptr;
  std::optional<std::vector<SourceFolder>> folders = RecogniseConnection(info->pszFilename);
  if (!folders) return nullptr;
  std::unique_ptr<MapDataset> dataset(new MapDataset());
  dataset->input_ = DescribeSources(*folders);
  for (const SourceFolder& folder : *folders) {
    dataset->settings_.map_folders.push_back(folder.map_folder);
  }
  dataset->settings_.polygons = PolygonMode::kAssembled;
  dataset->settings_.groups.fill(true);
  if (!dataset->ReadOptions(info->papszOpenOptions)) return nullptr;
  for (const LayerDef& layer : LayerTable()) {
    if (!HasInputFile(layer, dataset->input_)) continue;
    dataset->layers_.push_back(std::make_unique<MapLayer>(*dataset, layer, dataset->srs_));
  }
  dataset->SetDescription(info->pszFilename);
  return dataset.release();
}

MapDataset::~MapDataset() {
  layers_.clear();
  if (srs_ != nullptr) srs_->Release();
}

OGRLayer* MapDataset::GetLayer(int index) {
  if (index < 0 || index >= GetLayerCount()) return nullptr;
  return layers_[static_cast<size_t>(index)].get();
}

// COORDSYS=N (an entry of pelmora-convert --list-coordsys) and
// POLYGONS=ASSEMBLED or CHAINED; false, reported, for a value not allowed.
bool MapDataset::ReadOptions(CSLConstList options) {
  const char* coordsys = CSLFetchNameValue(options, "COORDSYS");
  if (coordsys != nullptr) {
    const std::optional<int32_t> index = TryStrToInt(coordsys);
    if (!index || *index < 0 || *index >= kCoordSysCount) {
      CPLError(CE_Failure, CPLE_IllegalArg,
               "COORDSYS=%s は座標系の一覧にありません (0 から %d までの番号です)。", coordsys,
               kCoordSysCount - 1);
      return false;
    }
    settings_.coordsys_index = *index;
  }
  const char* polygons = CSLFetchNameValueDef(options, "POLYGONS", "ASSEMBLED");
  if (EQUAL(polygons, "ASSEMBLED")) {
    settings_.polygons = PolygonMode::kAssembled;
  } else if (EQUAL(polygons, "CHAINED")) {
    settings_.polygons = PolygonMode::kChained;
  } else {
    CPLError(CE_Failure, CPLE_IllegalArg,
             "POLYGONS=%s は使えません (ASSEMBLED または CHAINED です)。", polygons);
    return false;
  }
  ChooseCoordinateSystem(coordsys != nullptr);
  return true;
}

// Without COORDSYS, the JGD2000 entry of the zone the first area's map-sheet
// file names. The areas whose map-sheet files name another zone than the
// entry's, and areas reached twice, are warned about as a conversion run of
// the folders warns.
void MapDataset::ChooseCoordinateSystem(bool asked) {
  std::optional<int> zone;
  if (!asked) {
    for (const AreaDescription& area : input_.areas) {
      if (area.zone) {
        zone = area.zone;
        break;
      }
    }
    // The JGD2000 entries are the zones 1 to 19 in order.
    settings_.coordsys_index = zone ? *zone - 1 : 0;
  }
  CplWarningObserver observer;
  WarnAboutAreas(settings_, input_, observer);
  if (!asked && !zone) {
    CPLError(CE_Warning, CPLE_AppDefined,
             "座標系の系を読み取れる図郭ファイルがないため、レイヤーに座標系がありません。"
             "COORDSYS=N で座標系を指定してください。");
    return;
  }
  srs_ = new OGRSpatialReference();
  srs_->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  if (srs_->importFromEPSG(CoordSysEpsg(settings_.coordsys_index)) != OGRERR_NONE) {
    srs_->Release();
    srs_ = nullptr;
  }
}

}  // namespace pelmora::gdal_driver
