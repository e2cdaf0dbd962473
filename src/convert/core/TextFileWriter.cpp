#include "convert/core/TextFileOutput.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

namespace corvanel::convert {

namespace {

ConversionResult CannotWrite(const std::string& target, const std::string& reason) {
    ConversionResult result;
    result.code = ErrorCode::kCannotWrite;
    result.description = DescribeError(ErrorCode::kCannotWrite, target, reason);
    return result;
}

}  // namespace

TextFileOutput::TextFileOutput(std::string targetPath, Naming naming)
    : target_(std::move(targetPath)), file_(target_, naming) {}

TextFileOutput::~TextFileOutput() {
    Abandon();
}

void TextFileOutput::Fail(const std::string& reason) {
    if (failure_.Ok()) {
        failure_ = CannotWrite(target_, reason);
    }
}

bool TextFileOutput::Open() {
    if (!opened_) {
        opened_ = true;
        if (const std::error_code ec = file_.Create()) {
            Fail(ec.message());
        } else {
            created_ = true;
        }
    }
    return created_;
}

void TextFileOutput::Write(std::string_view text) {
    if (!failure_.Ok() || !Open() || text.empty()) {
        return;
    }
    if (const std::error_code ec = file_.Write(text)) {
        Fail(ec.message());
    }
}

ConversionResult TextFileOutput::Commit() {
    if (Open() && failure_.Ok()) {
        created_ = false;
        const std::error_code ec = file_.Publish();
        if (!ec) {
            return {};
        }
        // Looked at only now: checking first would cost every file a look-up.
        std::error_code ignored;
        Fail(std::filesystem::is_directory(system::PathFromUtf8(target_), ignored)
                 ? "a folder of that name is in the way"
                 : ec.message());
    }
    Abandon();
    return failure_;
}

void TextFileOutput::Abandon() {
    file_.Discard();
    created_ = false;
}

ConversionResult WriteTextFile(const std::string& targetPath, std::string_view text) {
    TextFileOutput output(targetPath);
    output.Write(text);
    return output.Commit();
}

}  // namespace corvanel::convert
