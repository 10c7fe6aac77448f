#include "file_writers.hpp"

#include <optional>
#include <vector>

#include "core/output/staged_files.hpp"
#include "dbf_shrink.hpp"
#include "ogr_layer_file.hpp"

namespace pelmora::gdal {
namespace {

struct FileFormat {
  const char* driver;
  std::vector<std::string> extensions;  // the dataset's own first
  bool cp932_values;
  std::vector<std::string> layer_options;
  bool shrink_dbf = false;  // the DBF's text columns, created 254 bytes wide
  // The share of a layer's work after its last feature (closing, shrinking
  // the DBF); GDAL writes the others' files as the features come.
  double finishing_share = 0;
};

class GdalFileWriter : public LayerWriter {
 public:
  GdalFileWriter(const LayerSchema& schema, const std::string& output_folder,
                 const FileFormat& format)
      : files_(output_folder),
        cp932_(format.cp932_values),
        shrink_dbf_(format.shrink_dbf),
        progress_(schema.progress) {
    if (progress_ != nullptr) progress_->SetFinishingShare(format.finishing_share);
    name_ = std::string(schema.name);
    const std::string& name = name_;
    stem_ = files_.TemporaryStem(name);
    const std::string& stem = stem_;
    // Adopted before GDAL creates them, so that a failure removes them all.
    for (const std::string& extension : format.extensions) {
      files_.Adopt(name + extension, stem + extension);
    }
    file_.emplace(schema,
                  OgrTarget{format.driver, stem + format.extensions[0], name + format.extensions[0],
                            format.cp932_values, format.layer_options});
  }

  void Write(const Feature& feature) override { file_->Write(feature); }
  void Finish() override {
    // Closing merges FlatGeobuf features without geometry in, a copy of
    // the file; the DBF is shrunk in two passes.
    file_->Close(FinishingPart(progress_, 0, shrink_dbf_ ? 0.1 : 1));
    if (shrink_dbf_) {
      ShrinkDbfTextColumns(stem_ + ".dbf", name_ + ".dbf", FinishingPart(progress_, 0.1, 1));
    }
    // GDAL leaves the .cpg empty when told not to recode; the DBF text stays
    // code page 932, and readers learn so from the .cpg.
    if (cp932_) {
      OutputFile cpg;
      cpg.SetDisplayName(name_ + ".cpg");
      cpg.Create(stem_ + ".cpg");
      cpg.Write("932");
      cpg.Close();
    }
  }
  void Commit() override { files_.Commit(); }
  std::vector<std::string> FileNames() const override { return files_.FileNames(); }

 private:
  StagedFiles files_;  // declared first: the files are removed after GDAL closed them
  std::optional<OgrLayerFile> file_;
  bool cp932_, shrink_dbf_;
  WriterProgress* progress_;
  std::string name_, stem_;
};

}  // namespace

std::unique_ptr<LayerWriter> MakeShapefileWriter(const LayerSchema& schema,
                                                 const std::string& output_folder) {
  // ENCODING="" keeps GDAL from recoding: names and values go in as code
  // page 932 bytes.
  static const FileFormat format{
      "ESRI Shapefile", {".shp", ".shx", ".dbf", ".prj", ".cpg"}, true, {"ENCODING="}, true, 0.1};
  return std::make_unique<GdalFileWriter>(schema, output_folder, format);
}

std::unique_ptr<LayerWriter> MakeGeoJsonWriter(const LayerSchema& schema,
                                               const std::string& output_folder) {
  static const FileFormat format{"GeoJSON", {".geojson"}, false, {"SIGNIFICANT_FIGURES=17"}};
  return std::make_unique<GdalFileWriter>(schema, output_folder, format);
}

std::unique_ptr<LayerWriter> MakeFlatGeobufWriter(const LayerSchema& schema,
                                                  const std::string& output_folder) {
  // Without the spatial index the features keep their order (the index
  // sorts them) and are not held in memory until the file closes.
  static const FileFormat format{"FlatGeobuf", {".fgb"}, false, {"SPATIAL_INDEX=NO"}};
  return std::make_unique<GdalFileWriter>(schema, output_folder, format);
}

}  // namespace pelmora::gdal
