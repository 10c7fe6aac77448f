// The plugin's entry points: GDAL loads gdal_DM2500.so from its plugin
// folder (or GDAL_DRIVER_PATH) and calls GDALRegisterMe. Identify and Open
// catch everything: an exception must never reach the host program.
#include "driver_registration.hpp"

#include <gdal_priv.h>

#include "gdal_messages.hpp"
#include "map_dataset.hpp"
#include "source_folders.hpp"

namespace pelmora::gdal_driver {
namespace {

constexpr const char* kOpenOptions =
    "<OpenOptionList>"
    "  <Option name='COORDSYS' type='int' min='0' max='37' description="
    "'座標系の一覧 (pelmora-convert --list-coordsys) の番号。既定は図郭ファイルの系の "
    "JGD2000 の座標系'/>"
    "  <Option name='POLYGONS' type='string-select' default='ASSEMBLED' description="
    "'ポリゴンをアークから作る方法'>"
    "    <Value>ASSEMBLED</Value>"
    "    <Value>CHAINED</Value>"
    "  </Option>"
    "</OpenOptionList>";

int Identify(GDALOpenInfo* info) {
  try {
    if (HasConnectionPrefix(info->pszFilename)) return TRUE;
    if (!info->bIsDirectory || (info->nOpenFlags & GDAL_OF_VECTOR) == 0) return FALSE;
    return RecogniseFolder(info->pszFilename) ? TRUE : FALSE;
  } catch (...) {
    return FALSE;
  }
}

GDALDataset* Open(GDALOpenInfo* info) {
  try {
    if (!Identify(info)) return nullptr;
    return MapDataset::Open(info);
  } catch (...) {
    ReportCurrentException();
    return nullptr;
  }
}

}  // namespace
}  // namespace pelmora::gdal_driver

extern "C" __attribute__((visibility("default"))) void GDALRegister_DM2500() {
  if (GDALGetDriverByName("DM2500") != nullptr) return;
  auto* driver = new GDALDriver();
  driver->SetDescription("DM2500");
  driver->SetMetadataItem(GDAL_DCAP_VECTOR, "YES");
  driver->SetMetadataItem(GDAL_DMD_LONGNAME, "Digital Map 2500 (数値地図2500) text folders");
  driver->SetMetadataItem(GDAL_DMD_CONNECTION_PREFIX, "DM2500:");
  driver->SetMetadataItem(GDAL_DMD_OPENOPTIONLIST, pelmora::gdal_driver::kOpenOptions);
  driver->SetMetadataItem(GDAL_DCAP_MULTIPLE_VECTOR_LAYERS, "YES");
  driver->pfnIdentify = pelmora::gdal_driver::Identify;
  driver->pfnOpen = pelmora::gdal_driver::Open;
  GetGDALDriverManager()->RegisterDriver(driver);
}

extern "C" __attribute__((visibility("default"))) void GDALRegisterMe() {
  GDALRegister_DM2500();
}
