#include "errors.hpp"

#include <cerrno>

namespace pelmora {

DataError StrictWarningError(const std::string& file, int line) {
  DataError error("警告があったため変換を中止しました");
  error.SetPlace(file, line);
  return error;
}

std::string SystemErrorText(int code) {
  switch (code) {
    case ENOENT:
      return "ファイルが見つかりません";
    case ENOTDIR:
      return "ファイル名の指定が間違っています";
    case EMFILE:
    case ENFILE:
      return "オープンしたファイルが多すぎます";
    case EACCES:
    case EPERM:
      return "ファイルへのアクセスが拒否されました";
    case ENOSPC:
      return "ディスクがいっぱいです";
    default:
      return "I/O エラー (" + std::to_string(code) + ")";
  }
}

std::string WithFinalPeriod(const std::string& message) {
  if (message.empty()) return message;
  // Step back to the first byte of the last UTF-8 character.
  size_t i = message.size() - 1;
  while (i > 0 && (static_cast<unsigned char>(message[i]) & 0xC0) == 0x80) --i;
  if (static_cast<unsigned char>(message[i]) > static_cast<unsigned char>('.')) {
    return message + ".";
  }
  return message;
}

std::string DescribeError(const ConversionError& error) {
  std::string text = WithFinalPeriod(error.what());
  if (error.HasPlace()) {
    text += "\n" + error.file();
    if (error.line() > 0) text += " " + std::to_string(error.line()) + "行目";
  }
  return text;
}

}  // namespace pelmora
