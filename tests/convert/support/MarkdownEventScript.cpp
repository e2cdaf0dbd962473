#include "MarkdownEventScript.h"

#include "MarkdownRendering.h"

#include <algorithm>
#include <map>
#include <string_view>

namespace corvanel::convert::testing {

namespace {

// Texts that a Markdown reader would take as markup, and some that it would not.
constexpr std::string_view kTexts[] = {
    "a",          "bc",
    " ",          "  ",
    "*",          "**",
    "_",          "#",
    "1.",         "2)",
    "-",          "+",
    "=",          ">",
    "|",          "\\",
    "<b>",        "&amp;",
    "~",          "~~",
    "[",          "]",
    "!",          "`",
    ".",          ",",
    "\xC3\xA9",   "\xC2\xA0",
    "x.y",        "\t",
    "word ",      " word",
    "\xC2\xAD",   "\xE6\x97\xA5",
    "a\nb",       "(",
    ")",          ":",
    "http://x.y", "www.a.b",
    "[^1]",       "&#32;",
    "1",          "10",
    "a*b",        "__x__",
    "- ",         "---",
    "```",        "    code",
    "\r\n",       "\"q\"",
    "R&D",        "&x;",
    "pdf_fill",   "www.a.b/c_d",
    "x@y.z",      "![",
    "<",          "\\*",
};
constexpr std::string_view kNumberLabels[] = {"1.", "2.", "a)", "iv.", "1.1", "3", "Article 3"};
constexpr std::string_view kBulletLabels[] = {"\xE2\x80\xA2", "o", "-"};
constexpr std::string_view kMarks[] = {"1", "2", "3", "i", "a"};
constexpr std::string_view kTargets[] = {"http://x.y/a b", "https://e.org/(p)", "bm", "<x>"};

template <std::size_t N>
std::string Pick(const std::string_view (&items)[N], std::uint8_t byte) {
    return std::string(items[byte % N]);
}

bool PlainNumber(std::string_view label) {
    if (!label.empty() && (label.back() == '.' || label.back() == ')')) {
        label.remove_suffix(1);
    }
    return !label.empty() &&
           std::all_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; });
}

enum class Frame { kBody, kCell, kNote, kFloating, kTable, kRow };

}  // namespace

MarkdownEventScript::MarkdownEventScript(const std::uint8_t* data, std::size_t size) {
    struct Open {
        Frame frame;
        bool paragraph = false;
        bool link = false;
    };
    std::vector<Open> stack{{Frame::kBody}};
    std::size_t i = 0;
    const auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    const auto inContainer = [&] {
        const Frame f = stack.back().frame;
        return f != Frame::kTable && f != Frame::kRow;
    };
    const auto endLink = [&] {
        if (stack.back().link) {
            Add([](DocumentSink& s) { s.EndLink(); });
            stack.back().link = false;
        }
    };
    const auto endParagraph = [&] {
        endLink();
        if (stack.back().paragraph) {
            Add([](DocumentSink& s) { s.EndParagraph(); });
            stack.back().paragraph = false;
        }
    };
    const auto ensureParagraph = [&] {
        if (!stack.back().paragraph) {
            Add([](DocumentSink& s) { s.StartParagraph(); });
            stack.back().paragraph = true;
        }
    };
    // Ends the top frame with its own end event.
    const auto pop = [&] {
        endParagraph();
        switch (stack.back().frame) {
            case Frame::kCell:
                Add([](DocumentSink& s) { s.EndCell(); });
                break;
            case Frame::kNote:
                Add([](DocumentSink& s) { s.EndNote(); });
                break;
            case Frame::kFloating:
                Add([](DocumentSink& s) { s.EndFloatingText(); });
                break;
            case Frame::kTable:
                Add([](DocumentSink& s) { s.EndTable(); });
                break;
            case Frame::kRow:
                Add([](DocumentSink& s) { s.EndRow(); });
                break;
            case Frame::kBody:
                return;
        }
        stack.pop_back();
    };
    while (i < size && steps_.size() < 4096) {
        const std::uint8_t op = next() % 20;
        const std::uint8_t arg = next();
        const bool container = inContainer();
        switch (op) {
            case 0:
            case 1:
                if (!container) {
                    break;
                }
                endParagraph();
                ensureParagraph();
                if (arg % 4 == 1 && stack.back().frame == Frame::kBody) {
                    Add([level = 1 + arg / 4 % 6](DocumentSink& s) { s.Heading(level); });
                    if (arg & 0x80) {
                        const std::string label = Pick(kNumberLabels, arg);
                        Add([label](DocumentSink& s) { s.ListLabel(label, "\t"); });
                    }
                } else if (arg % 4 == 2) {
                    const bool numbered = (arg & 0x80) != 0;
                    const int level = arg / 8 % 4;
                    Add([=](DocumentSink& s) {
                        s.ListItem(level, numbered ? ListKind::kNumbered : ListKind::kBullet);
                    });
                    const std::string label =
                        numbered ? Pick(kNumberLabels, next()) : Pick(kBulletLabels, next());
                    const bool marker = !numbered || PlainNumber(label);
                    Add([label](DocumentSink& s) { s.ListLabel(label, "\t"); }, marker);
                } else if (arg % 4 == 3) {
                    const std::string label = Pick(kNumberLabels, arg / 4);
                    Add([label](DocumentSink& s) { s.ListLabel(label, "\t"); });
                }
                break;
            case 2:
                endParagraph();
                break;
            case 3:
            case 4:
            case 5:
                if (container) {
                    ensureParagraph();
                    Add([text = Pick(kTexts, arg)](DocumentSink& s) { s.Text(text); });
                }
                break;
            case 6:
                if (container) {
                    ensureParagraph();
                    Add(arg & 1
                            ? std::function<void(DocumentSink&)>([](DocumentSink& s) { s.Tab(); })
                            : [](DocumentSink& s) { s.Break(BreakKind::kLine); });
                }
                break;
            case 7:
                if (container && stack.back().paragraph) {
                    const TextStyle style{(arg & 1) != 0, (arg & 2) != 0, (arg & 4) != 0};
                    Add([style](DocumentSink& s) { s.Style(style); });
                }
                break;
            case 8:
                if (container) {
                    endLink();
                    ensureParagraph();
                    Add([target = Pick(kTargets, arg), internal = (arg & 0x80) != 0](
                            DocumentSink& s) { s.StartLink(target, internal); });
                    stack.back().link = true;
                }
                break;
            case 9:
                endLink();
                break;
            case 10:
                if (container) {
                    ensureParagraph();
                    Add([description = Pick(kTexts, arg), title = Pick(kTexts, next())](
                            DocumentSink& s) { s.Picture(description, title); });
                }
                break;
            case 11:
                if (container) {
                    ensureParagraph();
                    const std::string mark = Pick(kMarks, arg);
                    marks_.insert(mark);
                    Add([mark](DocumentSink& s) { s.NoteReference(mark); });
                }
                break;
            case 12:
                if (container && std::none_of(stack.begin(), stack.end(), [](const Open& o) {
                        return o.frame == Frame::kNote;
                    })) {
                    const std::string mark = Pick(kMarks, arg);
                    marks_.insert(mark);
                    const NoteKind kind = arg & 0x80 ? NoteKind::kEndnote : NoteKind::kFootnote;
                    Add([mark, kind](DocumentSink& s) { s.StartNote(kind, mark); });
                    stack.push_back({Frame::kNote});
                }
                break;
            case 13:
                if (container && stack.size() < 12) {
                    Add([](DocumentSink& s) { s.StartFloatingText(); });
                    stack.push_back({Frame::kFloating});
                }
                break;
            case 14:
                if (container && stack.size() < 12) {
                    endParagraph();
                    Add([](DocumentSink& s) { s.StartTable(); });
                    stack.push_back({Frame::kTable});
                }
                break;
            case 15:
                if (stack.back().frame == Frame::kTable) {
                    Add([](DocumentSink& s) { s.StartRow(); });
                    if (arg & 1) {
                        Add([](DocumentSink& s) { s.HeaderRow(); });
                    }
                    stack.push_back({Frame::kRow});
                }
                break;
            case 16:
                if (stack.back().frame == Frame::kRow) {
                    Add([](DocumentSink& s) { s.StartCell(); });
                    if (arg % 4 == 1 && (arg / 4 % 3 > 0 || arg / 16 % 3 > 0)) {
                        Add([=](DocumentSink& s) {
                            s.CellSpan(1 + arg / 4 % 3, 1 + arg / 16 % 3);
                        });
                    } else if (arg % 4 == 2) {
                        Add([](DocumentSink& s) { s.CoveredCell(); });
                    }
                    stack.push_back({Frame::kCell});
                }
                break;
            default:
                if (stack.size() > 1) {
                    pop();
                }
                break;
        }
    }
    while (stack.size() > 1) {
        pop();
    }
    endParagraph();
    Add([](DocumentSink& s) { s.EndDocument(); });
}

void MarkdownEventScript::Play(DocumentSink& sink, bool forText) const {
    for (const Step& step : steps_) {
        if (!(forText && step.markdownOnly)) {
            step.event(sink);
        }
    }
}

bool SameWords(const std::string& text, const std::string& rendered,
               const std::set<std::string>& marks, std::string* why) {
    std::map<std::string, int> count;
    for (const std::string& word : Words(text)) {
        ++count[word];
    }
    for (const std::string& word : Words(rendered)) {
        --count[word];
    }
    std::string difference;
    for (const auto& [word, n] : count) {
        if (n != 0 && marks.count(word) == 0) {
            difference += (n > 0 ? " text-only:" : " rendered-only:") + word + "(" +
                          std::to_string(n > 0 ? n : -n) + ")";
        }
    }
    if (why != nullptr) {
        *why = difference;
    }
    return difference.empty();
}

}  // namespace corvanel::convert::testing
