#include "driver_read.hpp"

#include <cpl_error.h>
#include <gdal.h>
#include <ogr_api.h>

#include <string_view>

#include "gdal_driver/driver_registration.hpp"

namespace pelmora::fuzz {
namespace {

constexpr std::string_view kReplacedText = "コードページ932でない文字列を置き換えました";

void CPL_STDCALL Record(CPLErr kind, CPLErrorNum, const char* message) {
  auto* outcome = static_cast<DriverOutcome*>(CPLGetErrorHandlerUserData());
  const std::string_view text = message == nullptr ? "" : message;
  if (kind == CE_Warning) {
    if (text.substr(0, kReplacedText.size()) != kReplacedText) ++outcome->warnings;
  } else if (kind >= CE_Failure) {
    outcome->failures.emplace_back(text);
  }
}

}  // namespace

DriverOutcome ReadThroughDriver(const std::filesystem::path& map, int coordsys_index) {
  static const bool registered = (GDALRegister_DM2500(), true);
  (void)registered;
  DriverOutcome outcome;
  CPLPushErrorHandlerEx(Record, &outcome);
  const char* const drivers[] = {"DM2500", nullptr};
  const std::string coordsys = "COORDSYS=" + std::to_string(coordsys_index);
  const char* const options[] = {coordsys.c_str(), "POLYGONS=CHAINED", nullptr};
  GDALDatasetH dataset = GDALOpenEx(map.string().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                    drivers, options, nullptr);
  if (dataset != nullptr) {
    outcome.opened = true;
    for (int i = 0; i < GDALDatasetGetLayerCount(dataset); ++i) {
      OGRLayerH layer = GDALDatasetGetLayer(dataset, i);
      outcome.counted[OGR_L_GetName(layer)] = OGR_L_GetFeatureCount(layer, TRUE);
      uint64_t& count = outcome.features[OGR_L_GetName(layer)];
      while (OGRFeatureH feature = OGR_L_GetNextFeature(layer)) {
        ++count;
        OGR_F_Destroy(feature);
      }
    }
    GDALClose(dataset);
  }
  CPLPopErrorHandler();
  return outcome;
}

}  // namespace pelmora::fuzz
