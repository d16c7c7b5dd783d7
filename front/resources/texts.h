// Every text the program shows. The source is UTF-8; the Windows build compiles it to code page
// 932 for the narrow window functions, other builds keep UTF-8.
#pragma once

#include "front/resources/conversion_dialog.h"

inline constexpr char kCaption[] = DIALOG_CAPTION;
inline constexpr char kReadFailedText[] = "ファイルの読み込みに失敗しました。";
inline constexpr char kNotMqoText[] = "MQO フォーマットではありません。";
inline constexpr char kFinishedText[] = "変換が終了しました。";
inline constexpr char kWriteFailedText[] = "ファイルの書き込みに失敗しました。";

inline constexpr char kOkButton[] = "OK";

// The dialog in a terminal: the keys that stand in for the mouse, and why it cannot open.
inline constexpr char kTerminalKeysHint[] = "Tab: 移動  Ctrl+Q: 閉じる";
inline constexpr char kNoTerminalInputText[] =
    "変換ダイアログを開けません: 標準入力が端末ではありません。"
    "ファイルを指定して変換してください (vuv2ez --help)。";
inline constexpr char kNoTerminalOutputText[] =
    "変換ダイアログを開けません: 標準出力が端末ではありません。"
    "ファイルを指定して変換してください (vuv2ez --help)。";
inline constexpr char kNoUtf8LocaleText[] =
    "変換ダイアログを開けません: UTF-8 のロケールではありません (例: LANG=C.UTF-8)。";
inline constexpr char kUnknownTerminalText[] =
    "変換ダイアログを開けません: 端末の種類がわかりません (TERM を確かめてください)。";

inline constexpr char kUsageText[] =
    "使い方: vuv2ez [--flat] [-o 出力.qz] [--] ファイル.mqo...\n"
    "  MQO ファイルを QZ ファイル (ファイル名 + \".qz\") に変換します。\n"
    "  ファイルを指定しないと変換ダイアログを開きます。\n"
    "\n"
    "  --flat           法線をフラットシェーディング用にする\n"
    "  -o, --output 先  出力先のファイル (ファイルが一つのときだけ)\n"
    "  -h, --help       この説明を表示する\n"
    "      --version    版を表示する\n"
    "\n"
    "終了コード: すべて変換できたら 0、できなかったものがあれば 1、使い方の誤りは 2。\n";
