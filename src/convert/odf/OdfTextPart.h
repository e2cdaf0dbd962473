#pragma once

#include "convert/core/ContainerBlocks.h"

#include <pugixml.hpp>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::odf {

class BodyReader;

// The element holding the text: office:body/office:text, or office:body itself in
// OpenOffice.org 1 documents. Empty when the document holds no text.
pugi::xml_node TextBody(pugi::xml_node root);

// The XML part holding an OpenDocument text (content.xml, or a flat document), read so that a
// large one never lies in memory as one tree: the top-level blocks of its office:text are parsed
// a batch at a time, and the rest of the part (the skeleton) as its document. Small parts, and
// any the block scanner cannot follow, are parsed whole.
class TextPart {
public:
    // Parses a part's bytes whole, in place; throws the part's own error when they are not
    // well-formed.
    using ParseWhole = std::function<void(pugi::xml_document&, std::string&)>;
    // The part's bytes once more, for the whole parse that names a malformed block's fault.
    using ReadAgain = std::function<std::optional<std::string>()>;

    // `xml` stays in use (parsed in place) for the life of the object.
    TextPart(std::string& xml, std::string_view partName, ParseWhole parseWhole,
             ReadAgain readAgain);

    pugi::xml_node Root() const { return document_.document_element(); }
    pugi::xml_node Body() const { return TextBody(Root()); }
    bool InBatches() const { return blocks_.has_value(); }

    // Walks the text body with the reader, one batch of blocks at a time when read so; a
    // top-level table or section larger than a batch is read a batch of its children at a
    // time. A malformed block is reported as the whole part's parse reports it.
    void ReadBody(BodyReader& reader);

private:
    using Batch = ContainerBlocks::Batch;

    bool ReadInPieces(const Batch& block, BodyReader& reader, pugi::xml_document& fragment);
    void ParseBatches(pugi::xml_document& fragment, const std::vector<Batch>& batches,
                      std::size_t from);
    void ParseBatch(pugi::xml_document& fragment, const Batch& batch);

    std::string& xml_;
    std::string partName_;
    ParseWhole parseWhole_;
    ReadAgain readAgain_;
    std::size_t batchBytes_;
    std::optional<ContainerBlocks> blocks_;
    bool malformedReported_ = false;
    pugi::xml_document document_;  // the skeleton, or the whole part
};

// Parts larger than this many bytes are read in batches of about this size.
std::size_t TextBatchBytes();
// Tests lower the batch size so that small documents are read in batches too, or raise it so
// that large ones are parsed whole; 0 restores the default.
void SetTextBatchBytesForTesting(std::size_t bytes);

}  // namespace corvanel::convert::odf
