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

}  // namespace pelmora
