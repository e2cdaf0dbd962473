#include "convert/core/ContainerBlocks.h"

#include "convert/core/Limits.h"
#include "convert/core/XmlScanning.h"

#include <algorithm>
#include <cstring>

namespace corvanel::convert {

namespace {

using xmlscan::EqualsIgnoringCase;
using xmlscan::IsNameChar;
using xmlscan::IsNameStart;
using xmlscan::IsSpace;
using xmlscan::kUtf8Bom;
using xmlscan::LocalPart;

// True when the processing instruction starting at `pi` ("<?") has a target the parser
// accepts: a name followed by white space or "?>".
bool HasWellFormedTarget(std::string_view pi) {
    std::size_t i = 2;
    if (i >= pi.size() || !IsNameStart(pi[i])) {
        return false;
    }
    while (i < pi.size() && IsNameChar(pi[i])) {
        ++i;
    }
    return i < pi.size() && (IsSpace(pi[i]) || pi.substr(i, 2) == "?>");
}

// Follows the markup strictly enough to know element depth; any doubt ends the scan.
class Scanner {
public:
    Scanner(std::string_view xml, const BlockLayout& layout, std::size_t batchBytes)
        : xml_(xml),
          layout_(layout),
          batchBytes_(batchBytes),
          blockLevel_(layout.containerPath.size() + 1),
          namedLevels_(blockLevel_ + 1) {}

    std::optional<ContainerBlocks> Run() {
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
        if (!rootSeen_ || depth_ != 0) {
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
            if (depth_ == 0) {
                for (std::size_t i = pos_; i < next; ++i) {
                    if (!IsSpace(xml_[i])) {
                        return false;
                    }
                }
            }
            pos_ = next;
            return true;
        }
        // Nearly every tag is a start or end tag: tell them apart by one character before
        // looking for the rarer kinds.
        const char second = pos_ + 1 < xml_.size() ? xml_[pos_ + 1] : '\0';
        if (second == '/') {
            return EndTag();
        }
        if (second != '!' && second != '?') {
            return StartTag();
        }
        const std::string_view rest = xml_.substr(pos_);
        if (rest.starts_with("<!--")) {
            pos_ += 4;
            return SkipPast("-->");
        }
        if (rest.starts_with("<![CDATA[")) {
            return depth_ != 0 && SkipPast("]]>");
        }
        if (second == '?') {
            // Processing instructions; a declaration past the start is not followed. Nor is
            // a target the parser refuses: what lies between two batches is never parsed.
            const bool declaration = EqualsIgnoringCase(rest.substr(2, 3), "xml") &&
                                     (rest.size() == 5 || IsSpace(rest[5]) || rest[5] == '?');
            return !declaration && HasWellFormedTarget(rest) && SkipPast("?>");
        }
        return false;  // a document type declaration
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
        const std::size_t end = xmlscan::TagEnd(xml_, pos_);
        if (end == std::string_view::npos) {
            return false;
        }
        pos_ = end;
        return true;
    }

    bool StartTag() {
        const std::size_t tagBegin = pos_;
        ++pos_;
        if (depth_ >= namedLevels_) {
            // Inside a block only the depth matters: the block's own parse checks its markup.
            if (!SkipToTagEnd()) {
                return false;
            }
            if (xml_[pos_ - 2] != '/' &&
                ++depth_ > static_cast<std::size_t>(limits::kMaxNestingDepth)) {
                return false;  // the whole tree's reading reports it
            }
            return true;
        }
        const std::string_view name = Name();
        if (name.empty() || pos_ >= xml_.size() || xml_[pos_] == '=' || !SkipToTagEnd()) {
            return false;
        }
        const bool empty = xml_[pos_ - 2] == '/';
        const std::size_t depth = depth_;
        if (depth == 0) {
            if (rootSeen_) {
                return false;  // a second root element
            }
            rootSeen_ = true;
            if (layout_.containerPath.empty()) {  // the root's own children are the blocks
                result_.bodies.emplace_back();
                if (!empty) {
                    inBody_ = true;
                    result_.skeleton.append(xml_.substr(copied_, pos_ - copied_));
                    copied_ = pos_;
                }
            }
        } else if (depth < blockLevel_) {
            // An element on the way to a container, when its ancestors are too.
            if (matched_ == depth - 1 && LocalPart(name) == layout_.containerPath[depth - 1]) {
                const bool container = depth == layout_.containerPath.size();
                if (container) {
                    result_.bodies.emplace_back();
                }
                if (!empty) {
                    matched_ = depth;
                    if (container) {
                        inBody_ = true;
                        result_.skeleton.append(xml_.substr(copied_, pos_ - copied_));
                        copied_ = pos_;
                    }
                }
            }
        } else if (inBody_) {
            blockBegin_ = tagBegin;
            blockIsKept_ =
                !layout_.keptInSkeleton.empty() && LocalPart(name) == layout_.keptInSkeleton;
            if (empty) {
                AddBlock();
            }
        }
        if (!empty) {
            if (++depth_ <= namedLevels_) {
                open_.push_back(name);
            }
        }
        return true;
    }

    bool EndTag() {
        const std::size_t tagBegin = pos_;
        if (depth_ > namedLevels_) {
            const void* end = std::memchr(xml_.data() + pos_, '>', xml_.size() - pos_);
            if (end == nullptr) {
                return false;
            }
            pos_ = static_cast<std::size_t>(static_cast<const char*>(end) - xml_.data()) + 1;
            --depth_;
            return true;
        }
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
        --depth_;
        if (depth_ == blockLevel_ && inBody_) {
            AddBlock();
        } else if (depth_ == blockLevel_ - 1 && inBody_) {
            inBody_ = false;
            copied_ = tagBegin;
        }
        // The element closed may have been on the way to a container: what is still open
        // below the root is all that can follow the path.
        matched_ = std::min(matched_, depth_ == 0 ? 0 : depth_ - 1);
        return true;
    }

    // The block from blockBegin_ to here joins the body's last batch when the batch stays
    // small enough.
    void AddBlock() {
        if (blockIsKept_) {
            result_.skeleton.append(xml_.substr(blockBegin_, pos_ - blockBegin_));
        }
        std::vector<ContainerBlocks::Batch>& batches = result_.bodies.back();
        if (!batches.empty() && pos_ - batches.back().begin <= batchBytes_) {
            batches.back().size = pos_ - batches.back().begin;
        } else {
            batches.push_back({blockBegin_, pos_ - blockBegin_});
        }
    }

    std::string_view xml_;
    const BlockLayout& layout_;
    std::size_t batchBytes_;
    std::size_t pos_ = 0;
    std::size_t blockLevel_;  // how many elements enclose a block: the root and the path
    // Names are followed, and end tags checked against them, down to the blocks themselves
    // (root, containers, block); deeper, only the depth is counted.
    std::size_t namedLevels_;
    std::vector<std::string_view> open_;  // the names of the open elements of those levels
    std::size_t depth_ = 0;               // how many elements are open
    std::size_t matched_ = 0;             // how many open elements below the root follow the path
    bool rootSeen_ = false;
    bool inBody_ = false;
    std::size_t blockBegin_ = 0;
    bool blockIsKept_ = false;
    std::size_t copied_ = 0;  // the skeleton holds the part up to here
    ContainerBlocks result_;
};

}  // namespace

std::optional<ContainerBlocks> ScanContainerBlocks(std::string_view xml, const BlockLayout& layout,
                                                   std::size_t batchBytes) {
    return Scanner(xml, layout, batchBytes).Run();
}

}  // namespace corvanel::convert
