#include "convert/ooxml/AltChunk.h"

#include "convert/Converter.h"
#include "convert/core/ConvertError.h"
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
// otherwise report it as the chunk's.
class ChunkSink final : public DocumentSink {
public:
    explicit ChunkSink(DocumentSink& out) : out_(out) {}

    void StartParagraph() override { Open(Container::kParagraph); }
    void EndParagraph() override { Close(Container::kParagraph); }
    void ListLabel(std::string_view label, std::string_view suffix) override {
        Pass([&] { out_.ListLabel(label, suffix); });
    }
    void Text(std::string_view utf8) override {
        Pass([&] { out_.Text(utf8); });
    }
    void Tab() override {
        Pass([&] { out_.Tab(); });
    }
    void Break(BreakKind kind) override {
        Pass([&] { out_.Break(kind); });
    }
    void StartTable() override { Open(Container::kTable); }
    void EndTable() override { Close(Container::kTable); }
    void StartRow() override { Open(Container::kRow); }
    void EndRow() override { Close(Container::kRow); }
    void StartCell() override { Open(Container::kCell); }
    void EndCell() override { Close(Container::kCell); }
    void NoteReference(std::string_view mark) override {
        Pass([&] { out_.NoteReference(mark); });
    }
    void StartNote(NoteKind kind, std::string_view mark) override {
        Pass([&] { out_.StartNote(kind, mark); });
        open_.push_back(Container::kNote);
    }
    void EndNote() override { Close(Container::kNote); }
    void StartFloatingText() override { Open(Container::kFloating); }
    void EndFloatingText() override { Close(Container::kFloating); }
    void EndDocument() override {}  // the outer document goes on
    bool WantsStructure() const override { return out_.WantsStructure(); }
    void Heading(int level) override {
        Pass([&] { out_.Heading(level); });
    }
    void ListItem(int level, ListKind kind) override {
        Pass([&] { out_.ListItem(level, kind); });
    }
    void HeaderRow() override {
        Pass([&] { out_.HeaderRow(); });
    }
    void CellSpan(int columns, int rows) override {
        Pass([&] { out_.CellSpan(columns, rows); });
    }
    void CoveredCell() override {
        Pass([&] { out_.CoveredCell(); });
    }
    void StartLink(std::string_view target, bool internal) override {
        Pass([&] { out_.StartLink(target, internal); });
    }
    void EndLink() override {
        Pass([&] { out_.EndLink(); });
    }
    void Style(TextStyle style) override {
        Pass([&] { out_.Style(style); });
    }
    void Picture(std::string_view description, std::string_view title) override {
        Pass([&] { out_.Picture(description, title); });
    }

    // Closes what is still open; raises the sink's own fault, if any.
    void Finish() {
        while (!open_.empty() && !failed_) {
            Close(open_.back());
        }
        if (failed_) {
            std::rethrow_exception(failed_);
        }
    }

private:
    enum class Container { kParagraph, kTable, kRow, kCell, kNote, kFloating };

    template <typename Forward>
    void Pass(Forward&& forward) {
        if (failed_) {
            throw std::runtime_error("the output failed");  // stops the chunk's reader
        }
        try {
            forward();
        } catch (...) {
            failed_ = std::current_exception();
            throw;
        }
    }
    void Open(Container container) {
        Pass([&] {
            switch (container) {
                case Container::kParagraph:
                    out_.StartParagraph();
                    break;
                case Container::kTable:
                    out_.StartTable();
                    break;
                case Container::kRow:
                    out_.StartRow();
                    break;
                case Container::kCell:
                    out_.StartCell();
                    break;
                case Container::kFloating:
                    out_.StartFloatingText();
                    break;
                case Container::kNote:
                    break;  // StartNote has its own arguments
            }
        });
        open_.push_back(container);
    }
    void Close(Container container) {
        if (open_.empty() || open_.back() != container) {
            return;  // unbalanced: the outer document's structure is not the chunk's to end
        }
        open_.pop_back();
        Pass([&] {
            switch (container) {
                case Container::kParagraph:
                    out_.EndParagraph();
                    break;
                case Container::kTable:
                    out_.EndTable();
                    break;
                case Container::kRow:
                    out_.EndRow();
                    break;
                case Container::kCell:
                    out_.EndCell();
                    break;
                case Container::kNote:
                    out_.EndNote();
                    break;
                case Container::kFloating:
                    out_.EndFloatingText();
                    break;
            }
        });
    }

    DocumentSink& out_;
    std::vector<Container> open_;
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
