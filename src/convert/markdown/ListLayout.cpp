#include "convert/markdown/ListLayout.h"

namespace corvanel::convert::markdown {

int PlainNumber(std::string_view label) {
    if (!label.empty() && (label.back() == '.' || label.back() == ')')) {
        label.remove_suffix(1);
    }
    // CommonMark takes up to nine digits.
    if (label.empty() || label.size() > 9) {
        return -1;
    }
    int number = 0;
    for (const char c : label) {
        if (c < '0' || c > '9') {
            return -1;
        }
        number = number * 10 + (c - '0');
    }
    return number;
}

char NumberDelimiter(std::string_view label) {
    return !label.empty() && label.back() == ')' ? ')' : '.';
}

ListLayout::Placed ListLayout::Place(int level, ListKind kind, int number, char delimiter,
                                     bool labelled) {
    while (!open_.empty() && open_.back().level > level) {
        open_.pop_back();
    }
    Placed placed;
    if (labelled) {
        kind = ListKind::kNumbered;
        delimiter = 0;
    }
    const bool bulleted = kind == ListKind::kBullet || labelled;
    placed.continues = !open_.empty() && open_.back().level == level && open_.back().kind == kind &&
                       open_.back().labelled == labelled &&
                       (bulleted || open_.back().delimiter == delimiter);
    char bullet = '-';
    if (!placed.continues && !open_.empty() && open_.back().level == level) {
        // Another kind of list at this level starts a new list.
        if (bulleted && open_.back().bullet == '-') {
            bullet = '*';
        }
        open_.pop_back();
    }
    std::size_t indent = 0;
    if (placed.continues) {
        indent = open_.size() >= 2 ? open_[open_.size() - 2].contentIndent : 0;
    } else {
        indent = open_.empty() ? 0 : open_.back().contentIndent;
        open_.push_back({level, kind, labelled, delimiter, bulleted ? bullet : '\0', 1, 0});
    }
    Open& list = open_.back();
    std::string marker(1, list.bullet);
    if (!bulleted) {
        const long n = number >= 0 ? number : list.next;
        marker = std::to_string(n > 999999999 ? 999999999 : n) + delimiter;
        list.next = n + 1;
    }
    list.contentIndent = indent + marker.size() + 1;
    placed.marker = std::string(indent, ' ') + marker + ' ';
    placed.continuation = std::string(list.contentIndent, ' ');
    return placed;
}

}  // namespace corvanel::convert::markdown
