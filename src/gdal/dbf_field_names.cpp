#include "dbf_field_names.hpp"

#include "core/errors.hpp"
#include "core/text/cp932.hpp"

namespace pelmora::gdal {
namespace {

struct ShortName {
  std::string_view column;  // UTF-8
  std::string_view dbf;     // UTF-8, at most 10 bytes in code page 932
};

constexpr ShortName kShortNames[] = {
    {"市区町村コード", "市区町村CD"}, {"町丁目コード", "町丁目CD"},
    {"大字町丁目名", "大字町丁名"},   {"公共建物コード1", "建物CD1"},
    {"公共建物コード2", "建物CD2"},   {"公共建物コード3", "建物CD3"},
    {"公共建物名称1", "建物名称1"},   {"公共建物名称2", "建物名称2"},
    {"公共建物名称3", "建物名称3"},   {"３次メッシュ", "メッシュ"},
    {"座標系フラグ", "座標系FLG"},
};

}  // namespace

std::string DbfFieldName(std::string_view utf8_name) {
  std::string name = Utf8ToCp932(utf8_name);
  if (name.size() <= kDbfNameBytes) return name;
  for (const ShortName& entry : kShortNames) {
    if (entry.column == utf8_name) return Utf8ToCp932(entry.dbf);
  }
  throw ConversionError("列「" + std::string(utf8_name) + "」には Shapefile の列名がありません");
}

}  // namespace pelmora::gdal
