#pragma once
// Texts the program shows to the user at start-up and shut-down, kept in one
// place. "\n" is a line break; full-width blanks (U+3000) are part of the texts.

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

// Button labels of the program's message boxes.
inline constexpr std::u16string_view kButtonYes = u"はい(&Y)";
inline constexpr std::u16string_view kButtonNo = u"いいえ(&N)";
inline constexpr std::u16string_view kButtonOk = u"OK";
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

} // namespace qlx::shell::messages
