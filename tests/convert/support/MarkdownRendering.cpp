#include "MarkdownRendering.h"

#include <cmark-gfm-core-extensions.h>
#include <cmark-gfm.h>

#include <cstdlib>
#include <mutex>

namespace corvanel::convert::testing {

namespace {

constexpr int kOptions = CMARK_OPT_FOOTNOTES | CMARK_OPT_UNSAFE;

cmark_parser* NewParser() {
    static std::once_flag registered;
    std::call_once(registered, [] { cmark_gfm_core_extensions_ensure_registered(); });
    cmark_parser* parser = cmark_parser_new(kOptions);
    for (const char* name : {"table", "strikethrough", "autolink"}) {
        cmark_parser_attach_syntax_extension(parser, cmark_find_syntax_extension(name));
    }
    return parser;
}

// A label's mark: the label up to a "-" added for repeats, or the mark written in hexadecimal
// after "-x".
std::string MarkOf(const char* label) {
    const std::string text = label == nullptr ? "" : label;
    if (text.rfind("-x", 0) != 0) {
        return text.substr(0, text.find('-'));
    }
    const std::string hex = text.substr(2, text.find('-', 2) - 2);
    std::string mark;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        mark += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    }
    return mark;
}

}  // namespace

std::string RenderedText(std::string_view markdown) {
    // From the HTML: only there do note references carry their labels.
    const std::string html = RenderedHtml(markdown);
    std::string text;
    struct NoteItem {
        std::size_t start;  // in `text`
        std::string mark;
        bool note;
    };
    std::vector<NoteItem> items;
    std::size_t i = 0;
    while (i < html.size()) {
        if (html[i] == '&') {
            const std::size_t end = html.find(';', i);
            const std::string entity = html.substr(i + 1, end - i - 1);
            if (entity == "amp") {
                text += '&';
            } else if (entity == "lt") {
                text += '<';
            } else if (entity == "gt") {
                text += '>';
            } else if (entity == "quot") {
                text += '"';
            } else {
                text += html.substr(i, end - i + 1);
            }
            i = end + 1;
            continue;
        }
        if (html[i] != '<') {
            text += html[i++];
            continue;
        }
        const std::size_t close = html.find('>', i);
        const std::string tag = html.substr(i + 1, close - i - 1);
        i = close + 1;
        const std::string name = tag.substr(0, tag.find_first_of(" \n/", 1));
        const auto attribute = [&](const std::string& key) {
            const std::size_t at = tag.find(key + "=\"");
            if (at == std::string::npos) {
                return std::string();
            }
            const std::size_t from = at + key.size() + 2;
            return tag.substr(from, tag.find('"', from) - from);
        };
        if (name == "sup" && attribute("class") == "footnote-ref") {
            const std::size_t href = html.find("href=\"#fn-", i);
            const std::size_t from = href + 10;
            text += MarkOf(html.substr(from, html.find('"', from) - from).c_str());
            i = html.find("</sup>", i) + 6;
        } else if (name == "a" && attribute("class") == "footnote-backref") {
            i = html.find("</a>", i) + 4;
        } else if (name == "li") {
            const std::string id = attribute("id");
            const bool note = id.rfind("fn-", 0) == 0;
            items.push_back({text.size(), note ? MarkOf(id.substr(3).c_str()) : "", note});
            text += '\n';
        } else if (name == "/li" && !items.empty()) {
            const NoteItem item = items.back();
            items.pop_back();
            // An empty note stands for one that never came: no mark.
            if (item.note && text.find_first_not_of(" \n", item.start) != std::string::npos) {
                text.insert(item.start, "\n" + item.mark + ' ');
            }
        } else if (name == "p" || name == "br" || name == "td" || name == "th" || name == "tr" ||
                   name == "table" || name == "ul" || name == "ol" || name == "section" ||
                   name == "blockquote" || name == "pre" || name == "hr" ||
                   (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6')) {
            text += '\n';
        }
    }
    return text;
}

std::string RenderedHtml(std::string_view markdown) {
    // One parse at a time: cmark-gfm adds an extension's characters ("~") to a process-wide
    // table of special characters for each parse and takes them out again at its end, so a
    // parse running beside another may miss them (strikethrough read as plain "~~").
    static std::mutex oneAtATime;
    const std::lock_guard lock(oneAtATime);
    cmark_parser* parser = NewParser();
    cmark_parser_feed(parser, markdown.data(), markdown.size());
    cmark_node* root = cmark_parser_finish(parser);
    char* html = cmark_render_html(root, kOptions, cmark_parser_get_syntax_extensions(parser));
    std::string out = html;
    free(html);
    cmark_node_free(root);
    cmark_parser_free(parser);
    return out;
}

std::vector<std::string> Words(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    const auto space = [](char c) {
        return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
    };
    while (i < text.size()) {
        while (i < text.size() && space(text[i])) {
            ++i;
        }
        const std::size_t start = i;
        while (i < text.size() && !space(text[i])) {
            ++i;
        }
        if (i > start) {
            words.emplace_back(text.substr(start, i - start));
        }
    }
    return words;
}

}  // namespace corvanel::convert::testing
