#pragma once

#include "convert/Converter.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace corvanel::convert {

// A text file written through a temporary file beside the target, renamed over it only when
// all of it was written: a failure never leaves a partial file or damages an existing one.
// The text may come in pieces; the temporary file is created with the first of them.
class TextFileOutput {
public:
    explicit TextFileOutput(std::string targetPath);
    ~TextFileOutput();  // an output not committed is abandoned
    TextFileOutput(const TextFileOutput&) = delete;
    TextFileOutput& operator=(const TextFileOutput&) = delete;

    // Appends a piece. A failure is kept for Commit; later pieces are then dropped.
    void Write(std::string_view text);
    // Finishes the file and puts it in place (creating it when nothing was written).
    ConversionResult Commit();
    // Removes the temporary file, if any.
    void Abandon();

private:
    bool Open();
    void Fail(const std::string& reason);

    std::string target_;
    std::string temporary_;
    std::FILE* file_ = nullptr;
    bool opened_ = false;
    ConversionResult failure_;
};

}  // namespace corvanel::convert
