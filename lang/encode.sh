#!/bin/sh
# Builds the shipped language files from the UTF-8 sources in lang/src: each file is converted to the code
# page its language is read in (charset-1 languages stay UTF-8). Run from anywhere; rerun after editing.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
src="$here/src"

ship() {  # source  target  code-page
    if [ "$3" = UTF-8 ]; then
        cp "$src/$1" "$here/$2.new"
    else
        iconv -f UTF-8 -t "$3" "$src/$1" > "$here/$2.new"
    fi
    mv "$here/$2.new" "$here/$2"
}

ship polish.txt     polish_ks.txt  UTF-8
ship english.txt    english_ks.txt UTF-8
[ -f "$src/russian.txt" ]    && ship russian.txt    russian_ks.txt WINDOWS-1251
[ -f "$src/german.txt" ]     && ship german.txt     niemiecki1.txt UTF-8
[ -f "$src/lithuanian.txt" ] && ship lithuanian.txt litewski.txt   WINDOWS-1257
[ -f "$src/italian.txt" ]    && ship italian.txt    wloski.txt     UTF-8
[ -f "$src/serbian.txt" ]    && ship serbian.txt    serbski.txt    UTF-8
[ -f "$src/croatian.txt" ]   && ship croatian.txt   chorwacki.txt  WINDOWS-1250
[ -f "$src/turkish.txt" ]    && ship turkish.txt    turkish_ks.txt WINDOWS-1254
exit 0
