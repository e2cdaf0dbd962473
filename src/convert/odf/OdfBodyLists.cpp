// List labels: which list a paragraph belongs to, its level, and the counters it advances.

#include "convert/core/DocumentSink.h"
#include "convert/core/XmlDocument.h"
#include "convert/odf/OdfBodyReader.h"
#include "convert/odf/OdfNodes.h"

namespace corvanel::convert::odf {

void BodyReader::CancelPendingLabel() {
    if (!lists_.empty()) {
        lists_.back().labelPending = false;
    }
}

void BodyReader::Label(pugi::xml_node paragraph, bool heading) {
    std::optional<ListLabelText> label;
    if (!lists_.empty() && lists_.back().labelPending) {
        ListFrame& frame = lists_.back();
        frame.labelPending = false;
        const std::string_view styleName =
            frame.styleName.empty()
                ? styles_.ParagraphListStyle(paragraph.attribute("text:style-name").value())
                : std::string_view(frame.styleName);
        const ListStyle* list = styles_.FindListStyle(styleName);
        if (!heading) {
            // Image bullets and unknown styles count as bullets.
            const ListLevelStyle* level = list != nullptr ? list->Level(frame.level) : nullptr;
            sink_.ListItem(frame.level - 1, level != nullptr && !level->bullet ? ListKind::kNumbered
                                                                               : ListKind::kBullet);
        }
        label = NextListLabel(*frame.counters, list, frame.level, frame.startValue);
    } else if (heading && lists_.empty() && !IsTrue(paragraph, "text:is-list-header")) {
        const std::optional<int> level = IntAttribute(paragraph, "text:outline-level");
        if (level && *level >= 1 && styles_.Outline() != nullptr) {
            std::optional<int> start;
            if (IsTrue(paragraph, "text:restart-numbering")) {
                start = IntAttribute(paragraph, "text:start-value").value_or(1);
            }
            label = NextListLabel(outline_, styles_.Outline(), *level, start);
        }
    }
    if (label) {
        sink_.ListLabel(label->label, label->suffix);
    }
}

ListCounters& BodyReader::NewCounters() {
    return counters_.emplace_back();
}

void BodyReader::List(pugi::xml_node list) {
    DepthGuard guard(depth_);
    ListFrame frame;
    frame.styleName = list.attribute("text:style-name").value();
    if (!lists_.empty()) {
        // A nested list is a deeper level of the same list.
        const ListFrame& parent = lists_.back();
        frame.counters = parent.counters;
        frame.level = parent.level + 1;
        if (frame.styleName.empty()) {
            frame.styleName = parent.styleName;
        }
    } else {
        const std::string continued = list.attribute("text:continue-list").value();
        if (!continued.empty() && listsById_.count(continued) > 0) {
            frame.counters = listsById_[continued];
        } else if (IsTrue(list, "text:continue-numbering")) {
            const auto it = lastListByStyle_.find(frame.styleName);
            frame.counters = it != lastListByStyle_.end() ? it->second : lastList_;
        }
        if (frame.counters == nullptr) {
            frame.counters = &NewCounters();
        }
        lastList_ = frame.counters;
        lastListByStyle_[frame.styleName] = frame.counters;
    }
    const std::string id = list.attribute("xml:id").value();
    if (!id.empty()) {
        listsById_[id] = frame.counters;
    }

    lists_.push_back(std::move(frame));
    for (pugi::xml_node item = list.first_child(); item; item = item.next_sibling()) {
        const std::string_view name(item.name());
        const bool header = name == "text:list-header";
        if (!header && name != "text:list-item") {
            continue;
        }
        CountRepeatedVisit();
        lists_.back().labelPending = !header;
        lists_.back().startValue = IntAttribute(item, "text:start-value");
        Blocks(item);
        lists_.back().labelPending = false;
    }
    lists_.pop_back();
}

void BodyReader::NumberedParagraph(pugi::xml_node node) {
    ListFrame frame;
    frame.styleName = node.attribute("text:style-name").value();
    const std::string id = node.attribute("text:list-id").value();
    ListCounters*& counters = listsById_[id];
    if (counters == nullptr) {
        counters = &NewCounters();
    }
    frame.counters = counters;
    frame.level = Count(node, "text:level", kListLevels);
    frame.labelPending = true;
    frame.startValue = IntAttribute(node, "text:start-value");
    WithOwnLists([&] {
        lists_.push_back(std::move(frame));
        Blocks(node);
    });
}

}  // namespace corvanel::convert::odf
