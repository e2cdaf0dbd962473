#pragma once

#include <string_view>

namespace corvanel::convert::rtf {

// What the reader does on a control word. Words not listed change nothing the text shows.
enum class RtfAction {
    kNone,
    // Destinations: groups whose content is skipped, read in a special way, or read as text.
    kSkipDestination,  // font-independent tables, pictures, headers, comments...
    kFontTable,
    kListText,           // \listtext and \pntext: the label as Word showed it
    kTextDestination,    // \fldrslt, \result, \ud: content read as text
    kNoTextDestination,  // \field, \shp, \shpinst, \object, \upr, \nesttableprops: only their
                         // inner destinations hold text
    kUpr,
    kFieldCode,  // \fldinst: read for the fields drawn from their code (EQ)
    kFootnote,
    kFloatingText,      // \shptxt, \dptxbxtext
    kMarginText,        // \header, \footerl...: `text` is "header" or "footer"
    kAnnotation,        // \annotation: a comment's text
    kAnnotationAuthor,  // \atnauthor: the author of the comment that follows
    kNumbering,         // \pn: Word 6 paragraph numbering
    kNumberingBefore,   // \pntxtb
    kNumberingAfter,    // \pntxta
    // The document's stated properties (read only when asked for; skipped otherwise).
    kInfo,       // \info
    kInfoText,   // \title, \author: `text` is the property's name
    kInfoDate,   // \creatim, \revtim: `text` is the property's name
    kInfoCount,  // \nofpages, \nofwords: `text` is the property's name
    kDatePart,   // \yr, \mo, \dy, \hr, \min, \sec: `text` is the part
    // Document and font settings.
    kAnsi,
    kMac,
    kPc,
    kPca,
    kAnsiCodePage,
    kDefaultFont,
    kFont,
    kFontCharset,
    kFontCodePage,
    // Character and paragraph properties.
    kPlain,
    kParagraphDefaults,
    kInTable,
    kNestingLevel,
    kHidden,
    kDeleted,
    kUnicodeSkip,
    kUnicode,
    // Structure.
    kParagraph,
    kLine,
    kTab,
    kPage,
    kColumn,
    kSection,
    kCell,
    kNestedCell,
    kRow,
    kNestedRow,
    // Notes.
    kNoteMark,        // \chftn
    kEndnote,         // \ftnalt
    kFootnoteFormat,  // \ftnnar, \ftnnrlc, ...
    kEndnoteFormat,   // \aftnnar, \aftnnrlc, ...
    // Word 6 paragraph numbering settings (in \pn).
    kNumberingLevel,   // \pnlvlN, \pnlvlbody
    kNumberingBullet,  // \pnlvlblt
    kNumberingNone,    // \pnlvlcont
    kNumberingFormat,  // \pndec, \pnlcltr, ...: `text` is the format name
    kNumberingStart,   // \pnstartN
    kNumberingFont,    // \pnfN
    // A character written as a control word (\emdash, \bullet, ...): `text` is its UTF-8.
    kCharacter,
    // Structure for outputs that keep it.
    kStyleSheet,          // \stylesheet: read for headings and character styles
    kStyle,               // \sN, \csN (`text` "character"), \ds, \ts (`text` "other")
    kBasedOn,             // \sbasedonN
    kOutlineLevel,        // \outlinelevelN
    kBold,                // \b
    kItalic,              // \i
    kStrike,              // \strike, \striked
    kListTable,           // \listtable
    kListOverrideTable,   // \listoverridetable
    kList,                // \list
    kListLevel,           // \listlevel
    kLevelFormat,         // \levelnfcN, \levelnfcnN
    kListId,              // \listidN
    kListOverride,        // \listoverride
    kListIndex,           // \lsN
    kListLevelIndex,      // \ilvlN
    kRowDefaults,         // \trowd
    kHeaderRow,           // \trhdr
    kCellMerge,           // \clmgf, \clmrg, \clvmgf, \clvmrg: `text` is the word
    kCellEnd,             // \cellxN
    kPictureGroup,        // \shppict
    kPicture,             // \pict
    kPictureProperties,   // \picprop
    kShape,               // \shp
    kShapeProperty,       // \sp
    kShapePropertyName,   // \sn
    kShapePropertyValue,  // \sv
    // Formatting the reader knows and the text does not show (\cs, \cf, \b, ...): unlike an
    // unknown word, it is no destination even after \*.
    kFormatting,
};

struct RtfControlWord {
    RtfAction action = RtfAction::kNone;
    std::string_view text;  // kCharacter: the character; k*Format: the number format name
};

RtfControlWord LookUpControlWord(std::string_view word);

}  // namespace corvanel::convert::rtf
