#pragma once

#include "convert/core/DocumentSink.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace corvanel::convert {

// What a conversion learned about a document besides its text.
struct DocumentFacts {
    std::string format;       // the reader's name for what it read: "docx", "doc", "rtf", ...
    std::uint64_t chars = 0;  // Unicode characters of the text, each line end (LF or CRLF) one
    std::uint64_t words = 0;  // runs of characters between white space, as `wc -w` counts
    std::map<DocumentProperty, std::string> properties;  // what the document states

    // Keeps a stated property: the first statement wins (a format may state one twice, as a
    // package's core and extended properties do); values are capped so a hostile one stays
    // small; empty ones are left out.
    void AddProperty(DocumentProperty property, std::string_view value);
};

// Counts the characters and words of a text that arrives in pieces (a piece may end inside a
// character or a word).
class TextCounter {
public:
    void Add(std::string_view utf8);
    std::uint64_t Chars() const { return chars_; }
    std::uint64_t Words() const { return words_; }

private:
    void Character(char32_t c);

    std::uint64_t chars_ = 0;
    std::uint64_t words_ = 0;
    bool inWord_ = false;
    bool afterCr_ = false;
    char32_t pending_ = 0;  // the bits of a character cut by the end of a piece
    int missing_ = 0;       // continuation bytes it still needs
};

// The stable name of a property in reports ("title", "author", "created", ...).
const char* PropertyName(DocumentProperty property);

}  // namespace corvanel::convert
