#include "convert/ooxml/WordNumbering.h"

#include "convert/ooxml/WordStyles.h"
#include "convert/ooxml/WordXml.h"

#include <algorithm>

namespace corvanel::convert::ooxml {

namespace {

// Style links chain definitions; a longer chain than this is a loop.
constexpr int kMaxStyleLinkHops = 8;

int ClampLevel(std::int64_t level) {
    return static_cast<int>(std::clamp<std::int64_t>(level, 0, kListLevels - 1));
}

}  // namespace

ListLevel* WordNumbering::AddAbstract(std::int64_t abstractId, std::string_view numStyleLink,
                                      std::string_view styleLink) {
    Abstract& definition = abstracts_.emplace_back();
    definition.id = abstractId;
    definition.numStyleLink = numStyleLink;
    definition.styleLink = styleLink;
    return definition.levels.data();
}

WordNumbering::Instance& WordNumbering::AddInstance(std::int64_t listId, std::int64_t abstractId) {
    Instance& instance = instances_.emplace_back();
    instance.id = listId;
    instance.abstractId = abstractId;
    return instance;
}

void WordNumbering::SetStartOverride(Instance& instance, int level, std::int64_t start) {
    instance.startOverride[static_cast<size_t>(ClampLevel(level))] = start;
}

ListLevel& WordNumbering::OverrideLevel(Instance& instance, int level) {
    instance.levelOverride[static_cast<size_t>(ClampLevel(level))] =
        static_cast<int>(overrides_.size());
    return overrides_.emplace_back();
}

void WordNumbering::Finish(const WordStyles& styles) {
    std::stable_sort(abstracts_.begin(), abstracts_.end(),
                     [](const Abstract& a, const Abstract& b) { return a.id < b.id; });
    std::stable_sort(instances_.begin(), instances_.end(),
                     [](const Instance& a, const Instance& b) { return a.id < b.id; });
    for (Instance& instance : instances_) {
        instance.abstractIndex = FindAbstract(instance.abstractId);
    }
    // A definition that only names a numbering style takes the levels of the definition that
    // style's list uses.
    for (size_t i = 0; i < abstracts_.size(); ++i) {
        int target = static_cast<int>(i);
        for (int hop = 0; hop < kMaxStyleLinkHops; ++hop) {
            const Abstract& current = abstracts_[static_cast<size_t>(target)];
            if (current.numStyleLink.empty()) {
                break;
            }
            const std::int64_t listId = styles.ParagraphNumbering(current.numStyleLink).listId;
            const Instance* linked = listId > 0 ? FindInstance(listId) : nullptr;
            if (linked == nullptr || linked->abstractIndex < 0 || linked->abstractIndex == target) {
                break;
            }
            target = linked->abstractIndex;
        }
        abstracts_[i].target = target;
    }
}

WordNumbering::Instance* WordNumbering::FindInstance(std::int64_t listId) {
    const auto it = std::lower_bound(
        instances_.begin(), instances_.end(), listId,
        [](const Instance& instance, std::int64_t key) { return instance.id < key; });
    return it != instances_.end() && it->id == listId ? &*it : nullptr;
}

const WordNumbering::Instance* WordNumbering::FindInstance(std::int64_t listId) const {
    return const_cast<WordNumbering*>(this)->FindInstance(listId);
}

int WordNumbering::FindAbstract(std::int64_t abstractId) const {
    const auto it = std::lower_bound(
        abstracts_.begin(), abstracts_.end(), abstractId,
        [](const Abstract& definition, std::int64_t key) { return definition.id < key; });
    return it != abstracts_.end() && it->id == abstractId
               ? static_cast<int>(it - abstracts_.begin())
               : -1;
}

const ListLevel& WordNumbering::LevelOf(const Instance& instance, const Abstract& definition,
                                        int level) const {
    const int replaced = instance.levelOverride[static_cast<size_t>(level)];
    return replaced >= 0 ? overrides_[static_cast<size_t>(replaced)]
                         : definition.levels[static_cast<size_t>(level)];
}

int WordNumbering::LevelForStyle(std::int64_t listId, std::string_view styleId) const {
    const Instance* instance = FindInstance(listId);
    if (instance == nullptr || instance->abstractIndex < 0 || styleId.empty()) {
        return -1;
    }
    const int target = abstracts_[static_cast<size_t>(instance->abstractIndex)].target;
    if (target < 0) {
        return -1;
    }
    const Abstract& definition = abstracts_[static_cast<size_t>(target)];
    for (int level = 0; level < kListLevels; ++level) {
        if (LevelOf(*instance, definition, level).paragraphStyle == styleId) {
            return level;
        }
    }
    return -1;
}

std::optional<WordNumbering::Label> WordNumbering::Next(std::int64_t listId, int level) {
    Instance* instance = FindInstance(listId);
    if (instance == nullptr || instance->abstractIndex < 0) {
        return std::nullopt;
    }
    const int target = abstracts_[static_cast<size_t>(instance->abstractIndex)].target;
    if (target < 0) {
        return std::nullopt;
    }
    const bool levelInRange = level == ClampLevel(level);
    level = ClampLevel(level);
    Abstract& counters = abstracts_[static_cast<size_t>(target)];
    if (!instance->used) {
        // An instance that overrides a level's start value starts that level again when first
        // used; one that only replaces a level's look continues the shared count.
        instance->used = true;
        for (size_t l = 0; l < kListLevels; ++l) {
            const auto& start = instance->startOverride[l];
            counters.start[l] =
                start ? *start : LevelOf(*instance, counters, static_cast<int>(l)).start;
            if (start) {
                counters.counted[l] = false;
            }
        }
    }
    // Deeper levels start again when a shallower one advances (unless they say otherwise).
    for (int deeper = level + 1; deeper < kListLevels; ++deeper) {
        const int restartAfter = LevelOf(*instance, counters, deeper).restartAfter;
        if (restartAfter < 0 || level < restartAfter) {
            counters.counted[static_cast<size_t>(deeper)] = false;
        }
    }
    // A level skipped on the way down counts as having shown its start value (a level number
    // out of range is no way down, only a broken paragraph).
    for (size_t shallower = 0; levelInRange && shallower < static_cast<size_t>(level);
         ++shallower) {
        if (!counters.counted[shallower]) {
            counters.value[shallower] = counters.start[shallower];
            counters.counted[shallower] = true;
        }
    }
    const auto index = static_cast<size_t>(level);
    counters.value[index] =
        counters.counted[index] ? counters.value[index] + 1 : counters.start[index];
    counters.counted[index] = true;

    const ListLevel& own = LevelOf(*instance, counters, level);
    Label label{BuildLabel(*instance, counters, level), own.suffix,
                own.format != NumberFormat::kBullet && own.format != NumberFormat::kNone &&
                    own.text.find('%') != std::string_view::npos};
    if (label.text.empty()) {
        return std::nullopt;
    }
    return label;
}

std::string WordNumbering::BuildLabel(const Instance& instance, const Abstract& counters,
                                      int level) const {
    const ListLevel& own = LevelOf(instance, counters, level);
    const std::string_view text = own.text;
    if (own.format == NumberFormat::kBullet || text.find('%') == std::string_view::npos) {
        return BulletText(text, own.font);
    }
    std::string label;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '%' || i + 1 >= text.size() || text[i + 1] < '1' || text[i + 1] > '9') {
            label += c;
            continue;
        }
        const int referenced = text[++i] - '1';
        if (referenced > level) {
            continue;
        }
        const auto r = static_cast<size_t>(referenced);
        const std::int64_t value = counters.counted[r] ? counters.value[r] : counters.start[r];
        NumberFormat format = LevelOf(instance, counters, referenced).format;
        if (own.legal && format != NumberFormat::kNone && format != NumberFormat::kBullet) {
            format = NumberFormat::kDecimal;
        }
        AppendFormattedNumber(label, value, format);
    }
    return label;
}

void ReadListLevel(pugi::xml_node lvl, ListLevel& level) {
    // One pass over the level's children: numbering parts hold hundreds of levels.
    for (pugi::xml_node child = lvl.first_child(); child; child = child.next_sibling()) {
        const std::string_view name = LocalName(child.name());
        if (name == "start") {
            if (const auto start = IntegerVal(child)) {
                level.start = *start;
            }
        } else if (name == "numFmt") {
            level.format = NumberFormatFromName(AttrValue(child, "val"));
        } else if (name == "nfc") {  // Word 2003 XML
            if (const auto code = IntegerVal(child)) {
                level.format = NumberFormatFromWordCode(static_cast<int>(*code));
            }
        } else if (name == "lvlText") {
            level.text = AttrValue(child, "val");
        } else if (name == "isLgl") {
            level.legal = OnOff(child).value_or(false);
        } else if (name == "lvlRestart") {
            if (const auto restart = IntegerVal(child)) {
                level.restartAfter =
                    static_cast<int>(std::clamp<std::int64_t>(*restart, 0, kListLevels));
            }
        } else if (name == "suff") {
            const std::string_view suffix = AttrValue(child, "val");
            level.suffix = suffix == "space" ? " " : suffix == "nothing" ? "" : "\t";
        } else if (name == "pStyle") {
            level.paragraphStyle = AttrValue(child, "val");
        } else if (name == "rPr") {
            const pugi::xml_node fonts = Child(child, "rFonts");
            std::string_view font = AttrValue(fonts, "ascii");
            if (font.empty()) {
                font = AttrValue(fonts, "hAnsi");
            }
            if (font.empty()) {
                font = AttrValue(fonts, "h-ansi");
            }
            level.font = ClassifySymbolFont(font);
        }
    }
}

void LoadNumbering(pugi::xml_node numbering, WordNumbering& out) {
    for (pugi::xml_node node = numbering.first_child(); node; node = node.next_sibling()) {
        if (Is(node, "abstractNum")) {
            const auto id = ParseInteger(AttrValue(node, "abstractNumId"));
            if (!id) {
                continue;
            }
            ListLevel* levels =
                out.AddAbstract(*id, ChildVal(node, "numStyleLink"), ChildVal(node, "styleLink"));
            for (pugi::xml_node lvl = node.first_child(); lvl; lvl = lvl.next_sibling()) {
                const auto index = ParseInteger(AttrValue(lvl, "ilvl"));
                if (Is(lvl, "lvl") && index && *index >= 0 && *index < kListLevels) {
                    ReadListLevel(lvl, levels[*index]);
                }
            }
        } else if (Is(node, "num")) {
            const auto id = ParseInteger(AttrValue(node, "numId"));
            const auto abstractId = IntegerVal(Child(node, "abstractNumId"));
            if (!id || !abstractId) {
                continue;
            }
            WordNumbering::Instance& instance = out.AddInstance(*id, *abstractId);
            for (pugi::xml_node o = node.first_child(); o; o = o.next_sibling()) {
                const auto index = ParseInteger(AttrValue(o, "ilvl"));
                if (!Is(o, "lvlOverride") || !index || *index < 0 || *index >= kListLevels) {
                    continue;
                }
                if (const auto start = IntegerVal(Child(o, "startOverride"))) {
                    out.SetStartOverride(instance, static_cast<int>(*index), *start);
                }
                if (pugi::xml_node lvl = Child(o, "lvl")) {
                    ReadListLevel(lvl, out.OverrideLevel(instance, static_cast<int>(*index)));
                }
            }
        }
    }
}

}  // namespace corvanel::convert::ooxml
