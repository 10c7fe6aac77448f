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
#include "finishing_steps.hpp"
#include "gdal_errors.hpp"
#include "gpkg_table.hpp"
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
                          "」はGeoPackageではないため、置き換えません");
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
    if (driver == nullptr) errors.Fail("GDAL に GPKG のドライバーがありません");
    dataset_ = driver->Create(temp_path_.c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    if (dataset_ == nullptr) {
      RemoveDatabase(temp_path_);
      errors.Fail("ファイルを作成できません");
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
  void AddLayer(const LayerSchema& schema, const std::string& buffer_path,
                const FinishingStep& step);

  void Complete() override {
    GdalErrorScope errors(name_, nullptr);
    GDALDataset* dataset = dataset_;
    dataset_ = nullptr;
    GDALClose(dataset);
    if (errors.failed()) errors.Fail("ファイルを書き終えられません");
    if (std::rename(temp_path_.c_str(), final_path_.c_str()) != 0) ThrowIoError(errno, name_);
    completed_ = true;
  }

  const std::string& final_path() const { return final_path_; }
  const std::string& name() const { return name_; }

 private:
  std::string final_path_, name_, temp_path_;
  GDALDataset* dataset_ = nullptr;
  bool completed_ = false;
  std::mutex mutex_;  // one layer at a time into the dataset
};

class GpkgLayerWriter : public LayerWriter {
 public:
  // The share of a layer's work after its last feature: copying its rows
  // into the GeoPackage and building the table's index take about three
  // times as long as converting the layer. Of it, completing the buffer
  // (which has to merge features without geometry in) takes a little.
  static constexpr double kFinishingShare = 0.75;
  static constexpr double kBufferShare = 0.05;

  GpkgLayerWriter(GeoPackage& output, const LayerSchema& schema)
      : output_(output),
        schema_(schema),
        buffer_path_(TemporaryPath(FolderOf(output.final_path()),
                                   output.name() + "." + std::string(schema.name)) +
                     ".fgb") {
    if (schema_.progress != nullptr) schema_.progress->SetFinishingShare(kFinishingShare);
    buffer_.emplace(
        schema_, OgrTarget{"FlatGeobuf", buffer_path_, output.name(), false, {"SPATIAL_INDEX=NO"}});
  }
  ~GpkgLayerWriter() override {
    buffer_.reset();
    std::remove(buffer_path_.c_str());
  }

  void Write(const Feature& feature) override { buffer_->Write(feature); }
  void Finish() override { buffer_->Close(FinishingPart(schema_.progress, 0, kBufferShare)); }
  void Commit() override {
    output_.AddLayer(schema_, buffer_path_, FinishingPart(schema_.progress, kBufferShare, 1));
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

void GeoPackage::AddLayer(const LayerSchema& schema, const std::string& buffer_path,
                          const FinishingStep& step) {
  std::unique_ptr<GDALDataset> buffer(
      GDALDataset::Open(buffer_path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY));
  if (!buffer || buffer->GetLayerCount() != 1) {
    GdalErrorScope(name_, nullptr).Fail("一時ファイルのレイヤーを読み戻せません");
  }
  std::lock_guard lock(mutex_);
  GdalErrorScope errors(name_, nullptr);
  if (dataset_->StartTransaction() != OGRERR_NONE) errors.Fail("トランザクションを開始できません");
  // Each table is complete with its index in its own commit: with several
  // jobs that happens while later layers still convert, and the file closes
  // without work left. A stop or an error leaves the transaction open; the
  // file is then discarded.
  CopyIntoTable(*dataset_, schema, *buffer->GetLayer(0), step, errors);
  if (dataset_->CommitTransaction() != OGRERR_NONE) errors.Fail("テーブルを書き込めません");
}

}  // namespace

std::unique_ptr<RunOutput> OpenGeoPackage(const std::string& file_path) {
  return std::make_unique<GeoPackage>(file_path);
}

}  // namespace pelmora::gdal
