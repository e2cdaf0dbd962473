#include "convert/ooxml/AltChunk.h"

#include "convert/Converter.h"
#include "convert/core/ConvertError.h"
#include "convert/core/ForwardingSink.h"
#include "convert/core/Limits.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace corvanel::convert::ooxml {

namespace {

// Chunks read one inside another across readers: how deep, and how many bytes in all, so that
// nested packages share the limits of one document.
struct ChunkNesting {
    int depth = 0;
    std::uint64_t bytes = 0;
};
thread_local ChunkNesting nesting;

// Passes a chunk's body events on. What the chunk opened and did not close (a reader that
// failed part way) is closed at the end, and a fault of the sink itself (the output too large,
// a write that failed) is kept to be raised again after the reader returns, which would
// otherwise report it as the chunk's. The chunk's own end, format, properties and margin texts
// stay its own: the outer document goes on.
class ChunkSink final : public ForwardingSink {
public:
    explicit ChunkSink(DocumentSink& out) : ForwardingSink(out) {}

    bool WantsProperties() const override { return false; }
    bool WantsMarginText(MarginText) const override { return false; }

    // Closes what is still open; raises the sink's own fault, if any.
    void Finish() {
        while (!open_.empty() && !failed_) {
            SendEnd(open_.back(), *this);
        }
        if (failed_) {
            std::rethrow_exception(failed_);
        }
    }

private:
    void Forward(SinkEvent event, EventCall call) override {
        switch (event) {
            case SinkEvent::kEndDocument:
            case SinkEvent::kFormat:
            case SinkEvent::kProperty:
            case SinkEvent::kStartMarginText:
            case SinkEvent::kEndMarginText:
                return;
            default:
                break;
        }
        if (const auto start = StartClosedBy(event)) {
            if (open_.empty() || open_.back() != *start) {
                return;  // unbalanced: the outer document's structure is not the chunk's to end
            }
            open_.pop_back();
            Pass(call);
            return;
        }
        Pass(call);
        if (Opens(event)) {
            open_.push_back(event);
        }
    }

    void Pass(EventCall call) {
        if (failed_) {
            throw std::runtime_error("the output failed");  // stops the chunk's reader
        }
        try {
            call(target_);
        } catch (...) {
            failed_ = std::current_exception();
            throw;
        }
    }

    std::vector<SinkEvent> open_;  // the start events of what the chunk opened, innermost last
    std::exception_ptr failed_;
};

const Relationship* FindChunk(const std::vector<Relationship>& relationships, std::string_view id) {
    constexpr std::string_view kChunkType = "/aFChunk";
    for (const Relationship& r : relationships) {
        if (r.id == id && !r.external && r.type.ends_with(kChunkType)) {
            return &r;
        }
    }
    return nullptr;
}

}  // namespace

void ReadAltChunk(WordPackage& package, std::string_view mainPart,
                  const std::vector<Relationship>& relationships, std::string_view id,
                  DocumentSink& sink) {
    const Relationship* chunk = FindChunk(relationships, id);
    if (chunk == nullptr || nesting.depth >= kMaxChunkDepth) {
        return;
    }
    const std::string partName = ResolvePartName(mainPart, chunk->target);
    if (partName == mainPart) {
        return;
    }
    if (nesting.depth == 0) {
        nesting.bytes = 0;
    }
    std::optional<std::string> bytes;
    try {
        bytes = package.PartBytes(partName);
    } catch (const ConvertError& e) {
        // A damaged, encrypted or too large chunk loses only itself; a source that cannot be
        // read any more is the document's fault.
        if (e.Code() == ErrorCode::kCannotOpen || e.Code() == ErrorCode::kInternal) {
            throw;
        }
        return;
    }
    if (!bytes || bytes->size() > limits::kMaxTotalInflatedBytes - nesting.bytes) {
        return;
    }
    nesting.bytes += bytes->size();
    ChunkSink chunkSink(sink);
    {
        struct Deeper {
            Deeper() { ++nesting.depth; }
            ~Deeper() { --nesting.depth; }
            Deeper(const Deeper&) = delete;
            Deeper& operator=(const Deeper&) = delete;
        } deeper;
        // The reader's own result does not matter: what it read before a fault stays.
        (void)ReadDocumentBytes(partName, std::move(*bytes), chunkSink);
    }
    chunkSink.Finish();
}

}  // namespace corvanel::convert::ooxml
