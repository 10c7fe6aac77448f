#include "gdal_module_loader.hpp"

#include <dlfcn.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

#include "core/conversion/output_formats.hpp"

namespace pelmora::gdal {
namespace {

constexpr const char* kModuleName = "pelmora-gdal.so";

// The folder of the running program, empty when it cannot be told.
std::filesystem::path ProgramFolder() {
  std::error_code error;
  std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::filesystem::path() : program.parent_path();
}

// An installed program finds the module by its path relative to the
// program's folder (any install prefix works); a program of the build tree
// finds it where the build put it.
std::string ModulePath() {
  std::filesystem::path folder = ProgramFolder();
  if (!folder.empty()) {
    std::filesystem::path installed = folder / PELMORA_GDAL_MODULE_FROM_BINDIR / kModuleName;
    std::error_code error;
    if (std::filesystem::is_regular_file(installed, error)) return installed.lexically_normal();
  }
  return PELMORA_GDAL_MODULE_BUILT;
}

std::string LoadModule() {
  const std::string path = ModulePath();
  // Resolved at once, so that a module that does not fit the program fails
  // here with the name of what is missing, not later in a run.
  void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) return std::string("GDAL の形式を読み込めません: ") + ::dlerror();
  using Register = const char* (*)(const char*);
  auto register_formats =
      reinterpret_cast<Register>(::dlsym(module, "pelmora_gdal_module_register"));
  if (register_formats == nullptr) {
    return "GDAL の形式を読み込めません: " + path + " は Pelmora のモジュールではありません。";
  }
  // The module stays loaded: the format table holds its writers' factories.
  if (const char* problem = register_formats(PELMORA_VERSION)) {
    return "GDAL の形式を " + path + " から読み込めません: " + problem;
  }
  return {};
}

}  // namespace

void OfferGdalFormats() {
  SetOutputFormatLoader(LoadModule);
}

}  // namespace pelmora::gdal
