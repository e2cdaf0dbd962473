#pragma once

#include "convert/core/DocumentSink.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace corvanel::convert::testing {

// A balanced stream of document events decoded from any bytes (each byte picks an event that
// fits where the stream is), to drive the Markdown writer beside the plain-text writer.
class MarkdownEventScript {
public:
    MarkdownEventScript(const std::uint8_t* data, std::size_t size);

    // Plays the events to `sink`; for the plain text, without the list labels that a Markdown
    // list marker stands for (bullets and plain numbers of list items).
    void Play(DocumentSink& sink, bool forText) const;
    // Marks of the notes and references: a note without text keeps only its mark in the text.
    const std::set<std::string>& Marks() const { return marks_; }

private:
    struct Step {
        std::function<void(DocumentSink&)> event;
        bool markdownOnly = false;
    };
    void Add(std::function<void(DocumentSink&)> event, bool markdownOnly = false) {
        steps_.push_back({std::move(event), markdownOnly});
    }

    std::vector<Step> steps_;
    std::set<std::string> marks_;
};

// Whether the words of `rendered` are those of `text` (in any order: notes move), apart from
// note marks (the plain text drops a note's mark in places, and keeps that of an empty one).
// Describes the difference in `why` when they are not.
bool SameWords(const std::string& text, const std::string& rendered,
               const std::set<std::string>& marks, std::string* why);

}  // namespace corvanel::convert::testing
