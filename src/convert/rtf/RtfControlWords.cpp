#include "convert/rtf/RtfControlWords.h"

#include <unordered_map>

namespace corvanel::convert::rtf {

namespace {

using Table = std::unordered_map<std::string_view, RtfControlWord>;

Table BuildTable() {
    Table t;
    // Destinations whose content never reaches the text.
    for (const std::string_view word :
         {"colortbl",   "datafield",     "objdata",      "objclass",
          "objname",    "objalias",      "objsect",      "objtime",
          "header",     "headerl",       "headerr",      "headerf",
          "footer",     "footerl",       "footerr",      "footerf",
          "annotation", "atnid",         "atnauthor",    "atndate",
          "atnref",     "atnicn",        "atntime",      "atnparent",
          "atrfstart",  "atrfend",       "revtbl",       "rsidtbl",
          "generator",  "xmlnstbl",      "themedata",    "colorschememapping",
          "datastore",  "latentstyles",  "pgdsctbl",     "filetbl",
          "shprslt",    "nonshppict",    "nonesttables",

          "ftnsep",     "ftnsepc",       "aftnsep",      "aftnsepc",
          "ftncn",      "aftncn",        "txe",          "xe",
          "tc",         "tcn",           "bkmkstart",    "bkmkend",
          "template",   "docvar",        "comment",      "private",
          "userprops",  "wgrffmtfilter", "mmathPr",      "fchars",
          "lchars",     "pgptbl",        "protusertbl",  "listpicture",
          "blipuid",    "passwordhash",  "defchp",       "defpap",
          "keywords",   "subject",       "formfield",    "ftnsepc",
          "operator",   "doccomm",       "hlinkbase",    "company",
          "category",   "manager",       "falt",         "panose",
          "fontemb",    "fontfile"}) {
        t[word] = {RtfAction::kSkipDestination, {}};
    }
    t["info"] = {RtfAction::kInfo, {}};
    t["title"] = {RtfAction::kInfoText, "title"};
    t["author"] = {RtfAction::kInfoText, "author"};
    t["creatim"] = {RtfAction::kInfoDate, "created"};
    t["revtim"] = {RtfAction::kInfoDate, "modified"};
    t["nofpages"] = {RtfAction::kInfoCount, "pages"};
    t["nofwords"] = {RtfAction::kInfoCount, "words"};
    for (const std::string_view part : {"yr", "mo", "dy", "hr", "min", "sec"}) {
        t[part] = {RtfAction::kDatePart, part};
    }
    // Headers, footers and comments are read when asked for: these replace their entries above.
    for (const std::string_view word : {"header", "headerl", "headerr", "headerf"}) {
        t[word] = {RtfAction::kMarginText, "header"};
    }
    for (const std::string_view word : {"footer", "footerl", "footerr", "footerf"}) {
        t[word] = {RtfAction::kMarginText, "footer"};
    }
    t["annotation"] = {RtfAction::kAnnotation, {}};
    t["atnauthor"] = {RtfAction::kAnnotationAuthor, {}};
    t["fonttbl"] = {RtfAction::kFontTable, {}};
    t["listtext"] = {RtfAction::kListText, {}};
    t["pntext"] = {RtfAction::kListText, {}};
    t["fldrslt"] = {RtfAction::kTextDestination, {}};
    t["result"] = {RtfAction::kTextDestination, {}};
    t["ud"] = {RtfAction::kTextDestination, {}};
    for (const std::string_view word :
         {"field", "shpinst", "object", "nesttableprops", "do", "shpgrp"}) {
        t[word] = {RtfAction::kNoTextDestination, {}};
    }
    t["upr"] = {RtfAction::kUpr, {}};
    t["fldinst"] = {RtfAction::kFieldCode, {}};
    t["footnote"] = {RtfAction::kFootnote, {}};
    t["shptxt"] = {RtfAction::kFloatingText, {}};
    t["pn"] = {RtfAction::kNumbering, {}};
    t["pntxtb"] = {RtfAction::kNumberingBefore, {}};
    t["pntxta"] = {RtfAction::kNumberingAfter, {}};
    t["pnlvl"] = {RtfAction::kNumberingLevel, {}};
    t["pnlvlbody"] = {RtfAction::kNumberingLevel, {}};
    t["pnlvlblt"] = {RtfAction::kNumberingBullet, {}};
    t["pnlvlcont"] = {RtfAction::kNumberingNone, {}};
    t["pndec"] = {RtfAction::kNumberingFormat, "decimal"};
    t["pnord"] = {RtfAction::kNumberingFormat, "decimal"};
    t["pnlcltr"] = {RtfAction::kNumberingFormat, "lowerLetter"};
    t["pnucltr"] = {RtfAction::kNumberingFormat, "upperLetter"};
    t["pnlcrm"] = {RtfAction::kNumberingFormat, "lowerRoman"};
    t["pnucrm"] = {RtfAction::kNumberingFormat, "upperRoman"};
    t["pnstart"] = {RtfAction::kNumberingStart, {}};
    t["pnf"] = {RtfAction::kNumberingFont, {}};
    t["dptxbxtext"] = {RtfAction::kFloatingText, {}};

    t["ansi"] = {RtfAction::kAnsi, {}};
    t["mac"] = {RtfAction::kMac, {}};
    t["pc"] = {RtfAction::kPc, {}};
    t["pca"] = {RtfAction::kPca, {}};
    t["ansicpg"] = {RtfAction::kAnsiCodePage, {}};
    t["deff"] = {RtfAction::kDefaultFont, {}};
    t["f"] = {RtfAction::kFont, {}};
    t["fcharset"] = {RtfAction::kFontCharset, {}};
    t["cpg"] = {RtfAction::kFontCodePage, {}};

    t["plain"] = {RtfAction::kPlain, {}};
    t["pard"] = {RtfAction::kParagraphDefaults, {}};
    t["intbl"] = {RtfAction::kInTable, {}};
    t["itap"] = {RtfAction::kNestingLevel, {}};
    t["v"] = {RtfAction::kHidden, {}};
    t["deleted"] = {RtfAction::kDeleted, {}};
    t["uc"] = {RtfAction::kUnicodeSkip, {}};
    t["u"] = {RtfAction::kUnicode, {}};

    t["par"] = {RtfAction::kParagraph, {}};
    t["line"] = {RtfAction::kLine, {}};
    t["tab"] = {RtfAction::kTab, {}};
    t["page"] = {RtfAction::kPage, {}};
    t["column"] = {RtfAction::kColumn, {}};
    t["sect"] = {RtfAction::kSection, {}};
    t["cell"] = {RtfAction::kCell, {}};
    t["nestcell"] = {RtfAction::kNestedCell, {}};
    t["row"] = {RtfAction::kRow, {}};
    t["nestrow"] = {RtfAction::kNestedRow, {}};

    t["chftn"] = {RtfAction::kNoteMark, {}};
    t["ftnalt"] = {RtfAction::kEndnote, {}};
    t["ftnnar"] = {RtfAction::kFootnoteFormat, "decimal"};
    t["ftnnalc"] = {RtfAction::kFootnoteFormat, "lowerLetter"};
    t["ftnnauc"] = {RtfAction::kFootnoteFormat, "upperLetter"};
    t["ftnnrlc"] = {RtfAction::kFootnoteFormat, "lowerRoman"};
    t["ftnnruc"] = {RtfAction::kFootnoteFormat, "upperRoman"};
    t["aftnnar"] = {RtfAction::kEndnoteFormat, "decimal"};
    t["aftnnalc"] = {RtfAction::kEndnoteFormat, "lowerLetter"};
    t["aftnnauc"] = {RtfAction::kEndnoteFormat, "upperLetter"};
    t["aftnnrlc"] = {RtfAction::kEndnoteFormat, "lowerRoman"};
    t["aftnnruc"] = {RtfAction::kEndnoteFormat, "upperRoman"};

    t["emdash"] = {RtfAction::kCharacter, "\xE2\x80\x94"};
    t["endash"] = {RtfAction::kCharacter, "\xE2\x80\x93"};
    t["emspace"] = {RtfAction::kCharacter, "\xE2\x80\x83"};
    t["enspace"] = {RtfAction::kCharacter, "\xE2\x80\x82"};
    t["qmspace"] = {RtfAction::kCharacter, "\xE2\x80\x85"};
    t["bullet"] = {RtfAction::kCharacter, "\xE2\x80\xA2"};
    t["lquote"] = {RtfAction::kCharacter, "\xE2\x80\x98"};
    t["rquote"] = {RtfAction::kCharacter, "\xE2\x80\x99"};
    t["ldblquote"] = {RtfAction::kCharacter, "\xE2\x80\x9C"};
    t["rdblquote"] = {RtfAction::kCharacter, "\xE2\x80\x9D"};
    t["zwj"] = {RtfAction::kCharacter, "\xE2\x80\x8D"};
    t["zwnj"] = {RtfAction::kCharacter, "\xE2\x80\x8C"};
    t["stylesheet"] = {RtfAction::kStyleSheet, {}};
    t["s"] = {RtfAction::kStyle, {}};
    t["cs"] = {RtfAction::kStyle, "character"};
    t["ds"] = {RtfAction::kStyle, "other"};
    t["ts"] = {RtfAction::kStyle, "other"};
    t["sbasedon"] = {RtfAction::kBasedOn, {}};
    t["outlinelevel"] = {RtfAction::kOutlineLevel, {}};
    t["b"] = {RtfAction::kBold, {}};
    t["i"] = {RtfAction::kItalic, {}};
    t["strike"] = {RtfAction::kStrike, {}};
    t["striked"] = {RtfAction::kStrike, {}};
    t["listtable"] = {RtfAction::kListTable, {}};
    t["listoverridetable"] = {RtfAction::kListOverrideTable, {}};
    t["list"] = {RtfAction::kList, {}};
    t["listlevel"] = {RtfAction::kListLevel, {}};
    t["levelnfc"] = {RtfAction::kLevelFormat, {}};
    t["levelnfcn"] = {RtfAction::kLevelFormat, {}};
    t["listid"] = {RtfAction::kListId, {}};
    t["listoverride"] = {RtfAction::kListOverride, {}};
    t["ls"] = {RtfAction::kListIndex, {}};
    t["ilvl"] = {RtfAction::kListLevelIndex, {}};
    t["trowd"] = {RtfAction::kRowDefaults, {}};
    t["trhdr"] = {RtfAction::kHeaderRow, {}};
    for (const std::string_view word : {"clmgf", "clmrg", "clvmgf", "clvmrg"}) {
        t[word] = {RtfAction::kCellMerge, word};
    }
    t["cellx"] = {RtfAction::kCellEnd, {}};
    t["shppict"] = {RtfAction::kPictureGroup, {}};
    t["pict"] = {RtfAction::kPicture, {}};
    t["picprop"] = {RtfAction::kPictureProperties, {}};
    t["shp"] = {RtfAction::kShape, {}};
    t["sp"] = {RtfAction::kShapeProperty, {}};
    t["sn"] = {RtfAction::kShapePropertyName, {}};
    t["sv"] = {RtfAction::kShapePropertyValue, {}};
    for (const std::string_view word :
         {"cf",         "cb",      "chcbpat",     "highlight",  "fs",    "afs",     "af",
          "loch",       "hich",    "dbch",        "rtlch",      "ltrch", "ab",      "ai",
          "ul",         "ulnone",  "uld",         "uldb",       "caps",  "scaps",   "outline",
          "shad",       "super",   "sub",         "nosupersub", "up",    "dn",      "lang",
          "langfe",     "langnp",  "langfenp",    "alang",      "expnd", "expndtw", "kerning",
          "charscalex", "insrsid", "charrsid",    "ql",         "qr",    "qc",      "qj",
          "li",         "ri",      "fi",          "sb",         "sa",    "sl",      "slmult",
          "noproof",    "cgrid",   "nowidctlpar", "widctlpar"}) {
        t[word] = {RtfAction::kFormatting, {}};
    }
    return t;
}

}  // namespace

RtfControlWord LookUpControlWord(std::string_view word) {
    static const Table table = BuildTable();
    const auto it = table.find(word);
    return it == table.end() ? RtfControlWord{} : it->second;
}

}  // namespace corvanel::convert::rtf
