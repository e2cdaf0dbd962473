#pragma once

#include "convert/core/DocumentSink.h"

#include <optional>
#include <string_view>

namespace corvanel::convert {

// Sends a run of text in `style`, with the Style event first when it differs from `sent` (the
// style last sent in this paragraph; none: unknown). A space that starts a run of another style
// is sent in what both styles share, so that emphasis never begins or ends with it.
inline void SendStyledText(DocumentSink& sink, std::optional<TextStyle>& sent, TextStyle style,
                           std::string_view text) {
    if (!text.empty() && sent != style) {
        if (sent && text.size() > 1 && text.front() == ' ') {
            const TextStyle shared{sent->bold && style.bold, sent->italic && style.italic,
                                   sent->strike && style.strike};
            if (shared != *sent) {
                sink.Style(shared);
                sent = shared;
            }
            sink.Text(" ");
            text.remove_prefix(1);
        }
        if (sent != style) {
            sink.Style(style);
            sent = style;
        }
    }
    sink.Text(text);
}

}  // namespace corvanel::convert
