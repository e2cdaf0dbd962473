#pragma once

// Length-prefixed frames of length-prefixed fields between a program and its worker processes,
// so any byte may stand in a path or a message.

#include "isolation/Pipes.h"

#include <cstdint>
#include <optional>
#include <string>

namespace corvanel::isolation {

// Eight bytes, least significant first.
void PutNumber(std::string& out, std::uint64_t value);
std::uint64_t GetNumber(const char* bytes);
// The field's length as a number, then its bytes.
void PutField(std::string& out, const std::string& field);

// Takes a frame's numbers and fields in the order they were put.
class FieldReader {
public:
    explicit FieldReader(const std::string& frame) : frame_(frame) {}

    bool Number(std::uint64_t& value);
    bool Field(std::string& field);
    bool AtEnd() const { return at_ == frame_.size(); }

private:
    const std::string& frame_;
    std::size_t at_ = 0;
};

// Writes a whole frame; false when the other end is gone.
bool WriteFrame(PipeEnd pipe, const std::string& frame);

// Frames read through a buffer: one read takes in whatever has arrived, so a burst of frames
// costs one system call.
class FrameReader {
public:
    explicit FrameReader(PipeEnd pipe = kNoPipe) : pipe_(pipe) {}

    // Waits for bytes and takes in what has arrived; false at the end of the stream.
    bool Fill();
    // The next complete frame taken in, if any; sets `damaged` for one that cannot be.
    std::optional<std::string> Take(bool& damaged);
    // The next frame, waiting as long as it takes; nothing at the end or on a damaged frame.
    std::optional<std::string> Next();

private:
    PipeEnd pipe_;
    // Bytes [start_, end_) are taken in and not yet handed out; the rest is room for reading.
    // The buffer is allocated once (and grown for a larger frame), never cleared per read.
    std::string buffer_;
    std::size_t start_ = 0;
    std::size_t end_ = 0;
};

}  // namespace corvanel::isolation
