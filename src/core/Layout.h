// The stored window layout: a tree of objects (class name, name, properties in order,
// children) in a compact binary form that the build makes from the readable layout source.
//
//   layout   := "QXL1" object
//   object   := 'O' str(class) str(name) { 'P' str(path) value } { object } 'E'
//   value    := 'i' i32 | 's' str | 'n' str (identifier) | 'S' u16 count { str } (set)
//             | 'L' u16 count { str } (list) | 'b' u32 length bytes (binary)
//   str      := u16 length, UTF-8 bytes; integers little-endian
#pragma once
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace qx {

class ELayoutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TLayoutValue {
    enum class Kind : std::uint8_t { Integer, String, Ident, Set, List, Binary };
    Kind kind = Kind::Integer;
    std::int32_t integer = 0;
    std::string text;                 // String (UTF-8) and Ident
    std::vector<std::string> items;   // Set and List
    std::vector<std::uint8_t> bytes;  // Binary
};

struct TLayoutProperty {
    std::string path;  // "Font.Height"
    TLayoutValue value;
};

struct TLayoutObject {
    std::string className;
    std::string name;
    std::vector<TLayoutProperty> properties;
    std::vector<TLayoutObject> children;
};

// Reads a whole layout; throws ELayoutError naming what is wrong and where.
TLayoutObject ReadLayout(std::span<const std::uint8_t> data);
std::vector<std::uint8_t> WriteLayout(const TLayoutObject& root);
const char* ValueKindName(TLayoutValue::Kind kind);

}  // namespace qx
