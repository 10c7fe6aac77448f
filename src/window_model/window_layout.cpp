#include "window_layout.hpp"

namespace pelmora::window {

namespace {

using K = ControlKind;
constexpr int kBW = kButtonWidth;
constexpr int kBH = kButtonHeight;

constexpr ControlPlace kControls[] = {
    {"Label1", K::kLabel, 8, 8, 321, 12,
     "変換する数値地図2500(データがある親フォルダを指定します。)"},
    {"ListBox1", K::kListBox, 8, 24, 329, 177, ""},
    {"Button1", K::kButton, 344, 24, kBW, kBH, "追加..."},
    {"Button2", K::kButton, 344, 56, kBW, kBH, "削除"},
    {"Button3", K::kButton, 344, 80, kBW, kBH, "クリア"},
    {"Label2", K::kLabel, 8, 216, 112, 12, "MIFに記録する座標系"},
    {"ComboBox1", K::kComboBox, 8, 232, 329, 20, ""},
    {"Label3", K::kLabel, 8, 264, 110, 12, "MIFの出力先フォルダ"},
    // The output format, right-aligned above the edit's right end, clear of
    // the heading.
    {"Label5", K::kLabel, 128, 264, 209, 14, ""},
    {"Edit1", K::kEdit, 8, 280, 329, 20, ""},
    {"Button4", K::kButton, 344, 280, kBW, kBH, "参照..."},
    {"GroupBox1", K::kGroupBox, 8, 312, 329, 97, "変換対象項目"},
    {"Button5", K::kButton, 344, 320, kBW, kBH, "全選択"},
    {"Button6", K::kButton, 344, 344, kBW, kBH, "全解除"},
    {"Button7", K::kButton, 344, 388, kBW, kBH, "変換開始"},
    {"Label4", K::kLabel, 424, 8, 45, 12, "変換ログ"},
    {"Memo1", K::kMemo, 424, 24, 361, 361, ""},
    {"ProgressBar1", K::kProgressBar, 424, 392, 361, 17, ""},
    {"StatusBar1", K::kStatusBar, 0, 413, 793, 19, ""},
};

constexpr int kCW = kCheckBoxWidth;
constexpr int kCH = kCheckBoxHeight;

constexpr ControlPlace kCheckBoxes[] = {
    {"CheckBox1", K::kCheckBox, 16, 24, kCW, kCH, "道路"},
    {"CheckBox2", K::kCheckBox, 96, 24, kCW, kCH, "行政界"},
    {"CheckBox3", K::kCheckBox, 176, 24, kCW, kCH, "街区"},
    {"CheckBox4", K::kCheckBox, 248, 24, kCW, kCH, "建物"},
    {"CheckBox5", K::kCheckBox, 16, 48, kCW, kCH, "水系"},
    {"CheckBox6", K::kCheckBox, 96, 48, kCW, kCH, "鉄道"},
    {"CheckBox7", K::kCheckBox, 176, 48, kCW, kCH, "場地"},
    {"CheckBox8", K::kCheckBox, 248, 48, kCW, kCH, "基準点"},
    {"CheckBox9", K::kCheckBox, 16, 72, kCW, kCH, "図郭"},
};

constexpr std::string_view kTabOrder[] = {
    "ListBox1",  "Button1",   "Button2",   "Button3",   "ComboBox1", "Edit1",     "Button4",
    "CheckBox1", "CheckBox2", "CheckBox3", "CheckBox4", "CheckBox5", "CheckBox6", "CheckBox7",
    "CheckBox8", "CheckBox9", "Button5",   "Button6",   "Button7",   "Memo1",
};

constexpr ControlPlace kAboutControls[] = {
    {"Image2", K::kPicture, 64, 16, 32, 32, ""},
    {"Label1", K::kLabel, 104, 16, 101, 12, ""},
    {"lblVersion", K::kLabel, 104, 32, 51, 12, ""},
    {"Label7", K::kLabel, 104, 112, 22, 12, ""},
    {"Label6", K::kLabel, 152, 112, 109, 12, ""},  // a link label
    {"Label5", K::kLabel, 104, 128, 39, 12, ""},
    {"Label4", K::kLabel, 152, 128, 82, 12, ""},  // a link label
    {"Button1", K::kButton, 144, 152, kBW, kBH, "OK"},
};

}  // namespace

std::span<const ControlPlace> AboutControls() {
  return kAboutControls;
}

const ControlPlace& AboutControlPlace(std::string_view name) {
  for (const ControlPlace& place : kAboutControls) {
    if (place.name == name) return place;
  }
  return kAboutControls[0];  // every caller names one of the table's
}

std::span<const ControlPlace> MainWindowControls() {
  return kControls;
}

std::span<const ControlPlace> GroupCheckBoxes() {
  return kCheckBoxes;
}

const ControlPlace* FindControlPlace(std::string_view name) {
  for (const ControlPlace& place : kControls) {
    if (place.name == name) return &place;
  }
  for (const ControlPlace& place : kCheckBoxes) {
    if (place.name == name) return &place;
  }
  return nullptr;
}

std::span<const std::string_view> TabOrder() {
  return kTabOrder;
}

}  // namespace pelmora::window
