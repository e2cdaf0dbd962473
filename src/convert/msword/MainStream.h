#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvanel::convert::msword {

class CompoundStream;

// The WordDocument stream as the text and formatting readers see it: held whole (a file in
// memory, and Word 6 and 95 documents, whose tables live in this stream), or read a range at
// a time from the file, so that a large document's text is never held twice.
class MainStream {
public:
    explicit MainStream(std::string_view whole) : whole_(whole), size_(whole.size()) {}
    explicit MainStream(const CompoundStream& stream);

    std::uint64_t Size() const { return size_; }
    bool Has(std::uint64_t offset, std::uint64_t length) const {
        return offset <= size_ && length <= size_ - offset;
    }
    // Bytes [offset, offset + length): a view of the held stream, or read into `buffer` (the
    // view lasts as long as the buffer's content). A range past the end fails as damaged,
    // naming `what`.
    std::string_view Slice(std::uint64_t offset, std::size_t length, std::string& buffer,
                           const char* what) const;

private:
    std::string_view whole_;
    const CompoundStream* stream_ = nullptr;
    std::uint64_t size_ = 0;
};

}  // namespace corvanel::convert::msword
