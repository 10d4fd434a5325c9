#pragma once

#include <cstddef>
#include <cstdint>

// The binary form of a keyed archive, shared by KeyedArchiver and KeyedUnarchiver.
//
//   archive  := magic "TOVK" version(1)  strings  value
//   strings  := count  (length bytes)*          every key and class name, each written once
//   value    := tag payload
//   object   := Object classIndex pairCount (keyIndex value)*
//   array    := Array count value*
//
// Integers are zigzag varints, floats and doubles their little-endian IEEE bytes, strings UTF-16 code units
// after their length, points, sizes, rectangles and colours 2, 2, 4 and 4 doubles, an attributed string
// the length and bytes of its own serialisation. The archive's single root value is an object with the
// empty class name that holds the top-level keys ("root" for the convenience forms).
namespace platform::keyed_archive {

inline constexpr std::uint8_t kMagic[] = {'T', 'O', 'V', 'K', 1};

enum class Tag : std::uint8_t {
    Nil = 0,
    Integer = 1,
    Float = 2,
    Double = 3,
    False = 4,
    True = 5,
    String = 6,
    Point = 7,
    Size = 8,
    Rect = 9,
    Color = 10,
    AttributedString = 11,
    Array = 12,
    Object = 13,
};
inline constexpr std::uint8_t kLastTag = 13;

// Objects and arrays nest at most this deep; deeper archives are refused, as are archives that ask for
// more objects than kDefaultObjectLimit.
inline constexpr int kMaxDepth = 64;
inline constexpr std::size_t kDefaultObjectLimit = std::size_t{1} << 18;

inline constexpr char kRootKey[] = "root";

} // namespace platform::keyed_archive
