#!/bin/sh
# Writes linked-picture.doc, a Word 97 document whose pictures are links: each in a HYPERLINK
# field's result, one among text, from the RTF this script holds, converted once by LibreOffice. The .doc is committed; nothing at build or test time needs
# LibreOffice. Run from any folder: ./make-linked-picture-doc.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
png=89504e470d0a1a0a0000000d4948445200000001000000010802000000907753de0000000c49444154789c63f8cfc0000003010100c9fe92ef0000000049454e44ae426082
cat > "$work/linked-picture.rtf" <<RTF
{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}}
\pard\plain Go {\field{\*\fldinst HYPERLINK "https://example.org/apply"}{\fldrslt {\pict\pngblip\picw1\pich1\picwgoal300\pichgoal300 $png}}} now.\par
\pard\plain {\field{\*\fldinst HYPERLINK "https://example.org/details"}{\fldrslt {\pict\pngblip\picw1\pich1\picwgoal300\pichgoal300 $png}}}\par
}
RTF
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to doc --outdir "$work" "$work/linked-picture.rtf"
cp "$work/linked-picture.doc" "$here/linked-picture.doc"
