#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvanel::convert::msword {

// What the drawing records say about one shape that the text needs: the text WordArt draws,
// and a picture's description and title (UTF-8).
struct ShapeFacts {
    std::uint32_t spid = 0;
    bool picture = false;
    std::string wordArt;
    std::string description;
    std::string title;
};

// The shapes of the document's drawings (the Office art records at fcDggInfo in the table
// stream), in the order stored. Damaged records end the reading: what was read is kept.
std::vector<ShapeFacts> ReadDrawingShapes(std::string_view drawings);

// The shape of an inline picture, from its record in the data stream (a picture header, then
// the shape's records); nothing when the bytes hold no picture.
std::optional<ShapeFacts> ReadInlinePictureShape(std::string_view picture);

// The bytes of an inline picture's record that ReadInlinePictureShape needs, from its first
// kInlinePictureHeadBytes (or fewer, at the stream's end); 0 when they are no picture's.
inline constexpr std::size_t kInlinePictureHeadBytes = 0x44 + 256 + 8;
std::size_t InlinePictureBytes(std::string_view head);

// A shape anchored in the body at a drawn object's character.
struct AnchoredShape {
    std::uint32_t cp = 0;
    ShapeFacts facts;
};

}  // namespace corvanel::convert::msword
