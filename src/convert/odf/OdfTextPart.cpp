#include "convert/odf/OdfTextPart.h"

#include "convert/core/ConvertError.h"
#include "convert/core/XmlDocument.h"
#include "convert/odf/OdfBodyReader.h"

#include <atomic>
#include <cstring>
#include <utility>

namespace corvanel::convert::odf {

namespace {

std::atomic<std::size_t> batchBytesForTesting{0};

// office:document-content (or a flat office:document) > office:body > office:text; names are
// matched by local part here and checked in full on the parsed skeleton.
const BlockLayout kTextLayout{{"body", "text"}, {}};
// A block's own children: the rows of a table, the blocks of a section.
const BlockLayout kOwnChildren{{}, {}};

// The block's element has this name.
bool StartsWithTag(std::string_view block, std::string_view name) {
    if (block.size() <= name.size() + 1 || block[0] != '<' ||
        block.substr(1, name.size()) != name) {
        return false;
    }
    const char after = block[name.size() + 1];
    return after == ' ' || after == '\t' || after == '\r' || after == '\n' || after == '>' ||
           after == '/';
}

}  // namespace

std::size_t TextBatchBytes() {
    const std::size_t bytes = batchBytesForTesting.load();
    return bytes != 0 ? bytes : kBlockBatchBytes;
}

void SetTextBatchBytesForTesting(std::size_t bytes) {
    batchBytesForTesting.store(bytes);
}

pugi::xml_node TextBody(pugi::xml_node root) {
    const pugi::xml_node body = root.child("office:body");
    if (const pugi::xml_node text = body.child("office:text")) {
        return text;
    }
    if (body && body.child("office:spreadsheet").empty() && body.child("office:drawing").empty() &&
        body.child("office:presentation").empty() && body.child("office:chart").empty() &&
        body.child("office:image").empty()) {
        for (pugi::xml_node child = body.first_child(); child; child = child.next_sibling()) {
            if (std::string_view(child.name()).starts_with("text:")) {
                return body;
            }
        }
    }
    return {};
}

TextPart::TextPart(std::string& xml, std::string_view partName, ParseWhole parseWhole,
                   ReadAgain readAgain)
    : xml_(xml),
      partName_(partName),
      parseWhole_(std::move(parseWhole)),
      readAgain_(std::move(readAgain)),
      batchBytes_(TextBatchBytes()) {
    if (xml.size() > batchBytes_) {
        blocks_ = ScanContainerBlocks(xml, kTextLayout, batchBytes_);
    }
    // Batches stand for the text body only when the skeleton leads the reader to exactly the
    // one container the scanner cut: office:text under office:body, prefixes as the reader
    // names them. Anything else is read from the whole tree, as it always was.
    if (blocks_ && blocks_->bodies.size() == 1 &&
        document_.load_buffer_inplace(blocks_->skeleton.data(), blocks_->skeleton.size(),
                                      kXmlParseOptionsMixedContent, pugi::encoding_auto) &&
        std::strcmp(Body().name(), "office:text") == 0) {
        return;
    }
    document_.reset();
    blocks_.reset();
    parseWhole_(document_, xml_);
}

void TextPart::ReadBody(BodyReader& reader) {
    if (!blocks_) {
        reader.Read(Body());
        return;
    }
    const std::vector<Batch>& batches = blocks_->bodies.front();
    pugi::xml_document fragment;  // one batch at a time
    for (std::size_t i = 0; i < batches.size(); ++i) {
        try {
            // A batch larger than the batch size is a single block.
            if (batches[i].size > batchBytes_ && ReadInPieces(batches[i], reader, fragment)) {
                continue;
            }
            ParseBatch(fragment, batches[i]);
            reader.Read(fragment);
        } catch (const ConvertError&) {
            // Parsed whole, a malformed block further on would have failed the document before
            // its text was read: that fault comes first.
            if (!malformedReported_) {
                ParseBatches(fragment, batches, i + 1);
            }
            throw;
        }
    }
}

bool TextPart::ReadInPieces(const Batch& block, BodyReader& reader, pugi::xml_document& fragment) {
    const std::string_view xml(xml_.data() + block.begin, block.size);
    if (!StartsWithTag(xml, "table:table") && !StartsWithTag(xml, "text:section")) {
        return false;
    }
    std::optional<ContainerBlocks> children = ScanContainerBlocks(xml, kOwnChildren, batchBytes_);
    pugi::xml_document element;  // the block without its children
    if (!children || children->bodies.size() != 1 ||
        !element.load_buffer_inplace(children->skeleton.data(), children->skeleton.size(),
                                     kXmlParseOptionsMixedContent, pugi::encoding_utf8)) {
        return false;
    }
    std::vector<Batch>& pieces = children->bodies.front();
    for (Batch& piece : pieces) {
        piece.begin += block.begin;
    }
    std::size_t next = 0;
    try {
        const bool read = reader.BlockInPieces(element.first_child(), [&]() -> pugi::xml_node {
            if (next == pieces.size()) {
                return {};
            }
            ParseBatch(fragment, pieces[next++]);
            return fragment;
        });
        if (!read) {
            return false;
        }
    } catch (const ConvertError&) {
        if (!malformedReported_) {
            ParseBatches(fragment, pieces, next);
        }
        throw;
    }
    // A hidden section's children are never read, but malformed they fail the document.
    ParseBatches(fragment, pieces, next);
    return true;
}

void TextPart::ParseBatches(pugi::xml_document& fragment, const std::vector<Batch>& batches,
                            std::size_t from) {
    for (std::size_t i = from; i < batches.size(); ++i) {
        ParseBatch(fragment, batches[i]);
    }
}

void TextPart::ParseBatch(pugi::xml_document& fragment, const ContainerBlocks::Batch& batch) {
    const pugi::xml_parse_result result = fragment.load_buffer_inplace(
        xml_.data() + batch.begin, batch.size, kXmlParseOptionsMixedContent | pugi::parse_fragment,
        pugi::encoding_utf8);
    if (result) {
        return;
    }
    fragment.reset();
    malformedReported_ = true;
    // The whole part's parse names its first fault, as for a part read whole.
    if (std::optional<std::string> again = readAgain_()) {
        pugi::xml_document whole;
        parseWhole_(whole, *again);
    }
    const std::size_t offset = batch.begin + static_cast<std::size_t>(result.offset);
    ThrowDamaged(partName_ + " is not well-formed XML (" + result.description() + " at byte " +
                 std::to_string(offset) + ")");
}

}  // namespace corvanel::convert::odf
