#include "layer_walk.hpp"

namespace pelmora::gdal_driver {

class LayerWalk::Reporter : public LayerReporter {
 public:
  explicit Reporter(WarningSink* sink) : sink_(sink) {}
  bool quiet = false;

  void LayerStarted() override {}
  void InputFileStarted(std::string_view, std::string_view) override {}
  void BytesDone(uint64_t) override {}
  bool StopRequested() override { return false; }
  void Warn(WarningKind kind, std::string_view text, std::string_view file, int line) override {
    if (!quiet && sink_ != nullptr) sink_->Warn({kind, text, file, line});
  }

 private:
  WarningSink* sink_;
};

// Keeps the features of the area being converted in the walk's store.
class LayerWalk::BufferWriter : public LayerWriter {
 public:
  explicit BufferWriter(LayerWalk& walk) : walk_(walk) {}
  void Write(const Feature& feature) override { walk_.features_->Add(feature); }
  void Finish() override {}
  void Commit() override {}

 private:
  LayerWalk& walk_;
};

LayerWalk::LayerWalk(const LayerDef& layer, const ConversionSettings& settings, WarningSink* sink)
    : settings_(settings),
      reporter_(std::make_unique<Reporter>(sink)),
      features_(std::make_unique<StoredLayer>()) {
  settings_.writer_factory = [this](const LayerSchema&, const std::string&) {
    return std::make_unique<BufferWriter>(*this);
  };
  converter_ = MakeLayerConverter(layer, *reporter_);
  converter_->Begin(settings_, std::string());
}

LayerWalk::~LayerWalk() = default;

void LayerWalk::Convert(const AreaDescription& area, bool quiet) {
  reporter_->quiet = quiet;
  features_ = std::make_unique<StoredLayer>();
  converter_->ConvertArea(area, nullptr);
}

void LayerWalk::Finish(bool quiet) {
  reporter_->quiet = quiet;
  converter_->Finish();
}

}  // namespace pelmora::gdal_driver
