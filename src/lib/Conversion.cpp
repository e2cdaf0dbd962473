#include "lib/Conversion.h"

#include "convert/core/ConvertError.h"

#include <utility>

namespace corvanel::library {

namespace {

// Thrown out of the converter's writer when the receiver wants no more text.
struct ReceiverStopped {};

}  // namespace

void TakeOutcome(corvanel_result& result, convert::ConversionResult&& outcome) {
    result.status = outcome.Number();
    result.message = std::move(outcome.description);
    result.format = std::move(outcome.facts.format);
    result.chars = outcome.facts.chars;
    result.words = outcome.facts.words;
    for (auto& [property, value] : outcome.facts.properties) {
        const auto index = static_cast<std::size_t>(property);
        if (index < result.properties.size()) {
            result.properties[index] = std::move(value);
        }
    }
}

int Convert(const Source& source, const convert::ConvertOptions& options,
            const TextReceiver& receive, corvanel_result& result) {
    result.source = source.name;
    bool stopped = false;
    const auto write = [&](std::string_view piece) {
        if (stopped) {
            throw ReceiverStopped{};
        }
        if (!receive) {
            result.text.append(piece);
        } else if (!receive(piece)) {
            stopped = true;
            throw ReceiverStopped{};
        }
    };
    const auto read = [&](convert::DocumentSink& sink) {
        if (source.bytes == nullptr) {
            return convert::ReadDocument(source.name, sink);
        }
        return convert::ReadDocumentBytes(
            source.name, std::string(static_cast<const char*>(source.bytes), source.size), sink);
    };
    convert::ConversionResult outcome;
    try {
        outcome = convert::StreamText(read, write, options);
    } catch (const ReceiverStopped&) {
    }
    if (stopped) {
        outcome.code = convert::ErrorCode::kCannotWrite;
        outcome.description = source.name +
                              " was not converted to the end: the receiver of its "
                              "text stopped the conversion";
        outcome.facts.chars = outcome.facts.words = 0;
    }
    TakeOutcome(result, std::move(outcome));
    if (result.status != CORVANEL_OK) {
        result.text.clear();
        result.chars = result.words = 0;
    }
    return result.status;
}

}  // namespace corvanel::library
