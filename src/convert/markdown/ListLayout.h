#pragma once

#include "convert/core/DocumentSink.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::markdown {

// The number of a label that is a plain number ("3", "3.", "3)"), else -1: only such labels go
// into an ordered list's marker. An item with any other label ("a.", "iv)", "1.1", "Article 3")
// is a bullet item whose text starts with its label, so that it shows once.
int PlainNumber(std::string_view label);
// The ordered-list marker's delimiter for a plain-number label: ")" where the label has it.
char NumberDelimiter(std::string_view label);

// Markers and indentation for list items, so that CommonMark nests them as the document does:
// an item is indented to the content of the nearest item of a lower level before it.
class ListLayout {
public:
    struct Placed {
        bool continues = false;    // same list as the item before: one line break before it
        std::string marker;        // indentation, "-" or "N." and a space
        std::string continuation;  // indentation of the item's further lines
    };

    // An item at `level` (0 = outermost) of `kind`; `number` its plain number or -1, written
    // with `delimiter` ("." or ")"; another delimiter starts another list). A `labelled` item
    // (its label in its text) gets a bullet; its list is not the bullet list before it, which
    // another bullet character keeps apart.
    Placed Place(int level, ListKind kind, int number, char delimiter = '.', bool labelled = false);
    // Any block that is not a list item ends the lists.
    void Reset() { open_.clear(); }

private:
    struct Open {
        int level;
        ListKind kind;
        bool labelled;
        char delimiter;
        char bullet;
        long next;                  // the number the next item gets
        std::size_t contentIndent;  // of its latest item
    };
    std::vector<Open> open_;
};

}  // namespace corvanel::convert::markdown
