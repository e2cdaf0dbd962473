#include "server/RequestHeaders.h"

#include "convert/core/Ascii.h"
#include "convert/core/TextEncoding.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace corvanel::server {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// Calls `each` with every piece of `list` between `separator`s, trimmed, outside quotes.
template <typename Each>
void ForEachPiece(std::string_view list, char separator, Each&& each) {
    std::size_t start = 0;
    bool quoted = false;
    for (std::size_t i = 0; i <= list.size(); ++i) {
        if (i < list.size() && list[i] == '"') {
            quoted = !quoted;
        }
        if (i == list.size() || (list[i] == separator && !quoted)) {
            each(Trim(list.substr(start, i - start)));
            start = i + 1;
        }
    }
}

// A media range's weight, its "q" parameter (1 when absent; 0 when unreadable).
double Weight(std::string_view parameters) {
    double weight = 1;
    ForEachPiece(parameters, ';', [&](std::string_view parameter) {
        if (parameter.size() > 2 && (parameter[0] == 'q' || parameter[0] == 'Q') &&
            parameter[1] == '=') {
            const std::string number(parameter.substr(2, 8));
            char* end = nullptr;
            const double q = std::strtod(number.c_str(), &end);
            weight = end == number.c_str() + number.size() && q >= 0 && q <= 1 ? q : 0;
        }
    });
    return weight;
}

std::string PercentDecoded(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned byte = 0;
        const char* digits = text.data() + i + 1;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(digits, digits + 2, byte, 16).ptr == digits + 2) {
            out += static_cast<char>(byte);
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string Unquoted(std::string_view value) {
    if (value.size() < 2 || value.front() != '"' || value.back() != '"') {
        return std::string(value);
    }
    std::string out;
    value = value.substr(1, value.size() - 2);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            ++i;
        }
        out += value[i];
    }
    return out;
}

std::string WithoutFolders(std::string name) {
    if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    return name;
}

}  // namespace

Wanted PreferredAnswer(std::string_view accept) {
    struct Known {
        std::string_view type;
        Wanted wanted;
    };
    static constexpr Known kKnown[] = {
        {"text/plain", Wanted::kText},          {"text/markdown", Wanted::kMarkdown},
        {"text/x-markdown", Wanted::kMarkdown}, {"application/json", Wanted::kJson},
        {"text/html", Wanted::kXhtml},          {"application/xhtml+xml", Wanted::kXhtml},
        {"text/xml", Wanted::kXhtml},           {"application/xml", Wanted::kXhtml},
    };
    Wanted best = Wanted::kDefault;
    double bestWeight = 0;
    ForEachPiece(accept, ',', [&](std::string_view range) {
        const std::size_t semicolon = range.find(';');
        const std::string_view type = Trim(range.substr(0, semicolon));
        const double weight =
            semicolon == std::string_view::npos ? 1 : Weight(range.substr(semicolon + 1));
        for (const Known& known : kKnown) {
            if (convert::ascii::EqualsNoCase(type, known.type) && weight > bestWeight) {
                best = known.wanted;
                bestWeight = weight;
            }
        }
    });
    return best;
}

std::string DispositionFileName(std::string_view disposition) {
    std::string plain, extended;
    ForEachPiece(disposition, ';', [&](std::string_view parameter) {
        const std::size_t equals = parameter.find('=');
        if (equals == std::string_view::npos) {
            return;
        }
        const std::string_view name = Trim(parameter.substr(0, equals));
        const std::string_view value = Trim(parameter.substr(equals + 1));
        if (convert::ascii::EqualsNoCase(name, "filename")) {
            plain = Unquoted(value);
        } else if (convert::ascii::EqualsNoCase(name, "filename*")) {
            // charset'language'percent-encoded
            const std::size_t quote = value.find('\'');
            const std::size_t second =
                quote == std::string_view::npos ? quote : value.find('\'', quote + 1);
            if (second != std::string_view::npos) {
                extended = PercentDecoded(value.substr(second + 1));
            }
        }
    });
    return WithoutFolders(extended.empty() ? plain : extended);
}

bool ParseInclude(std::string_view list, convert::MarginTexts& include) {
    bool known = true;
    ForEachPiece(list, ',', [&](std::string_view word) {
        if (convert::ascii::EqualsNoCase(word, "headers")) {
            include.headers = true;
        } else if (convert::ascii::EqualsNoCase(word, "footers")) {
            include.footers = true;
        } else if (convert::ascii::EqualsNoCase(word, "comments")) {
            include.comments = true;
        } else if (convert::ascii::EqualsNoCase(word, "all")) {
            include = {true, true, true};
        } else if (!word.empty()) {
            known = false;
        }
    });
    return known;
}

bool BearerMatches(std::string_view authorization, std::string_view token) {
    constexpr std::string_view kScheme = "Bearer ";
    const bool scheme =
        authorization.size() >= kScheme.size() &&
        convert::ascii::EqualsNoCase(authorization.substr(0, kScheme.size()), kScheme);
    const std::string_view given =
        scheme ? Trim(authorization.substr(kScheme.size())) : std::string_view();
    // Every byte of the token is looked at whatever was given; only the lengths' difference
    // shows, and the length of a token is no secret worth keeping.
    unsigned difference = given.size() == token.size() ? 0 : 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char mine = token[i];
        const char theirs = i < given.size() ? given[i] : static_cast<char>(~mine);
        difference |= static_cast<unsigned char>(mine ^ theirs);
    }
    return scheme && !token.empty() && difference == 0;
}

std::string EscapeForText(std::string_view text, std::size_t limit) {
    std::string out;
    const bool cut = text.size() > limit;
    text = text.substr(0, limit);
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F) {
            out += c == '\\' ? "\\\\" : std::string(1, static_cast<char>(c));
            ++i;
            continue;
        }
        if (const std::size_t length = c >= 0x80 ? convert::Utf8SequenceLength(text, i) : 0;
            length > 0) {
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x%02x", c);
        out += escape;
        ++i;
    }
    return cut ? out + "..." : out;
}

}  // namespace corvanel::server
