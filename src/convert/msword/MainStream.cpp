#include "convert/msword/MainStream.h"

#include "convert/core/ConvertError.h"
#include "convert/msword/CompoundFile.h"

namespace corvanel::convert::msword {

MainStream::MainStream(const CompoundStream& stream) : stream_(&stream), size_(stream.Size()) {}

std::string_view MainStream::Slice(std::uint64_t offset, std::size_t length, std::string& buffer,
                                   const char* what) const {
    if (!Has(offset, length)) {
        ThrowDamaged(std::string(what) + " runs past its end");
    }
    if (stream_ == nullptr) {
        return whole_.substr(static_cast<std::size_t>(offset), length);
    }
    buffer.resize(length);
    stream_->Read(offset, length, buffer.data(), what);
    return buffer;
}

}  // namespace corvanel::convert::msword
