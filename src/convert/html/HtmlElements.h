#pragma once

// Small readers of libxml2 HTML nodes: names, attributes, inline styles, and the marks Word and
// LibreOffice leave in their HTML (list labels, notes, hidden parts).

#include "convert/core/Ascii.h"
#include "convert/core/DocumentSink.h"
#include "convert/core/SymbolFont.h"

#include <libxml/tree.h>

#include <optional>
#include <string>
#include <string_view>

namespace corvanel::convert::html {

// The element name as the parser gives it (lower case).
std::string_view Name(const xmlNode* node);

// An attribute's value, empty when absent.
std::string Attribute(xmlNode* node, const char* name);
bool HasAttribute(xmlNode* node, const char* name);

using ascii::StartsWith;

// The style attribute lower-cased and without white space: "display:none;mso-list:ignore".
std::string Style(xmlNode* element);

// The value of one property of a compact style ("mso-element" -> "footnote").
std::string_view StyleValue(std::string_view style, std::string_view property);

// Elements whose content a browser does not show as text.
bool IsNeverShown(std::string_view name);

// Elements shown as blocks of their own (paragraphs of the text).
bool IsBlock(std::string_view name);
// <pre> and its old relatives: white space as written.
bool IsPreformatted(std::string_view name);
// HTML's white space (not the no-break space).
bool IsWhiteSpace(char c);
bool IsBlankText(std::string_view text);
// display:none, Word's mso-hide:all, or the hidden attribute.
bool IsHidden(xmlNode* element, std::string_view style);

// The first font family of a style or <font face>, as a symbol font kind.
SymbolFontKind FontOf(xmlNode* element, std::string_view style);

// Appends the text of all descendants (depth guarded).
void AppendNodeText(xmlNode* node, std::string& out, int& depth);

// Trims white space and no-break spaces.
std::string_view TrimLabel(std::string_view s);

// A note mark as Word writes it in its HTML: "[1]" -> "1".
std::string NoteMark(std::string text, std::string_view fallbackFrom);

// Word links a note to its reference with href="#_ftnref1"; LibreOffice with
// class="sdfootnotesym".
bool IsNoteBackLink(xmlNode* anchor);

// A note reference in the text: href="#_ftn1" (Word), class="sdfootnoteanc" (LibreOffice).
bool IsNoteReference(xmlNode* anchor);

// The first link back to a note's reference below `node`, or null.
xmlNode* FindBackLink(xmlNode* node, int& depth);

// 1-6 for h1-h6, else 0.
int HeadingLevelOf(std::string_view name);
// A row of th cells only, or a row of a thead.
bool IsHeaderRow(xmlNode* row);
// A cell's colspan or rowspan: 1 when missing or odd, at most 1000.
int SpanOf(xmlNode* cell, const char* name);
// Bold or not for a CSS font-weight; nothing when the value says neither.
std::optional<bool> IsBoldWeight(std::string_view weight);
// The level of a Word list paragraph ("mso-list:l0 level2 lfo1" is 1), or -1.
int WordListLevel(std::string_view style);
// Whether a list label is a number of some style ("3.", "iv)", "1.2") rather than a bullet.
bool IsNumberLabel(std::string_view label);

// Word's note containers: <div style='mso-element:footnote' id=ftn1>.
// (id="sdfootnote1" in LibreOffice's HTML.)
bool NoteKindOf(xmlNode* element, std::string_view style, NoteKind& kind);

}  // namespace corvanel::convert::html
