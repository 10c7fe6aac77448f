#include "layer_table.hpp"

#include <array>

namespace pelmora {
namespace {

using Columns = std::string_view;

constexpr Columns kArcColumns[] = {"図面番号", "線種タグ", "個別番号"};
constexpr Columns kRoadColumns[] = {"図面番号", "線種タグ", "個別番号", "名称",
                                    "別称1",    "別称2",    "別称3",    "別称4"};
constexpr Columns kRailColumns[] = {"図面番号", "線種タグ", "個別番号", "路線名"};
constexpr Columns kShikuchosonColumns[] = {"図面番号", "個別番号", "市区町村コード", "市区町村名"};
constexpr Columns kChomeColumns[] = {"図面番号", "個別番号", "市区町村コード", "町丁目コード",
                                     "大字町丁目名"};
constexpr Columns kGaikuColumns[] = {"図面番号",     "個別番号",     "市区町村コード",
                                     "町丁目コード", "大字町丁目名", "街区符号"};
constexpr Columns kKoukyouColumns[] = {"図面番号",        "個別番号",        "公共建物コード1",
                                       "公共建物名称1",   "公共建物コード2", "公共建物名称2",
                                       "公共建物コード3", "公共建物名称3"};
constexpr Columns kNamedColumns[] = {"図面番号", "個別番号", "名称"};
constexpr Columns kPlainPolygonColumns[] = {"図面番号", "個別番号"};
constexpr Columns kEkiColumns[] = {"図面番号", "個別番号", "駅名"};
constexpr Columns kSankakuColumns[] = {
    "図面番号", "個別番号", "３次メッシュ", "点コード", "点名", "地図コード", "経度",
    "緯度",     "種別",     "座標系",       "Ｘ",       "Ｙ",   "標高"};
constexpr Columns kFrameColumns[] = {"図面番号", "座標系フラグ", "座標系番号"};

constexpr LayerKind kLine = LayerKind::kLine;
constexpr LayerKind kPgn = LayerKind::kPolygon;
constexpr LayerKind kPnt = LayerKind::kPoint;

// clang-format off
constexpr std::array<LayerDef, 31> kLayers = {{
  {0, "Doro_Doro_Arc", kLine, "L2110", "road/roadntwk.arc", "", "road/road.atr", 5, "道路線アークを変換します。", kRoadColumns},
  {1, "Gyousei_Todofuken_Arc", kLine, "L1101", "gyousei/gyousei.arc", "", "", 0, "都道府県アークを変換します。", kArcColumns},
  {1, "Gyousei_GunshiKukai_Arc", kLine, "L1103", "gyousei/gyousei.arc", "", "", 0, "群市、区界アークを変換します。", kArcColumns},
  {1, "Gyousei_ChosonShiteitoshi_Arc", kLine, "L1104", "gyousei/gyousei.arc", "", "", 0, "町村、指定都市アークを変換します。", kArcColumns},
  {1, "Gyousei_Shikuchoson_Pgn", kPgn, "A1105", "gyousei/si_tyo.pgn", "gyousei/gyousei.arc", "gyousei/si_tyo.atr", 2, "市区町村ポリゴンを変換します。", kShikuchosonColumns},
  {1, "Gyousei_OhazaChochomoku_Arc", kLine, "L1106", "gyousei/gyousei.arc", "", "", 0, "大字、町丁目アークを変換します。", kArcColumns},
  {1, "Gyousei_OhazaChochomoku_Pgn", kPgn, "A1106", "gyousei/tyome.pgn", "gyousei/gyousei.arc", "gyousei/tyome.atr", 3, "大字、町丁目ポリゴンを変換します。", kChomeColumns},
  {2, "Gaiku_Gaiku_Arc", kLine, "L1108", "gaiku/gaiku.arc", "", "", 0, "街区アークを変換します。", kArcColumns},
  {2, "Gaiku_Gaiku_Pgn", kPgn, "A1108", "gaiku/gaiku.pgn", "gaiku/gaiku.arc", "gaiku/gaiku.atr", 4, "街区ポリゴンを変換します。", kGaikuColumns},
  {3, "Tatemono_Koukyou_Arc", kLine, "L3500", "tatemono/tatemono.arc", "", "", 0, "公共建物アークを変換します。", kArcColumns},
  {3, "Tatemono_Koukyou_Pgn", kPgn, "A3500", "tatemono/tatemono.pgn", "tatemono/tatemono.arc", "tatemono/tatemono.atr", 6, "公共建物ポリゴンを変換します。", kKoukyouColumns},
  {4, "Mizu_Naisuimen_Arc", kLine, "L5101", "mizu/mizu.arc", "", "", 0, "内水面アークを変換します。", kArcColumns},
  {4, "Mizu_Kaigansen_Arc", kLine, "L5106", "mizu/mizu.arc", "", "", 0, "海岸線アークを変換します。", kArcColumns},
  {4, "Mizu_Kasen_Pgn", kPgn, "A5101", "mizu/mizu.pgn", "mizu/mizu.arc", "mizu/mizu.atr", 1, "河川ポリゴンを変換します。", kNamedColumns},
  {4, "Mizu_Mizuumi_Pgn", kPgn, "A5105", "mizu/mizu.pgn", "mizu/mizu.arc", "mizu/mizu.atr", 1, "湖池等ポリゴンを変換します。", kNamedColumns},
  {5, "Tesudou_Senro_Arc", kLine, "L2300", "others/others.arc", "", "others/tetudou.atr", 1, "線路アークを変換します。", kRailColumns},
  {5, "Tesudou_Senrojiki_Arc", kLine, "L6241", "others/others.arc", "", "", 0, "線路敷アークを変換します。", kArcColumns},
  {5, "Tesudou_Senrojiki_Pgn", kPgn, "A6241", "others/zyouti.pgn", "others/others.arc", "", 0, "線路敷ポリゴンを変換します。", kPlainPolygonColumns},
  {5, "Tesudou_Eki_Pnt", kPnt, "P2420", "others/eki.pnt", "", "others/eki.atr", 1, "駅ポイントを変換します。", kEkiColumns},
  {6, "Zyouti_Toshikouen_Arc", kLine, "L6242", "others/others.arc", "", "", 0, "都市公園アークを変換します。", kArcColumns},
  {6, "Zyouti_Toshikouen_Pgn", kPgn, "A6242", "others/zyouti.pgn", "others/others.arc", "others/zyouti.atr", 1, "都市公園ポリゴンを変換します。", kNamedColumns},
  {6, "Zyouti_Gakkou_Arc", kLine, "L6243", "others/others.arc", "", "", 0, "学校敷地アークを変換します。", kArcColumns},
  {6, "Zyouti_Gakkou_Pgn", kPgn, "A6243", "others/zyouti.pgn", "others/others.arc", "others/zyouti.atr", 1, "学校敷地ポリゴンを変換します。", kNamedColumns},
  {6, "Zyouti_JinjaKeidai_Arc", kLine, "L6244", "others/others.arc", "", "", 0, "神社境内アークを変換します。", kArcColumns},
  {6, "Zyouti_JinjaKeidai_Pgn", kPgn, "A6244", "others/zyouti.pgn", "others/others.arc", "others/zyouti.atr", 1, "神社境内ポリゴンを変換します。", kNamedColumns},
  {6, "Zyouti_Bochi_Arc", kLine, "L6215", "others/others.arc", "", "", 0, "墓地アークを変換します。", kArcColumns},
  {6, "Zyouti_Bochi_Pgn", kPgn, "A6215", "others/zyouti.pgn", "others/others.arc", "others/zyouti.atr", 1, "墓地ポリゴンを変換します。", kNamedColumns},
  {6, "Zyouti_Sonota_Arc", kLine, "L6200", "others/others.arc", "", "", 0, "その他の場地アークを変換します。", kArcColumns},
  {6, "Zyouti_Sonota_Pgn", kPgn, "A6200", "others/zyouti.pgn", "others/others.arc", "others/zyouti.atr", 1, "その他の場地を変換します。", kNamedColumns},
  {7, "Kijunten_Sankakuten_Pnt", kPnt, "P7301", "kijunten/sankaku.pnt", "", "kijunten/sankaku.atr", 11, "三角点ポイントを変換します。", kSankakuColumns},
  {8, "Zukaku_Pgn", LayerKind::kFrame, "", "", "", "", 0, "図郭ポリゴンを変換します。", kFrameColumns},
}};
// clang-format on

}  // namespace

std::span<const LayerDef> LayerTable() {
  return kLayers;
}

std::string_view LayerCaption(const LayerDef& layer) {
  constexpr std::string_view kEnding = "を変換します。";
  std::string_view caption = layer.log_text;
  if (caption.ends_with(kEnding)) caption.remove_suffix(kEnding.size());
  return caption;
}

}  // namespace pelmora
