#!/bin/sh
# Writes structure.doc, a Word 97 document with known structure (headings, a nested list,
# emphasis, a hyperlink, a table with a header row and merged cells, a WordArt shape), from the
# RTF this script holds, converted once by LibreOffice. The .doc is committed; nothing at build
# or test time needs LibreOffice. Run from any folder: ./make-structure-doc.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat > "$work/structure.rtf" <<'RTF'
{\rtf1\ansi\deff0{\fonttbl{\f0 Times New Roman;}{\f1\fcharset2 Symbol;}}
{\stylesheet{\s0 Normal;}{\s1\sbasedon0\snext0\outlinelevel0\b\fs32 heading 1;}{\s2\sbasedon0\snext0\outlinelevel1\b\fs28 heading 2;}}
{\*\listtable{\list\listtemplateid1{\listlevel\levelnfc0\levelstartat1\levelfollow0{\leveltext\'02\'00.;}{\levelnumbers\'01;}\fi-360\li720}{\listlevel\levelnfc23\levelstartat1\levelfollow0{\leveltext\'01\u8226 ?;}{\levelnumbers;}\fi-360\li1440}\listid1}}
{\*\listoverridetable{\listoverride\listid1\listoverridecount0\ls1}}
\pard\plain\s1\outlinelevel0\b\fs32 Chapter One\par
\pard\plain\s2\outlinelevel1\b\fs28 Section A\par
\pard\plain Plain {\b bold} {\i italic} {\strike struck} text.\par
{\listtext 1.\tab}\pard\plain\ls1\ilvl0\fi-360\li720 First item\par
{\listtext\f1 \'b7\tab}\pard\plain\ls1\ilvl1\fi-360\li1440 Nested bullet\par
\pard\plain See {\field{\*\fldinst HYPERLINK "https://example.org/"}{\fldrslt the site}}.\par
\trowd\trhdr\cellx2000\cellx4000\cellx6000\pard\plain\intbl H1\cell H2\cell H3\cell\row
\trowd\clmgf\cellx2000\clmrg\cellx4000\clvmgf\cellx6000\pard\plain\intbl Wide\cell\cell Tall\cell\row
\trowd\cellx2000\cellx4000\clvmrg\cellx6000\pard\plain\intbl C1\cell C2\cell\cell\row
\pard\plain Anchor{\shp{\*\shpinst\shpleft0\shptop0\shpright4000\shpbottom1000\shpfhdr0\shpbxcolumn\shpbypara\shpwr3\shpz0
{\sp{\sn shapeType}{\sv 136}}{\sp{\sn gtextUNICODE}{\sv Art Words}}{\sp{\sn gtextFont}{\sv Arial}}{\sp{\sn fGtext}{\sv 1}}}}\par
\pard\plain The end.\par
}
RTF
soffice -env:UserInstallation="file://$work/profile" --headless --convert-to doc --outdir "$work" "$work/structure.rtf"
cp "$work/structure.doc" "$here/structure.doc"
