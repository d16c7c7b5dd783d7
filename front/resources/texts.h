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

// The command line on Linux names the file of every line, and says why a read or a write failed.
inline constexpr char kWarningText[] = "警告: ";
inline constexpr char kNoSuchFileText[] = "ファイルまたはフォルダーがありません。";
inline constexpr char kPermissionDeniedText[] = "アクセスが許可されていません。";
inline constexpr char kFolderText[] = "ファイルではなくフォルダーです。";
inline constexpr char kNotAFileText[] = "通常のファイルではありません。";
inline constexpr char kDiskFullText[] = "ディスクがいっぱいです。";
inline constexpr char kReadOnlyText[] = "読み取り専用のファイルシステムです。";
inline constexpr char kNameTooLongText[] = "パスが長すぎます。";
inline constexpr char kTooLargeText[] = "大きすぎてメモリーに収まりません。";
inline constexpr char kShortenedText[] = "読み込みの途中でファイルが短くなりました。";
inline constexpr char kChangedText[] = "読み込み中にファイルが変更されました。";
inline constexpr char kZipNoDocumentText[] = "ZIP の中に .mqo ファイルがありません。";
inline constexpr char kZipDamagedText[] = "ZIP ファイルが壊れています。";
inline constexpr char kZipUnsupportedText[] =
    "対応していない ZIP ファイルです (暗号化、ZIP64、分割、または未対応の圧縮方式)。";
inline constexpr char kOverCountedText[] = "ファイルの大きさに見合わない数が書かれています。";
inline constexpr char kBinaryDamagedText[] = "バイナリーの頂点データが壊れています。";
inline constexpr char kPastFormatText[] = "QZ ファイルの大きさの上限 (4 GiB) を超えます。";
inline constexpr char kNoMemoryText[] = "メモリーが足りません。";

// Warnings: what the QZ file does not carry as the modeller shows it; each says a count between
// its two parts.
struct NoteText {
  const char* before;
  const char* after;
};
inline constexpr NoteText kHiddenNote{"非表示のオブジェクト ",
                                      " 個も変換しました (--visible-only で除きます)。"};
inline constexpr NoteText kMirrorNote{
    "ミラーのオブジェクト ", " 個を片側だけ書き出しました (--mirror で両側を書き出します)。"};
inline constexpr NoteText kLatheNote{"回転体のオブジェクト ", " 個を断面のまま書き出しました。"};
inline constexpr NoteText kPatchNote{"曲面のオブジェクト ",
                                     " 個を制御メッシュのまま書き出しました。"};
inline constexpr NoteText kFanNote{"頂点が 5 つ以上の面 ", " 個を扇形に分けて書き出しました。"};
inline constexpr NoteText kShortFaceNote{"頂点が 1 つか 2 つの面が ", " 個あります。"};
inline constexpr NoteText kCornerRangeNote{"範囲外の頂点番号 ", " 個を原点にしました。"};
inline constexpr NoteText kMaterialRangeNote{"範囲外の材質番号をもつ面 ",
                                             " 個を白、テクスチャーなしにしました。"};
inline constexpr NoteText kTextureNameNote{"16 バイトを超えるテクスチャー名 ",
                                           " 個を切り詰めました。"};
inline constexpr NoteText kLevelsNote{"分割数が 1 から 4 の外にある曲面のオブジェクト ",
                                      " 個は、近いほうの分割数にしました。"};
inline constexpr NoteText kRefusedSurfaceNote{
    "曲面のオブジェクト \"", "\" は細分化できないため、制御メッシュのまま書き出しました。"};
inline constexpr NoteText kWrapNote{"面が 65,535 を超えるオブジェクト ",
                                    " 個は、面の数の欄があふれます。"};
inline constexpr NoteText kLocalMirrorNote{
    "ローカル座標でミラーするオブジェクト ",
    " 個は、座標系が移動・回転・拡大されているため片側だけ書き出しました。"};

// After several files dropped on the Windows program: how many more than its message lists.
inline constexpr NoteText kMoreFilesNote{"ほか ", " 件"};

// Usage errors.
inline constexpr char kNeedsPathText[] = " には出力先のパスが要ります。";
inline constexpr char kOnlyOnceText[] = " は一度だけ指定できます。";
inline constexpr char kUnknownOptionText[] = "不明なオプションです: ";
inline constexpr char kNoFileText[] = "変換するファイルがありません。";
inline constexpr char kOneFileText[] = "-o はファイルが一つのときだけ指定できます。";
inline constexpr char kNoSubdivisionText[] =
    "この版は --subdivide (曲面の細分化) に対応していません。";

// The dialog in a terminal: the keys that stand in for the mouse, and why it cannot open.
inline constexpr char kTerminalKeysHint[] = "Tab: 移動  Ctrl+Q: 閉じる";
// A terminal too small for the dialog says the size it needs, columns x rows, between its parts.
inline constexpr NoteText kTerminalTooSmallText{"端末を ", " 以上にしてください。"};
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
    "使い方: vuv2ez [--flat] [--facet-normals] [--mirror] [--visible-only] [--lathe]\n"
    "              [--subdivide] [--as-shown] [-q]\n"
    "              [-o 出力.qz] [--] ファイル.mqo...\n"
    "  MQO ファイルを QZ ファイル (ファイル名 + \".qz\") に変換します。\n"
    "  ファイルを指定しないと変換ダイアログを開きます。\n"
    "\n"
    "  --flat           法線をフラットシェーディング用にする\n"
    "  --facet-normals  法線をオブジェクトのスムージング角とシェーディングのとおりにする\n"
    "  --mirror         ミラーのオブジェクトを両側とも書き出す (モデラーの表示のとおり)\n"
    "  --visible-only   非表示のオブジェクトを書き出さない\n"
    "  --lathe          回転体のオブジェクトを断面から回転させて書き出す\n"
    "  --subdivide      曲面のオブジェクトを細分化して書き出す (OpenSubdiv)\n"
    "  --as-shown       モデラーの表示のとおりに書き出す (--visible-only --mirror\n"
    "                   --facet-normals --lathe と、使えるときは --subdivide を指定したのと同じ)\n"
    "  -q, --quiet      警告を表示しない (結果の行は表示する)\n"
    "  -o, --output 先  出力先のファイル (ファイルが一つのときだけ)\n"
    "  -h, --help       この説明を表示する\n"
    "      --version    版を表示する\n"
    "\n"
    "結果はファイルごとに一行ずつ、警告はその後に、標準エラー出力に表示します。\n"
    "終了コード: すべて変換できたら 0、できなかったものがあれば 1、使い方の誤りは 2\n"
    "(警告は終了コードを変えません)。\n";
