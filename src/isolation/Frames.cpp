#include "isolation/Frames.h"

namespace corvanel::isolation {

namespace {

constexpr std::uint64_t kMaxFrameBytes = 64u << 20;

}  // namespace

void PutNumber(std::string& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) {
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

std::uint64_t GetNumber(const char* bytes) {
    std::uint64_t value = 0;
    for (int i = 0; i < 8; ++i) {
        value |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[i])) << (8 * i);
    }
    return value;
}

void PutField(std::string& out, const std::string& field) {
    PutNumber(out, field.size());
    out += field;
}

bool FieldReader::Number(std::uint64_t& value) {
    if (frame_.size() - at_ < 8) {
        return false;
    }
    value = GetNumber(frame_.data() + at_);
    at_ += 8;
    return true;
}

bool FieldReader::Field(std::string& field) {
    std::uint64_t size = 0;
    if (!Number(size) || frame_.size() - at_ < size) {
        return false;
    }
    field = frame_.substr(at_, size);
    at_ += size;
    return true;
}

bool WriteFrame(PipeEnd pipe, const std::string& frame) {
    std::string out;
    PutNumber(out, frame.size());
    out += frame;
    return WritePipe(pipe, out.data(), out.size());
}

bool FrameReader::Fill() {
    constexpr std::size_t kReadBytes = 64 * 1024;
    if (start_ > 0) {
        buffer_.replace(0, end_ - start_, buffer_, start_, end_ - start_);
        end_ -= start_;
        start_ = 0;
    }
    if (buffer_.size() - end_ < kReadBytes) {
        buffer_.resize(end_ + kReadBytes);
    }
    const std::ptrdiff_t got = ReadPipe(pipe_, buffer_.data() + end_, buffer_.size() - end_);
    if (got <= 0) {
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    return true;
}

std::optional<std::string> FrameReader::Take(bool& damaged) {
    damaged = false;
    if (end_ - start_ < 8) {
        return std::nullopt;
    }
    const std::uint64_t size = GetNumber(buffer_.data() + start_);
    if (size > kMaxFrameBytes) {
        damaged = true;
        return std::nullopt;
    }
    if (end_ - start_ - 8 < size) {
        return std::nullopt;
    }
    std::string frame = buffer_.substr(start_ + 8, size);
    start_ += 8 + size;
    if (start_ == end_) {
        start_ = end_ = 0;
    }
    return frame;
}

std::optional<std::string> FrameReader::Next() {
    while (true) {
        bool damaged = false;
        if (std::optional<std::string> frame = Take(damaged)) {
            return frame;
        }
        if (damaged || !Fill()) {
            return std::nullopt;
        }
    }
}

}  // namespace corvanel::isolation
