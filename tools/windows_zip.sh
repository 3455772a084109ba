#!/usr/bin/env bash
# Makes zolbeck-windows.zip from an optimised Windows build (build-win-release/,
# made by tools/windows_build.sh at -O2 when missing): zolbeck.exe with its pictures,
# stage, sounds and music in a folder "zolbeck", and a short read-me in
# Japanese and English. Usage: tools/windows_zip.sh [OUTPUT.zip]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
out=${1:-$root/zolbeck-windows.zip}
win=build-win-release
ZOLBECK_WIN_OUT=$root/$win ZOLBECK_WIN_OPT=-O2 tools/windows_build.sh zolbeck
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
mkdir "$stage/zolbeck"
cp $win/zolbeck.exe $win/stagedata.txt $win/map01_*.txt $win/SOUND.PAK "$stage/zolbeck/"
cp -r $win/BMP $win/WAVE $win/MIDI "$stage/zolbeck/"
# The read-me in UTF-8 with Windows line ends, as Notepad opens it.
sed 's/$/\r/' > "$stage/zolbeck/README.txt" <<'TEXT'
ゾルベック！ (zolbeck) for Windows

【遊び方】
zolbeck.exe をダブルクリックすると始まります。
  矢印キー : 姫が歩く
  V        : 仲間を呼ぶ
  C        : 剣を振る（届いた仲間が飛んでいく）
  Enter    : GAME_OVER / STAGE CLEAR の後にもう一度
  Alt+Enter: ウィンドウと全画面の切り替え
  F12      : 画面を PNG で「ピクチャ」フォルダーに保存
  Escape   : 終了
効果音と音楽を鳴らすには --sound を付けて起動します
（ショートカットのリンク先に「zolbeck.exe --sound」と書く）。
全画面で始めるには --fullscreen を付けます。
フォルダーの中身（BMP, WAVE, MIDI, stagedata.txt など）は
zolbeck.exe と同じ場所に置いたままにしてください。

How to play
Double-click zolbeck.exe. The princess walks with the arrow keys, calls her
companions with V and swings with C: every companion within reach flies
across the screen. Walk over an edge of the view to go on; the dragon waits
on the last screen. Enter starts again after GAME_OVER or STAGE CLEAR,
Alt+Enter switches between the window and full screen, F12 saves a PNG in
your Pictures folder, Escape quits.
Start it as "zolbeck.exe --sound" (for instance in a shortcut) for sound
effects and music, and with --fullscreen to start in full screen. Keep the
folders and files beside zolbeck.exe.
TEXT
rm -f "$out"
(cd "$stage" && python3 "$root/tools/zip_folder.py" "$out" zolbeck)
echo "$out"
