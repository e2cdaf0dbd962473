#!/bin/sh
# Writes the binary Word test documents from our own content: a flat OpenDocument text that this
# script holds, converted once by LibreOffice (soffice --headless). The .doc files are committed;
# nothing at build or test time needs LibreOffice. Run from any folder: ./make-test-docs.sh
# (LibreOffice no longer writes Word 95; the tests build their Word 6/95 documents themselves.)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/features.fodt" <<'FODT'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:dc="http://purl.org/dc/elements/1.1/"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="Symbol" svg:font-family="Symbol" style:font-charset="x-symbol"/>
 </office:font-face-decls>
 <office:styles>
  <style:style style:name="Standard" style:family="paragraph"/>
 </office:styles>
 <office:automatic-styles>
  <style:style style:name="Hidden" style:family="text">
   <style:text-properties text:display="none"/>
  </style:style>
  <style:style style:name="PageBreak" style:family="paragraph" style:parent-style-name="Standard">
   <style:paragraph-properties fo:break-before="page"/>
  </style:style>
  <text:list-style style:name="Numbers">
   <text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="listtab"/>
    </style:list-level-properties>
   </text:list-level-style-number>
   <text:list-level-style-number text:level="2" style:num-suffix=")" style:num-format="a">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="listtab"/>
    </style:list-level-properties>
   </text:list-level-style-number>
  </text:list-style>
  <text:list-style style:name="Roman">
   <text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="I" text:start-value="3">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="space"/>
    </style:list-level-properties>
   </text:list-level-style-number>
  </text:list-style>
  <text:list-style style:name="Bullets">
   <text:list-level-style-bullet text:level="1" text:bullet-char="">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="listtab"/>
    </style:list-level-properties>
    <style:text-properties style:font-name="Symbol"/>
   </text:list-level-style-bullet>
  </text:list-style>
 </office:automatic-styles>
 <office:body>
  <office:text>
   <text:tracked-changes>
    <text:changed-region text:id="ct1">
     <text:deletion>
      <office:change-info><dc:creator>Corvanel</dc:creator><dc:date>2020-01-01T00:00:00</dc:date></office:change-info>
      <text:p>deleted words </text:p>
     </text:deletion>
    </text:changed-region>
   </text:tracked-changes>
   <text:p>Corvanel binary Word test</text:p>
   <text:p>Accents: café, naïve, Straße. Cyrillic: Привет. Greek: Ελληνικά.</text:p>
   <text:p>Tab<text:tab/>between, line<text:line-break/>break, soft hy­phen, non‑breaking hyphen, no break space.</text:p>
   <text:p>Kept <text:change text:change-id="ct1"/>text after a deletion.</text:p>
   <text:p>Visible <text:span text:style-name="Hidden">hidden words </text:span>text.</text:p>
   <text:p>Link: <text:a xlink:type="simple" xlink:href="https://example.org/">Example site</text:a> end, page <text:page-number text:select-page="current">1</text:page-number>.</text:p>
   <text:p>A footnote here<text:note text:id="n1" text:note-class="footnote"><text:note-citation>1</text:note-citation><text:note-body><text:p>The footnote text.</text:p></text:note-body></text:note> and an endnote<text:note text:id="n2" text:note-class="endnote"><text:note-citation>i</text:note-citation><text:note-body><text:p>The endnote text.</text:p></text:note-body></text:note>.</text:p>
   <text:list text:style-name="Numbers">
    <text:list-item><text:p>First item</text:p></text:list-item>
    <text:list-item><text:p>Second item</text:p>
     <text:list>
      <text:list-item><text:p>Sub item one</text:p></text:list-item>
      <text:list-item><text:p>Sub item two</text:p></text:list-item>
     </text:list>
    </text:list-item>
    <text:list-item><text:p>Third item</text:p></text:list-item>
   </text:list>
   <text:list text:style-name="Roman">
    <text:list-item><text:p>Roman three</text:p></text:list-item>
    <text:list-item><text:p>Roman four</text:p></text:list-item>
   </text:list>
   <text:list text:style-name="Bullets">
    <text:list-item><text:p>Symbol bullet</text:p></text:list-item>
   </text:list>
   <table:table table:name="Outer">
    <table:table-column table:number-columns-repeated="2"/>
    <table:table-row>
     <table:table-cell><text:p>A1</text:p></table:table-cell>
     <table:table-cell><text:p>B1</text:p><text:p>B1 second</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell><text:p>A2</text:p></table:table-cell>
     <table:table-cell>
      <table:table table:name="Inner">
       <table:table-column table:number-columns-repeated="2"/>
       <table:table-row>
        <table:table-cell><text:p>x</text:p></table:table-cell>
        <table:table-cell><text:p>y</text:p></table:table-cell>
       </table:table-row>
      </table:table>
      <text:p>after inner</text:p>
     </table:table-cell>
    </table:table-row>
   </table:table>
   <text:p>Anchor paragraph<draw:frame draw:name="Box" text:anchor-type="paragraph" svg:width="5cm" svg:height="2cm"><draw:text-box><text:p>Text in a box</text:p></draw:text-box></draw:frame></text:p>
   <text:p>Last paragraph before the break.</text:p>
   <text:p text:style-name="PageBreak">After the page break.</text:p>
  </office:text>
 </office:body>
</office:document>
FODT

cd "$work"
soffice --headless --convert-to 'doc:MS Word 97' features.fodt >/dev/null
cp features.doc "$here/features.doc"
ls -l "$here"/*.doc
