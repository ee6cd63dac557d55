#!/usr/bin/env bash
# Writes the fuzzer's seed corpus into the folder given: the sample list and a
# handful of small files that each reach another corner of the format.
set -euo pipefail
out=${1:?usage: make-seeds.sh FOLDER}
cd "$(dirname "$0")/.."
mkdir -p "$out"

cp examples/sample.tvk "$out/sample.tvk"
header='Status;Task;Added;Edited;User'
seed() { printf "$2" >"$out/$1.tvk"; }

seed lf-ends       "$header\n1;first;a;;u\n2;second;a;e;u\n"
seed cr-ends       "$header\r7;q;a;;u\r1;t;a;;u\r6;i;a;;u"
seed statuses      "$header\r\n 7;a;;;\r\n7x;b;;;\r\nword;c;;;\r\n1.50;d;;;\r\n-0;e;;;\r\n+5;f;;;\r\n1e2;g;;;\r\n.5;h;;;\r\n1e999;i;;;\r\n"
seed short-lines   "$header\r\n1;abc\r\n\r\n2;x;y;z;w\r\n"
seed extra-fields  "$header\r\n8;a;b;c;d;e;f\r\n3;;;;\r\n"
seed code-page     "$header\r\n4;\x80\x81\x8d\x8f\x90\x9d\xff;\xe9;;\x00\r\n"
seed extended      "\xef\xbb\xbf$header\r\n1;a\\\\;b\\\\\\\\c\\\\r\\\\nd \xce\xa9;a;;u\\\\\r\n2;x\xffy;\xef\xbb\xbfz;;\\\\q\r\n"
seed mark-only     "\xef\xbb\xbf"
