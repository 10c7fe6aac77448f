#include "gpkg_output.hpp"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <mutex>
#include <optional>

#include "core/errors.hpp"
#include "core/io/output_file.hpp"
#include "core/output/staged_files.hpp"
#include "gdal_errors.hpp"
#include "ogr_layer_file.hpp"

namespace pelmora::gdal {
namespace {

std::string FileName(const std::string& path) {
  return path.substr(path.rfind('/') + 1);
}

// The folder of path, ending with "/".
std::string FolderOf(const std::string& path) {
  return path.substr(0, path.rfind('/') + 1);
}

void RemoveDatabase(const std::string& path) {
  for (const char* suffix : {"", "-journal", "-wal", "-shm"}) std::remove((path + suffix).c_str());
}

// An existing file of the output's name is replaced only when it is a
// GeoPackage: anything else there is likely the user's and stays.
void RefuseToReplaceOtherFiles(const std::string& path, const std::string& name) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  GdalErrorScope errors(name, nullptr);
  const char* const gpkg_only[] = {"GPKG", nullptr};
  GDALDataset* old = GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR, gpkg_only);
  if (old == nullptr) {
    ConversionError error("既にあるファイル「" + path +
                          "」はGeoPackageではないため、置き換えません。");
    error.SetPlace(name, 0);
    throw error;
  }
  GDALClose(old);
}

class GeoPackage : public RunOutput {
 public:
  explicit GeoPackage(const std::string& path)
      : final_path_(path), name_(FileName(path)), temp_path_(TemporaryPath(FolderOf(path), name_)) {
    RefuseToReplaceOtherFiles(final_path_, name_);
    GdalErrorScope errors(name_, nullptr);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GPKG");
    if (driver == nullptr) errors.Fail("GDAL has no GPKG driver");
    dataset_ = driver->Create(temp_path_.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (dataset_ == nullptr) {
      RemoveDatabase(temp_path_);
      errors.Fail("cannot create the file");
    }
  }

  ~GeoPackage() override {
    if (dataset_ != nullptr) {
      GdalErrorScope quiet(name_, nullptr);
      GDALClose(dataset_);
    }
    if (!completed_) RemoveDatabase(temp_path_);
  }

  std::unique_ptr<LayerWriter> MakeWriter(const LayerSchema& schema) override;

  // Copies a finished buffer into the GeoPackage as the layer's table.
  void AddLayer(const LayerSchema& schema, const std::string& buffer_path);
  void AddLayer(const LayerSchema& schema, OGRLayer& layer);

  void Complete() override {
    GdalErrorScope errors(name_, nullptr);
    GDALDataset* dataset = dataset_;
    dataset_ = nullptr;
    GDALClose(dataset);
    if (errors.failed()) errors.Fail("cannot complete the file");
    if (std::rename(temp_path_.c_str(), final_path_.c_str()) != 0) ThrowIoError(errno, name_);
    completed_ = true;
  }

  const std::string& final_path() const { return final_path_; }
  const std::string& name() const { return name_; }

 private:
  void CopyFeatures(OGRLayer& from, OGRLayer& to, GdalErrorScope& errors);

  std::string final_path_, name_, temp_path_;
  GDALDataset* dataset_ = nullptr;
  bool completed_ = false;
  std::mutex mutex_;  // one layer at a time into the dataset
};

class GpkgLayerWriter : public LayerWriter {
 public:
  GpkgLayerWriter(GeoPackage& output, const LayerSchema& schema)
      : output_(output),
        schema_(schema),
        buffer_path_(TemporaryPath(FolderOf(output.final_path()),
                                   output.name() + "." + std::string(schema.name)) +
                     ".fgb") {
    buffer_.emplace(
        schema_, OgrTarget{"FlatGeobuf", buffer_path_, output.name(), false, {"SPATIAL_INDEX=NO"}});
  }
  ~GpkgLayerWriter() override {
    buffer_.reset();
    std::remove(buffer_path_.c_str());
  }

  void Write(const Feature& feature) override { buffer_->Write(feature); }
  void Finish() override { buffer_->Close(); }
  void Commit() override {
    output_.AddLayer(schema_, buffer_path_);
    std::remove(buffer_path_.c_str());
  }
  // Every layer is a table of the one file.
  std::vector<std::string> FileNames() const override { return {output_.name()}; }

 private:
  GeoPackage& output_;
  LayerSchema schema_;  // its views point into the layer table, which lives on
  std::string buffer_path_;
  std::optional<OgrLayerFile> buffer_;
};

std::unique_ptr<LayerWriter> GeoPackage::MakeWriter(const LayerSchema& schema) {
  return std::make_unique<GpkgLayerWriter>(*this, schema);
}

void GeoPackage::CopyFeatures(OGRLayer& from, OGRLayer& to, GdalErrorScope& errors) {
  OGRFeatureDefn* defn = from.GetLayerDefn();
  for (int i = 0; i < defn->GetFieldCount(); ++i) {
    if (to.CreateField(defn->GetFieldDefn(i), FALSE) != OGRERR_NONE) {
      errors.Fail("cannot create a column");
    }
  }
  // The columns are the same in both: matched by name once, not per row.
  const std::vector<int> columns =
      to.GetLayerDefn()->ComputeMapForSetFrom(from.GetLayerDefn(), true);
  OGRFeature* row = OGRFeature::CreateFeature(to.GetLayerDefn());
  from.ResetReading();
  while (OGRFeature* feature = from.GetNextFeature()) {
    row->SetFrom(feature, columns.data(), TRUE);
    row->SetFID(OGRNullFID);  // numbered 1, 2, ... in the order written
    OGRFeature::DestroyFeature(feature);
    if (to.CreateFeature(row) != OGRERR_NONE) {
      OGRFeature::DestroyFeature(row);
      errors.Fail("cannot write a feature");
    }
  }
  OGRFeature::DestroyFeature(row);
}

void GeoPackage::AddLayer(const LayerSchema& schema, const std::string& buffer_path) {
  std::unique_ptr<GDALDataset> buffer(
      GDALDataset::Open(buffer_path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!buffer || buffer->GetLayerCount() != 1) {
    GdalErrorScope(name_, nullptr).Fail("cannot read back a layer");
  }
  AddLayer(schema, *buffer->GetLayer(0));
}

void GeoPackage::AddLayer(const LayerSchema& schema, OGRLayer& layer) {
  std::lock_guard lock(mutex_);
  GdalErrorScope errors(name_, nullptr);
  OGRLayer* from = &layer;
  const std::string identifier = "IDENTIFIER=" + std::string(schema.caption);
  const char* options[] = {identifier.c_str(), "SPATIAL_INDEX=YES", nullptr};
  if (dataset_->StartTransaction() != OGRERR_NONE) errors.Fail("cannot start a transaction");
  OGRLayer* to = dataset_->CreateLayer(std::string(schema.name).c_str(), from->GetSpatialRef(),
                                       from->GetGeomType(), const_cast<char**>(options));
  if (to == nullptr) errors.Fail("cannot create the table");
  CopyFeatures(*from, *to, errors);
  // Builds the table's spatial index now, within its own transaction, and
  // not for every table when the file is closed (GDAL defers it): with
  // several jobs it then runs while later layers are still converting, and
  // the run no longer ends with half its work done on one thread.
  if (to->SyncToDisk() != OGRERR_NONE) errors.Fail("cannot write the table");
  if (dataset_->CommitTransaction() != OGRERR_NONE) errors.Fail("cannot write the table");
}

}  // namespace

std::unique_ptr<RunOutput> OpenGeoPackage(const std::string& file_path) {
  return std::make_unique<GeoPackage>(file_path);
}

}  // namespace pelmora::gdal
