#include "cli/SourceStream.h"

#include "system/FileSystem.h"

#include <utility>

namespace corvanel::cli {

SourceStream::SourceStream(std::vector<Input> inputs, bool nullSeparated)
    : inputs_(std::move(inputs)), nullSeparated_(nullSeparated) {}

std::optional<SourceEntry> SourceStream::Next(const std::atomic<bool>& stop) {
    while (!stop) {
        if (walk_) {
            if (auto item = walk_->Next()) {
                return SourceEntry{std::move(item->path), item->failure.empty(),
                                   std::move(item->failure), item->bytes};
            }
            walk_.reset();
        }
        if (list_) {
            // A listed path is a document, even a folder: lists made by `find` name the
            // folders beside their files.
            if (auto path = list_->Next(stop)) {
                return SourceEntry{std::move(*path), false, {}};
            }
            const std::string error = list_->Error();
            list_.reset();
            if (!error.empty()) {
                return SourceEntry{listName_, false,
                                   "the list " + listName_ + " cannot be read: " + error};
            }
            continue;
        }
        if (nextInput_ == inputs_.size()) {
            break;
        }
        const Input& input = inputs_[nextInput_++];
        if (input.kind == Input::Kind::kUnmatched) {
            return SourceEntry{input.value, false, "no file matches " + input.value};
        }
        if (input.kind == Input::Kind::kList) {
            std::string error;
            listName_ = input.value == "-" ? "(standard input)" : input.value;
            std::optional<PathList> opened = PathList::Open(input.value, nullSeparated_, error);
            if (!opened) {
                return SourceEntry{input.value, false, error};
            }
            list_.emplace(std::move(*opened));
        } else if (const system::FileState state = system::StateOf(input.value);
                   state.kind == system::FileKind::kFolder) {
            walk_.emplace(input.value);
        } else {
            return SourceEntry{input.value, false, {}, state.size};
        }
    }
    return std::nullopt;
}

}  // namespace corvanel::cli
