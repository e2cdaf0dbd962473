#include "convert/ooxml/BodyBlocks.h"

#include "convert/core/Limits.h"

#include <algorithm>
#include <cstring>

namespace corvanel::convert::word {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The same rule as the reader's name matching: what follows the first colon.
std::string_view LocalPart(std::string_view name) {
    const auto colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// Follows the markup strictly enough to know element depth; any doubt ends the scan.
class Scanner {
public:
    Scanner(std::string_view xml, std::size_t batchBytes) : xml_(xml), batchBytes_(batchBytes) {}

    std::optional<BodyBlocks> Run() {
        if (std::memchr(xml_.data(), '\0', xml_.size()) != nullptr) {
            return std::nullopt;
        }
        if (xml_.substr(0, kUtf8Bom.size()) == kUtf8Bom) {
            pos_ = kUtf8Bom.size();
        }
        if (xml_.substr(pos_, 5) == "<?xml" && !Declaration()) {
            return std::nullopt;
        }
        while (pos_ < xml_.size()) {
            if (!Step()) {
                return std::nullopt;
            }
        }
        if (!rootSeen_ || !open_.empty()) {
            return std::nullopt;
        }
        result_.skeleton.append(xml_.substr(copied_));
        return std::move(result_);
    }

private:
    // The XML declaration: only UTF-8 is read here.
    bool Declaration() {
        const auto end = xml_.find("?>", pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        const std::string_view declaration = xml_.substr(pos_, end - pos_);
        pos_ = end + 2;
        const auto encoding = declaration.find("encoding");
        if (encoding == std::string_view::npos) {
            return true;
        }
        std::size_t i = encoding + 8;
        while (i < declaration.size() && IsSpace(declaration[i])) {
            ++i;
        }
        if (i == declaration.size() || declaration[i] != '=') {
            return false;
        }
        ++i;
        while (i < declaration.size() && IsSpace(declaration[i])) {
            ++i;
        }
        if (i == declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) {
            return false;
        }
        const auto close = declaration.find(declaration[i], i + 1);
        if (close == std::string_view::npos) {
            return false;
        }
        return EqualsIgnoringCase(declaration.substr(i + 1, close - i - 1), "utf-8");
    }

    bool SkipPast(std::string_view terminator) {
        const auto end = xml_.find(terminator, pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        pos_ = end + terminator.size();
        return true;
    }

    bool Step() {
        if (xml_[pos_] != '<') {
            const auto next = std::min(xml_.find('<', pos_), xml_.size());
            if (open_.empty()) {
                for (std::size_t i = pos_; i < next; ++i) {
                    if (!IsSpace(xml_[i])) {
                        return false;
                    }
                }
            }
            if (inBody_ && open_.size() == 2 &&
                std::any_of(xml_.begin() + pos_, xml_.begin() + next,
                            [](char c) { return !IsSpace(c); })) {
                nodeSinceBlock_ = true;  // text between blocks is a node of the body
            }
            pos_ = next;
            return true;
        }
        const std::string_view rest = xml_.substr(pos_);
        if (rest.starts_with("<!--")) {
            pos_ += 4;
            return SkipPast("-->");
        }
        if (rest.starts_with("<![CDATA[")) {
            if (inBody_ && open_.size() == 2) {
                nodeSinceBlock_ = true;
            }
            return !open_.empty() && SkipPast("]]>");
        }
        if (rest.starts_with("<?")) {
            // Processing instructions; a declaration past the start is not followed.
            const bool declaration = EqualsIgnoringCase(rest.substr(2, 3), "xml") &&
                                     (rest.size() == 5 || IsSpace(rest[5]) || rest[5] == '?');
            return !declaration && SkipPast("?>");
        }
        if (rest.starts_with("<!")) {
            return false;  // a document type declaration
        }
        if (rest.starts_with("</")) {
            return EndTag();
        }
        return StartTag();
    }

    // A name up to white space, "/" or ">"; empty when it holds anything else a name cannot.
    std::string_view Name() {
        const std::size_t begin = pos_;
        while (pos_ < xml_.size()) {
            const char c = xml_[pos_];
            if (IsSpace(c) || c == '/' || c == '>' || c == '=') {
                break;
            }
            if (c == '<' || c == '"' || c == '\'' || c == '&') {
                return {};
            }
            ++pos_;
        }
        return xml_.substr(begin, pos_ - begin);
    }

    void SkipSpace() {
        while (pos_ < xml_.size() && IsSpace(xml_[pos_])) {
            ++pos_;
        }
    }

    // Where the tag ends: the first ">" outside quoted attribute values. The attributes
    // themselves are left to the parser, which reads every tag in one of the parsed pieces.
    bool SkipToTagEnd() {
        const char* const data = xml_.data();
        for (;;) {
            const char* end =
                static_cast<const char*>(std::memchr(data + pos_, '>', xml_.size() - pos_));
            if (end == nullptr) {
                return false;
            }
            const std::size_t length = static_cast<std::size_t>(end - (data + pos_));
            const char* dquote = static_cast<const char*>(std::memchr(data + pos_, '"', length));
            const char* squote = static_cast<const char*>(std::memchr(data + pos_, '\'', length));
            const char* quote = dquote == nullptr                      ? squote
                                : squote == nullptr || dquote < squote ? dquote
                                                                       : squote;
            if (quote == nullptr) {
                pos_ = static_cast<std::size_t>(end - data) + 1;
                return true;
            }
            const std::size_t open = static_cast<std::size_t>(quote - data);
            const auto close = xml_.find(*quote, open + 1);
            if (close == std::string_view::npos) {
                return false;
            }
            pos_ = close + 1;
        }
    }

    bool StartTag() {
        const std::size_t tagBegin = pos_;
        ++pos_;
        const std::string_view name = Name();
        if (name.empty() || pos_ >= xml_.size() || xml_[pos_] == '=' || !SkipToTagEnd()) {
            return false;
        }
        const bool empty = xml_[pos_ - 2] == '/';
        const std::size_t depth = open_.size();
        if (depth == 0) {
            if (rootSeen_) {
                return false;  // a second root element
            }
            rootSeen_ = true;
        } else if (depth == 1 && LocalPart(name) == "body") {
            result_.bodies.emplace_back();
            if (!empty) {
                inBody_ = true;
                nodeSinceBlock_ = false;
                result_.skeleton.append(xml_.substr(copied_, pos_ - copied_));
                copied_ = pos_;
            }
        } else if (depth == 2 && inBody_) {
            blockBegin_ = tagBegin;
            blockIsSectionProperties_ = LocalPart(name) == "sectPr";
            blockIsParagraph_ = LocalPart(name) == "p";
            if (empty) {
                AddBlock();
            }
        }
        if (!empty) {
            open_.push_back(name);
            if (open_.size() > static_cast<std::size_t>(limits::kMaxNestingDepth)) {
                return false;  // the whole tree's reading reports it
            }
        }
        return true;
    }

    bool EndTag() {
        const std::size_t tagBegin = pos_;
        pos_ += 2;
        if (open_.empty() || xml_.substr(pos_, open_.back().size()) != open_.back()) {
            return false;
        }
        pos_ += open_.back().size();
        SkipSpace();
        if (pos_ >= xml_.size() || xml_[pos_] != '>') {
            return false;
        }
        ++pos_;
        open_.pop_back();
        if (open_.size() == 2 && inBody_) {
            AddBlock();
        } else if (open_.size() == 1 && inBody_) {
            inBody_ = false;
            copied_ = tagBegin;
        }
        return true;
    }

    // The block from blockBegin_ to here joins the body's last batch when the batch stays
    // small enough.
    void AddBlock() {
        if (blockIsSectionProperties_) {
            result_.skeleton.append(xml_.substr(blockBegin_, pos_ - blockBegin_));
        }
        std::vector<BodyBlocks::Batch>& batches = result_.bodies.back();
        if (!batches.empty() && pos_ - batches.back().begin <= batchBytes_) {
            batches.back().size = pos_ - batches.back().begin;
        } else {
            if (!batches.empty()) {
                batches.back().followedByParagraph = blockIsParagraph_ && !nodeSinceBlock_;
            }
            batches.push_back({blockBegin_, pos_ - blockBegin_});
        }
        nodeSinceBlock_ = false;
    }

    std::string_view xml_;
    std::size_t batchBytes_;
    std::size_t pos_ = 0;
    std::vector<std::string_view> open_;
    bool rootSeen_ = false;
    bool inBody_ = false;
    std::size_t blockBegin_ = 0;
    bool blockIsSectionProperties_ = false;
    bool blockIsParagraph_ = false;
    bool nodeSinceBlock_ = false;  // CDATA or text since the last block ended
    std::size_t copied_ = 0;       // the skeleton holds the part up to here
    BodyBlocks result_;
};

}  // namespace

std::optional<BodyBlocks> ScanBodyBlocks(std::string_view xml, std::size_t batchBytes) {
    return Scanner(xml, batchBytes).Run();
}

}  // namespace corvanel::convert::word
