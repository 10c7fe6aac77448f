#include "observer.hpp"

namespace pelmora {

std::string LogLine(const LayerStarted& event) {
  return std::string(event.log_text);
}

std::string LogLine(const InputFileStarted& event) {
  std::string line(event.path);
  line.append(" --> ").append(event.base_name).append(".mif");
  return line;
}

std::string LogLine(const Warning& event) {
  std::string line = "警告: ";
  line.append(event.text);
  if (!event.file.empty()) {
    line.append(" (").append(event.file);
    if (event.line > 0) line.append(" ").append(std::to_string(event.line)).append("行目");
    line.append(")");
  }
  return line;
}

}  // namespace pelmora
