#include "Layout.h"

#include <cctype>
#include <cstring>

namespace qx {

namespace {

// Nesting deeper than this is not a window layout but an attack on the stack.
constexpr int kMaxDepth = 64;

class Reader {
public:
    explicit Reader(std::span<const std::uint8_t> data) : data_(data) {}

    TLayoutObject Layout() {
        if (data_.size() < 4 || std::memcmp(data_.data(), "QXL1", 4) != 0)
            throw ELayoutError("not a window layout (the signature is missing)");
        pos_ = 4;
        if (Byte() != 'O') Fail("expected an object");
        TLayoutObject root = Object(0);
        if (pos_ != data_.size()) Fail("unexpected data after the layout");
        return root;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw ELayoutError(what + " at byte " + std::to_string(pos_));
    }
    void Need(std::size_t n) const {
        if (data_.size() - pos_ < n) throw ELayoutError("layout data cut short at byte " + std::to_string(pos_));
    }
    std::uint8_t Byte() {
        Need(1);
        return data_[pos_++];
    }
    std::uint16_t U16() {
        Need(2);
        std::uint16_t v = static_cast<std::uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    std::uint32_t U32() {
        Need(4);
        std::uint32_t v = data_[pos_] | (data_[pos_ + 1] << 8) | (data_[pos_ + 2] << 16) |
                          (static_cast<std::uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    std::string Str() {
        std::uint16_t n = U16();
        Need(n);
        std::string s(reinterpret_cast<const char*>(data_.data() + pos_), n);
        pos_ += n;
        return s;
    }
    std::string Identifier(const char* what) {
        std::size_t at = pos_;
        std::string s = Str();
        bool ok = !s.empty();
        for (char c : s)
            if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.')) ok = false;
        if (!ok) throw ELayoutError(std::string("invalid ") + what + " at byte " + std::to_string(at));
        return s;
    }

    TLayoutValue Value() {
        TLayoutValue v;
        std::uint8_t tag = Byte();
        switch (tag) {
            case 'i':
                v.kind = TLayoutValue::Kind::Integer;
                v.integer = static_cast<std::int32_t>(U32());
                break;
            case 's':
                v.kind = TLayoutValue::Kind::String;
                v.text = Str();
                break;
            case 'n':
                v.kind = TLayoutValue::Kind::Ident;
                v.text = Identifier("identifier");
                break;
            case 'S':
            case 'L': {
                v.kind = tag == 'S' ? TLayoutValue::Kind::Set : TLayoutValue::Kind::List;
                std::uint16_t n = U16();
                for (std::uint16_t i = 0; i < n; ++i) v.items.push_back(tag == 'S' ? Identifier("set member") : Str());
                break;
            }
            case 'b': {
                v.kind = TLayoutValue::Kind::Binary;
                std::uint32_t n = U32();
                Need(n);
                v.bytes.assign(data_.begin() + static_cast<std::ptrdiff_t>(pos_),
                               data_.begin() + static_cast<std::ptrdiff_t>(pos_ + n));
                pos_ += n;
                break;
            }
            default: --pos_; Fail("unknown value type");
        }
        return v;
    }

    TLayoutObject Object(int depth) {
        if (depth > kMaxDepth) Fail("objects nested too deeply");
        TLayoutObject o;
        o.className = Identifier("class name");
        o.name = Str();
        for (;;) {
            std::uint8_t tag = Byte();
            if (tag == 'P') {
                TLayoutProperty p;
                p.path = Identifier("property name");
                p.value = Value();
                if (!o.children.empty()) Fail("property after the first child object");
                o.properties.push_back(std::move(p));
            } else if (tag == 'O') {
                o.children.push_back(Object(depth + 1));
            } else if (tag == 'E') {
                return o;
            } else {
                --pos_;
                Fail("expected a property, an object or the end of an object");
            }
        }
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

void PutU16(std::vector<std::uint8_t>& out, std::size_t v) {
    if (v > 0xFFFF) throw ELayoutError("text or list too long for the layout format");
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutU32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void PutStr(std::vector<std::uint8_t>& out, const std::string& s) {
    PutU16(out, s.size());
    out.insert(out.end(), s.begin(), s.end());
}

void WriteObject(std::vector<std::uint8_t>& out, const TLayoutObject& o) {
    out.push_back('O');
    PutStr(out, o.className);
    PutStr(out, o.name);
    for (auto& p : o.properties) {
        out.push_back('P');
        PutStr(out, p.path);
        const TLayoutValue& v = p.value;
        switch (v.kind) {
            case TLayoutValue::Kind::Integer:
                out.push_back('i');
                PutU32(out, static_cast<std::uint32_t>(v.integer));
                break;
            case TLayoutValue::Kind::String:
                out.push_back('s');
                PutStr(out, v.text);
                break;
            case TLayoutValue::Kind::Ident:
                out.push_back('n');
                PutStr(out, v.text);
                break;
            case TLayoutValue::Kind::Set:
            case TLayoutValue::Kind::List:
                out.push_back(v.kind == TLayoutValue::Kind::Set ? 'S' : 'L');
                PutU16(out, v.items.size());
                for (auto& s : v.items) PutStr(out, s);
                break;
            case TLayoutValue::Kind::Binary:
                out.push_back('b');
                PutU32(out, static_cast<std::uint32_t>(v.bytes.size()));
                out.insert(out.end(), v.bytes.begin(), v.bytes.end());
                break;
        }
    }
    for (auto& c : o.children) WriteObject(out, c);
    out.push_back('E');
}

}  // namespace

TLayoutObject ReadLayout(std::span<const std::uint8_t> data) { return Reader(data).Layout(); }

std::vector<std::uint8_t> WriteLayout(const TLayoutObject& root) {
    std::vector<std::uint8_t> out{'Q', 'X', 'L', '1'};
    WriteObject(out, root);
    return out;
}

const char* ValueKindName(TLayoutValue::Kind kind) {
    switch (kind) {
        case TLayoutValue::Kind::Integer: return "an integer";
        case TLayoutValue::Kind::String: return "a text";
        case TLayoutValue::Kind::Ident: return "an identifier";
        case TLayoutValue::Kind::Set: return "a set";
        case TLayoutValue::Kind::List: return "a list";
        case TLayoutValue::Kind::Binary: return "binary data";
    }
    return "a value";
}

}  // namespace qx
