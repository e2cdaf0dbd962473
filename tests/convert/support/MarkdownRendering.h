#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::testing {

// The text a GFM reader (cmark-gfm with GitHub's table, strikethrough and autolink extensions
// and footnotes) shows for `markdown`: blocks, table cells and line breaks separated by line
// breaks, pictures' descriptions left out, a note reference shown as the mark its label carries
// and a note's text after its mark and a space, as the plain text has them.
std::string RenderedText(std::string_view markdown);

// The HTML the same reader makes of `markdown` (raw HTML kept).
std::string RenderedHtml(std::string_view markdown);

// The runs of characters between white space.
std::vector<std::string> Words(std::string_view text);

}  // namespace corvanel::convert::testing
