#include "front_end/path_rules.hpp"

#include <cstddef>

namespace {

// A missing dot counts as the position just before the first byte, which
// std::string_view::npos + 1 == 0 expresses without a special case.
std::size_t last_dot(std::string_view path) { return path.rfind('.'); }

bool is_control(unsigned char byte) { return byte < 0x20 || byte == 0x7f; }

} // namespace

std::string extension_of(std::string_view path)
{
    return std::string(path.substr(last_dot(path) + 1));
}

bool is_accepted_input(std::string_view path) { return extension_of(path) == source_extension; }

std::string output_path_for(std::string_view path)
{
    std::string output(path.substr(0, last_dot(path)));
    output += target_extension;
    return output;
}

std::string printable_path(std::string_view path)
{
    constexpr std::string_view hex_digits = "0123456789abcdef";
    std::string shown;
    shown.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (is_control(byte)) {
            shown += "\\x";
            shown += hex_digits[byte >> 4U];
            shown += hex_digits[byte & 0xfU];
        } else {
            shown += c;
        }
    }
    return shown;
}
