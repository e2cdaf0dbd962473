#pragma once

#include "convert/core/DocumentSink.h"
#include "convert/msword/Fib.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace corvanel::convert::msword {

// A range of character positions.
struct CpRange {
    std::uint32_t start = 0;
    std::uint32_t end = 0;
};

// A footnote or endnote: where its reference sits in the body and where its text is.
struct NoteEntry {
    std::uint32_t referenceCp = 0;
    bool autoNumbered = true;
    CpRange text;
};

// A text box's text and the drawing character in the body that anchors it, if found.
struct TextBoxEntry {
    CpRange text;
    bool anchored = false;
    std::uint32_t anchorCp = 0;
};

// A header, footer or comment.
struct MarginEntry {
    MarginText kind = MarginText::kHeader;
    CpRange text;
    std::string author;  // a comment's
};

// Where each story of the document lies and how the body refers into the others.
struct Stories {
    CpRange main;
    std::vector<NoteEntry> footnotes;  // in reference order
    std::vector<NoteEntry> endnotes;
    std::vector<TextBoxEntry> textBoxes;
    std::vector<std::uint32_t> sectionMarks;  // positions of the characters that end sections
    // The shapes the body anchors: the drawn object's position and the shape's id.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> shapeAnchors;
    // Only those asked for: headers and footers in section order (each section's usual one,
    // then its first-page and even-page ones), comments in the order of their references.
    std::vector<MarginEntry> margins;
};

// Reads the story lengths from the FIB and the note, text box and section tables, and the
// header and comment tables for the kinds in `margins`. Entries that point outside their story
// are left out.
Stories ReadStories(const Fib& fib, std::string_view tableOrMain, std::uint32_t textSize,
                    MarginTexts margins = {});

}  // namespace corvanel::convert::msword
