#pragma once

// A librevenge property list written inline: string properties, then number ones.

#include <librevenge/librevenge.h>

#include <initializer_list>
#include <utility>

namespace corvanel::convert::revenge {

inline librevenge::RVNGPropertyList Props(
    std::initializer_list<std::pair<const char*, const char*>> strings,
    std::initializer_list<std::pair<const char*, int>> numbers = {}) {
    librevenge::RVNGPropertyList list;
    for (const auto& [name, value] : strings) {
        list.insert(name, value);
    }
    for (const auto& [name, value] : numbers) {
        list.insert(name, value);
    }
    return list;
}

}  // namespace corvanel::convert::revenge
