#!/bin/sh
# Regenerates features.rtf and ../html/features.html from features.fodt (our own content) with
# LibreOffice. Run once by hand; the generated files are committed, the build never needs it.
set -e
here=$(cd "$(dirname "$0")" && pwd)
out=$(mktemp -d)
soffice --headless --convert-to rtf --outdir "$out" "$here/features.fodt"
soffice --headless --convert-to html --outdir "$out" "$here/features.fodt"
cp "$out/features.rtf" "$here/features.rtf"
cp "$out/features.html" "$here/../html/features.html"
rm -r "$out"
