#pragma once

// Documents Corvanel does not read, forwarded unchanged to another Tika-compatible server
// (PDF, spreadsheets, images...), whose answer is relayed as it came.

#include "server/Answers.h"

#include <httplib.h>

#include <optional>
#include <string>

namespace corvanel::server {

class Fallback {
public:
    // `url` is http://HOST[:PORT]; empty for none.
    Fallback(std::string url, double timeoutSeconds)
        : url_(std::move(url)), timeoutSeconds_(timeoutSeconds) {}

    bool Enabled() const { return !url_.empty(); }

    // Sends the request again, with the document's bytes as its body (as the one file of a
    // form, for a form) and the headers that say what the client wants. Nothing when the
    // other server cannot be reached or does not answer in time.
    std::optional<Answer> Forward(const httplib::Request& request, const std::string& document,
                                  bool asForm, const std::string& name) const;

private:
    std::string url_;
    double timeoutSeconds_;
};

}  // namespace corvanel::server
