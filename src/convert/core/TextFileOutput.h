#pragma once

#include "convert/Converter.h"
#include "system/FileSystem.h"

#include <string>
#include <string_view>

namespace corvanel::convert {

// A text file put in place only when all of it was written (system::StagedFile): a failure
// never leaves a partial file or damages an existing one. The text may come in pieces; the
// file is created with the first of them.
class TextFileOutput {
public:
    using Naming = system::StagedFile::Naming;

    explicit TextFileOutput(std::string targetPath, Naming naming = Naming::kUnnamedWherePossible);
    ~TextFileOutput();  // an output not committed is abandoned
    TextFileOutput(const TextFileOutput&) = delete;
    TextFileOutput& operator=(const TextFileOutput&) = delete;

    // Appends a piece. A failure is kept for Commit; later pieces are then dropped.
    void Write(std::string_view text);
    // Finishes the file and puts it in place (creating it when nothing was written).
    ConversionResult Commit();
    // Drops what was written, leaving nothing of it behind.
    void Abandon();

private:
    bool Open();
    void Fail(const std::string& reason);

    std::string target_;
    system::StagedFile file_;
    bool opened_ = false;
    bool created_ = false;
    ConversionResult failure_;
};

}  // namespace corvanel::convert
