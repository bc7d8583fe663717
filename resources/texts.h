// The program's own texts. The source is UTF-8; the Windows build compiles
// with -fexec-charset=CP932, so every literal here is code page 932 bytes.
#pragma once

namespace texts {

// Application and start-up
constexpr const char* AppTitle = "Yorunel";
constexpr const char* HelloCaption = "HELLO";
constexpr const char* FirstRun = "ご利用有り難うございます。\r\n添付のテキスト類はお読み下さい。";
constexpr const char* WriteFailed = "%s に書き込めません";
constexpr const char* ExitWithoutSaving = "設定を保存せずに終了しますか？";
constexpr const char* HelpFileName = "YORUNEL.hlp";
constexpr const char* HelpPageName = "YORUNEL.html";

// Tray
constexpr const char* TipRunning = "Yorunel(実行中)";
constexpr const char* TipPaused = "Yorunel(停止中)";
constexpr const char* MenuWallpaper = "壁紙";
constexpr const char* MenuSettings = "設定";
constexpr const char* MenuExit = "終了";
constexpr const char* MenuHelp = "ヘルプ";

// Wallpaper object failures
constexpr const char* OleError = "OLE エラー %.8x";
constexpr const char* InterfaceNotSupported = "Interface はサポートされていません";

// Framework
constexpr const char* TimerUnavailable = "タイマーを取得できません";
constexpr const char* InvalidTypecast = "無効なクラス型キャスト";
constexpr const char* UiFontName = "ＭＳ Ｐゴシック";

// Settings dialog
constexpr const char* PropCaption = "設定";
constexpr const char* NodeVersion = "バージョン情報";
constexpr const char* NodeHotKey = "ホットキーの設定";
constexpr const char* NodeHotKey2 = "ホットキーの設定２";
constexpr const char* NodeWallpaper = "壁紙変更";
constexpr const char* NodeMore = "詳細設定";
constexpr const char* NodePanic = "パニック機能";
constexpr const char* NodeSettings = "設定";
constexpr const char* ButtonOk = "&OK";
constexpr const char* ButtonClose = "閉じる(&C)";
constexpr const char* ButtonUpdate = "更新(&R)";
constexpr const char* ButtonHelp = "ヘルプ(&H)";
constexpr const char* HotKeyLabel = "ホットキーの設定";
constexpr const char* GroupRedraw = "再描画";
constexpr const char* GroupScreenSaver = "スクリーンセーバー起動";
constexpr const char* GroupExitDialog = "終了ダイアログ表示";
constexpr const char* GroupWallpaper = "壁紙変更";
constexpr const char* GroupApplications = "登録アプリ";
constexpr const char* GroupPanic = "パニック";
constexpr const char* Minutes = "分";
constexpr const char* ButtonPath = "パス";
constexpr const char* ButtonRegister = "登録";
constexpr const char* RadioPause = "一時停止はマウスの？";
constexpr const char* RadioRight = "右ボタンにする。";
constexpr const char* RadioLeft = "左ボタンにする。";
constexpr const char* FolderNotFound = "指定されたフォルダが見つかりません。";
constexpr const char* LinkMail1 = "メールしてね";
constexpr const char* LinkMail2 = "こちらでも良いです。";
constexpr const char* LinkHome = "ＨＰはこちら";
constexpr const char* GroupOrder = "順番";
constexpr const char* OrderFolder = "フォルダ内の順";
constexpr const char* OrderName = "名前順";
constexpr const char* OrderShuffle = "シャッフル（重複なし）";
// As Windows 10 and 11 name them in their own background settings.
constexpr const char* GroupStyle = "調整方法";
constexpr const char* StyleWindows = "Windows の設定のまま";
constexpr const char* StyleFill = "ページ幅に合わせる";
constexpr const char* StyleFit = "ページ縦幅に合わせる";
constexpr const char* StyleStretch = "拡大して表示";
constexpr const char* StyleTile = "並べて表示";
constexpr const char* StyleCenter = "中央に表示";
constexpr const char* StyleSpan = "スパン";
constexpr const char* CheckSubFolders = "サブフォルダの壁紙も使う";
constexpr const char* CheckMonitors = "モニターごとに別の壁紙にする";
constexpr const char* CheckStartup = "Windows と同時に起動する";
constexpr const char* StartupNotCreated = "スタートアップにショートカットを作成できません。\r\n%s";
constexpr const char* StartupNotRemoved = "スタートアップのショートカットを削除できません。\r\n%s";
constexpr const char* HotKeyTrouble = "次のホットキーは設定どおりに働きません。\r\n";
constexpr const char* HotKeyTroubleLine = "\r\n%s：%s";
constexpr const char* HotKeyHeldElsewhere = "ほかのプログラムが使っているため、登録できません。";
constexpr const char* HotKeySameAs = "「%s」と同じキーのため、登録できません。";

// Window picker and folder picker
constexpr const char* TaskCaption = "起動タスク";
constexpr const char* TaskRefreshHint = "更新";
constexpr const char* TaskCancel = "&Cancel";
constexpr const char* FolderTitle = "フォルダー選択";

}  // namespace texts
