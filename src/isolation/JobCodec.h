#pragma once

// The frames between a program and its conversion workers: a job out (a document named by its
// path or carried whole, and how to convert it), its answer back. One format for every program
// that converts in workers; the answer is read from another process, so a frame that does not
// hold exactly what it should is refused.

#include "convert/Converter.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::isolation {

// The texts beside the body a job asks for, as bits of its options number. The library's
// CORVANEL_INCLUDE_* values.
inline constexpr std::uint64_t kIncludeHeaders = 1;
inline constexpr std::uint64_t kIncludeFooters = 2;
inline constexpr std::uint64_t kIncludeComments = 4;

struct Job {
    std::string source;  // the document's path, or the name of `document` in descriptions
    std::optional<std::string> document;  // its bytes, when the job carries it instead of a path
    std::string target;  // the text file to write; empty: the text comes back in the answer
    convert::ConvertOptions options;
    bool update = false;       // skip it when the text file is not older than the document
    bool makeFolders = false;  // create the text file's folder first
};

struct JobAnswer {
    convert::ConversionResult outcome;         // the code, its description and the facts
    bool skipped = false;                      // up to date (`update`)
    std::optional<std::uint64_t> sourceBytes;  // the document's size, when it was found
    std::string text;                          // when the job had no target
    double milliseconds = 0;
};

std::string EncodeJob(const Job& job);
bool DecodeJob(const std::string& frame, Job& job);

std::string EncodeAnswer(const JobAnswer& answer);
bool DecodeAnswer(const std::string& frame, JobAnswer& answer);

}  // namespace corvanel::isolation
