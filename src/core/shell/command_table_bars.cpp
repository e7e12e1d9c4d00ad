// The tool box's buttons and the rebar bands' labels.

#include "shell/command_table.h"

#include <array>

namespace qlx::shell {

namespace {

using enum Availability;
using enum ToolKey;

constexpr int kKeyOnly = -1;

// Numbered as the settings' tool box table stores them, grouped by what they
// do: screen, display, zoom, RAW, rotation, slide show, check marks, refresh,
// media, settings, split views.
constexpr std::array<ToolBoxButton, 23> kToolBox{{
    {u"フルスクリーン表示(ESC)", u"ウインドウ表示(ESC)", Escape, kKeyOnly, Screens},
    {u"フォルダツリー消去(TAB)", u"フォルダツリー表示(TAB)", Tab, kKeyOnly, Screens},
    {u"サムネイル画面に切替(ENTER)", u"メイン画面に切替(ENTER)", Enter, kKeyOnly, Screens},
    {u"グリッド表示('無変換'ｷｰ)", u"グリッド消去('無変換'ｷｰ)", NonConvert, kKeyOnly, Viewer},
    {u"表示タイプ切替(SPACE)", u"", Space, 119, Browsing},
    {u"等倍、拡大保持モード('/'ｷｰ)", u"等倍、拡大保持モード解除('/'ｷｰ)", Slash, 227, Zoom},
    {u"ルーペモード('_'ｷｰ)", u"ルーペモード解除('_'ｷｰ)", Underscore, 206, Zoom},
    {u"RAW現像('変換'ｷｰ)", u"RAW現像データの解放('変換'ｷｰ)", Convert, kKeyOnly, Raw},
    {u"画像右に９０度回転('>'ｷｰ)", u"", Greater, kKeyOnly, FileActions},
    {u"画像左に９０度回転('<'ｷｰ)", u"", Less, kKeyOnly, FileActions},
    {u"画像の回転情報に従い画像を回転('?'ｷｰ)", u"", Question, kKeyOnly, Viewer},
    {u"スライドショー(F1)", u"スライドショー停止(F1)", F1, kKeyOnly, Viewer},
    {u"チェックマークを付ける(F2)", u"", F2, 182, Browsing},
    {u"チェックマークを外す(F3)", u"", F3, 183, Browsing},
    {u"チェックマークを付けた画像にジャンプ(F4)", u"", F4, kKeyOnly, Browsing},
    {u"最新の情報に更新(F5)", u"", F5, command::kRefresh, Browsing},
    {u"メディア容量分割計算(F6)", u"", F6, kKeyOnly, FileActions},
    {u"メディア容量に振分け実行(F7)", u"", F7, kKeyOnly, FileActions},
    {u"サブフォルダ画像統合(F8)", u"", F8, 139, FileActions},
    {u"環境設定を開く(F9)", u"", F9, kKeyOnly, ActionSettings},
    // Page 8 of the settings dialog is the actions page.
    {u"アクション設定を開く(F10)", u"", F10, command::kFirstSettingsPage + 8, ActionSettings},
    {u"サムネイル分割表示(F11)", u"", F11, 218, Screens},
    {u"マルチスクリーン分割(F12)", u"", F12, kKeyOnly, Screens},
}};

// Every key runs one button.
constexpr bool keysDistinct()
{
    for (std::size_t i = 0; i < kToolBox.size(); ++i) {
        for (std::size_t j = i + 1; j < kToolBox.size(); ++j) {
            if (kToolBox[i].key == kToolBox[j].key)
                return false;
        }
    }
    return true;
}
static_assert(keysDistinct());

constexpr std::array<std::u16string_view, kBandKinds> kBandLabels{
    u"", u"", u"", u"スライダー", u"ログ", u"プログレス", u"",
};

} // namespace

std::span<const ToolBoxButton> toolBoxButtons()
{
    return kToolBox;
}

std::u16string_view bandLabel(BandKind kind)
{
    const auto index = static_cast<std::size_t>(kind);
    return index < kBandLabels.size() ? kBandLabels[index] : std::u16string_view{};
}

} // namespace qlx::shell
