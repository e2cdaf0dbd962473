#pragma once

#include <string>
#include <string_view>

namespace corvanel::convert::html {

// The character set an HTML document declares in a <meta> element (charset="..." or
// http-equiv Content-Type), lower-cased; empty when none.
std::string DeclaredCharset(std::string_view html);

// The document as UTF-8: a byte-order mark wins, then the transport's charset (`hint`, from an
// MHT part's Content-Type), then the <meta> declaration, then UTF-8 when the bytes are valid
// UTF-8, else Windows-1252 (as browsers read undeclared pages). ISO-8859-1 and ASCII are read
// as Windows-1252, as browsers do. An unknown charset falls back the same way.
// A page larger than PageStreamBytes() is decoded a slice of about that size at a time where
// its charset allows it.
std::string DecodeHtml(std::string_view bytes, std::string_view hint);
// The same, reusing the bytes' own buffer when they are UTF-8 already.
std::string DecodeHtml(std::string&& bytes, std::string_view hint);

// Rewrites what libxml2's HTML parser would misread in Word's HTML: the markers of Word's
// downlevel-revealed conditional sections (<![if !supportLists]>, <![endif]>) are removed, their
// content stays; namespace prefixes of tags (<o:p>, <v:textbox>) become part of the name
// (<o-p>), since the parser drops the prefix and would read <o:p> as a paragraph. Rewritten in
// the string's own buffer: the markup only ever shrinks.
std::string CleanWordMarkup(std::string html);

}  // namespace corvanel::convert::html
