#pragma once
// Texts of the shell: start-up and shut-down, the buttons every box and
// dialog of the program shares, the splash screen, the rebar and the
// placeholder picture. "\n" is a line break; full-width blanks (U+3000) are
// part of the texts. Each subsystem keeps its own texts in a table like this
// one (imagelist/imagelist_messages.h, library/library_messages.h,
// metadata/metadata_messages.h); fillText below fills in all of them.

#include <string>
#include <string_view>

namespace qlx::shell::messages {

inline constexpr std::u16string_view kNeedsWritableDrive =
    u"本ソフトウェアを実行するには書き込み可能なドライブに置いてください。";
inline constexpr std::u16string_view kPlatformInitFailed = u"OLEの初期化に失敗しました。";
inline constexpr std::u16string_view kCameraTableFailed = u"カメラ情報の読み込みに失敗しました";
inline constexpr std::u16string_view kLensTableFailed = u"レンズ情報の読み込みに失敗しました";
inline constexpr std::u16string_view kDataErrorCaption = u"データエラー";
inline constexpr std::u16string_view kRecoveryQuestion =
    u"前回正常に終了しなかった可能性があります。　以前開いたフォルダに復帰しますか?\n\n"
    u"※何度も繰り返しこの表示が出る場合は設定ファイルが破損している可能性があります。\n"
    u"　実行ファイルと同じフォルダ内にある設定ファイル[Quenderluxium.cfg]を一度削除した後、"
    u"起動することで改善する可能性があります。";
inline constexpr std::u16string_view kOutOfMemory = u"メモリ不足です。";
// The help page beside the program is missing, or no browser opened it.
inline constexpr std::u16string_view kHelpNotOpened = u"ヘルプファイル[%s]を開けませんでした。";

// Button labels of the program's message boxes and dialogs.
inline constexpr std::u16string_view kButtonYes = u"はい(&Y)";
inline constexpr std::u16string_view kButtonNo = u"いいえ(&N)";
inline constexpr std::u16string_view kButtonOk = u"OK";
inline constexpr std::u16string_view kButtonCancel = u"キャンセル";
inline constexpr std::u16string_view kButtonClose = u"閉じる";
// The first button of the three-button question that offers the settings
// (its other two read kButtonYes and kButtonNo).
inline constexpr std::u16string_view kButtonCheckSettings = u"設定確認(&E)";

// Splash screen.
inline constexpr std::u16string_view kSplashLabel = u"カメラ＆レンズデータベース更新";
inline constexpr std::u16string_view kSplashInitialising = u"　初期化...";
inline constexpr std::u16string_view kSplashCheckingData = u"　データ確認中...";
inline constexpr int kSplashSteps = 9;

// Window titles.
inline constexpr std::u16string_view kCollectionTitleWord = u"コレクション";

// The buttons of the rebar's menu-style band, each labelled like the entry
// that opens its menu in the main and list menus.
inline constexpr std::u16string_view kRebarMainMenu = u"メニュー";
inline constexpr std::u16string_view kRebarTargetFormats = u"対象画像フォーマット";
inline constexpr std::u16string_view kRebarCheckMarks = u"チェックマーク";
inline constexpr std::u16string_view kRebarMultiScreen = u"マルチスクリーン分割(F12)";
inline constexpr std::u16string_view kRebarHelp = u"ヘルプ";

// The picture shown for a file that cannot be decoded: a large mark over a
// word.
inline constexpr std::u16string_view kPlaceholderMark = u"?";
inline constexpr std::u16string_view kPlaceholderWord = u"unknown";

// The Windows font names the settings carry (in their Japanese and their
// Latin spelling); start-up maps them to faces installed here.
inline constexpr std::u16string_view kProportionalGothic = u"ＭＳ Ｐゴシック";
inline constexpr std::u16string_view kProportionalGothicLatin = u"MS PGothic";
inline constexpr std::u16string_view kMonospacedGothic = u"ＭＳ ゴシック";
inline constexpr std::u16string_view kMonospacedGothicLatin = u"MS Gothic";

// `text` with its first `placeholder` ("%s", "%d") replaced by `value`.
inline std::u16string fillText(std::u16string_view text, std::u16string_view placeholder, std::u16string_view value)
{
    std::u16string filled(text);
    const std::size_t at = filled.find(placeholder);
    if (at != std::u16string::npos)
        filled.replace(at, placeholder.size(), value);
    return filled;
}

// A count in decimal digits, for "%d".
inline std::u16string numberText(std::size_t count)
{
    std::u16string number;
    for (const char c : std::to_string(count))
        number.push_back(static_cast<char16_t>(c));
    return number;
}

} // namespace qlx::shell::messages
