#include "names.hpp"

#include <initializer_list>

#include "core/text/cp932.hpp"

namespace pelmora::gen {
namespace {

std::vector<std::string> Cp932List(std::initializer_list<const char*> utf8) {
  std::vector<std::string> list;
  for (const char* text : utf8) list.push_back(Utf8ToCp932(text));
  return list;
}

}  // namespace

NameMaker::NameMaker()
    : prefixes_(
          Cp932List({"東", "西", "南", "北", "上", "下", "中", "新", "本", "大", "小", "元"})),
      roots_(Cp932List({"桜", "松", "竹",     "梅",   "楓",   "柳",   "杉",   "榎",
                        "藤", "菊", "若葉",   "青葉", "朝日", "白鷺", "鶴見", "亀井",
                        "緑", "泉", "富士見", "錦",   "柏",   "椿",   "萩",   "桐",
                        "宮", "岩", "石",     "森",   "清水", "高砂"})),
      place_suffixes_(Cp932List({"川", "町", "台", "原", "田", "沢", "ヶ丘", "野", "島", "坂",
                                 "谷", "浜", "崎", "里", "山", "窪", "橋",   "瀬", "塚", "木"})),
      municipality_suffixes_(Cp932List({"区", "区", "市", "町"})),
      prefectures_(Cp932List({"東陽都", "北辰県", "南海県", "西峰県"})),
      avenue_suffixes_(Cp932List({"通り", "大通り", "街道", "本通り"})),
      street_suffixes_(Cp932List({"小路", "横丁", "坂", "通り", "新道"})),
      route_kinds_(Cp932List({"都道", "県道", "国道", "区道", "市道"})),
      river_suffixes_(Cp932List({"川", "川", "堀", "用水"})),
      pond_suffixes_(Cp932List({"池", "沼", "調整池", "弁天池"})),
      railway_companies_(Cp932List({"東陽電鉄", "北辰鉄道", "都営", "南海急行", "西峰電鉄"})),
      park_suffixes_(Cp932List({"公園", "児童遊園", "緑地", "運動公園", "なかよし公園"})),
      school_suffixes_(Cp932List({"小学校", "中学校", "高等学校", "第二小学校", "養護学校"})),
      shrine_suffixes_(Cp932List({"神社", "八幡神社", "稲荷神社", "天神社", "氷川神社"})),
      cemetery_suffixes_(Cp932List({"霊園", "墓地", "寺墓地"})),
      other_site_suffixes_(Cp932List({"運動場", "浄水場", "資材置場", "車両基地", "グラウンド"})),
      triangulation_kinds_(Cp932List({"三等三角点", "四等三角点", "二等三角点"})),
      numerals_(Cp932List({"一", "二", "三", "四", "五", "六", "七", "八", "九", "十"})),
      chome_(Utf8ToCp932("丁目")),
      station_(Utf8ToCp932("駅")),
      line_(Utf8ToCp932("線")),
      town_prefix_(Utf8ToCp932("新")) {
  const char* uses[][2] = {{"3501", "区役所"}, {"3502", "出張所"}, {"3503", "郵便局"},
                           {"3504", "警察署"}, {"3505", "交番"},   {"3506", "消防署"},
                           {"3507", "図書館"}, {"3508", "公民館"}, {"3509", "病院"},
                           {"3510", "保健所"}, {"3511", "税務署"}, {"3512", "体育館"}};
  for (auto& use : uses) buildings_.push_back({use[0], Utf8ToCp932(use[1])});
}

std::string NameMaker::Root(Rng& rng) const {
  return rng.Pick(roots_);
}

std::string NameMaker::Place(Rng& rng) const {
  std::string name = rng.Percent(25) ? rng.Pick(prefixes_) : std::string();
  return name + rng.Pick(roots_) + rng.Pick(place_suffixes_);
}

std::string NameMaker::Suffixed(Rng& rng, const std::vector<std::string>& suffixes) const {
  return Place(rng) + rng.Pick(suffixes);
}

std::string NameMaker::Municipality(Rng& rng) const {
  return Suffixed(rng, municipality_suffixes_);
}
std::string NameMaker::Prefecture(Rng& rng) const {
  return rng.Pick(prefectures_);
}
std::string NameMaker::Avenue(Rng& rng) const {
  return Suffixed(rng, avenue_suffixes_);
}
std::string NameMaker::Street(Rng& rng) const {
  return Root(rng) + rng.Pick(street_suffixes_);
}
std::string NameMaker::RouteNumber(Rng& rng) const {
  return rng.Pick(route_kinds_) + FullWidthDigits(rng.Between(1, 480)) + Utf8ToCp932("号");
}
std::string NameMaker::River(Rng& rng) const {
  return Root(rng) + rng.Pick(river_suffixes_);
}
std::string NameMaker::Pond(Rng& rng) const {
  return Root(rng) + rng.Pick(pond_suffixes_);
}
std::string NameMaker::Railway(Rng& rng) const {
  return rng.Pick(railway_companies_) + Place(rng) + line_;
}
std::string NameMaker::Station(Rng& rng) const {
  return Place(rng) + station_;
}
std::string NameMaker::Park(Rng& rng) const {
  return Suffixed(rng, park_suffixes_);
}
std::string NameMaker::School(Rng& rng) const {
  return Suffixed(rng, school_suffixes_);
}
std::string NameMaker::Shrine(Rng& rng) const {
  return Root(rng) + rng.Pick(shrine_suffixes_);
}
std::string NameMaker::Cemetery(Rng& rng) const {
  return Suffixed(rng, cemetery_suffixes_);
}
std::string NameMaker::OtherSite(Rng& rng) const {
  return Suffixed(rng, other_site_suffixes_);
}
std::string NameMaker::TriangulationKind(Rng& rng) const {
  return rng.Pick(triangulation_kinds_);
}

BuildingUse NameMaker::Building(Rng& rng) const {
  BuildingUse use = rng.Pick(buildings_);
  use.name = Place(rng) + use.name;
  return use;
}

std::string NameMaker::Chome(int number) const {
  // Kanji numerals as town districts are written: 十一, 二十, 二十三.
  std::string text;
  int tens = number / 10 % 10;
  int ones = number % 10;
  if (tens > 1) text += numerals_[tens - 1];
  if (tens > 0) text += numerals_[9];
  if (ones > 0) text += numerals_[ones - 1];
  if (text.empty()) text = town_prefix_;
  return text + chome_;
}

std::string NameMaker::FullWidthDigits(int64_t number) {
  std::string ascii = std::to_string(number);
  std::string wide;
  for (char digit : ascii) {
    // Code page 932 full-width digits are 0x82 0x4F (０) to 0x82 0x58 (９).
    wide.push_back(static_cast<char>(0x82));
    wide.push_back(static_cast<char>(0x4F + (digit - '0')));
  }
  return wide;
}

}  // namespace pelmora::gen
