#ifndef GMKCONV_PATH_RULES_HPP
#define GMKCONV_PATH_RULES_HPP

#include <string>
#include <string_view>

// Paths are opaque byte strings here: no separators, no case folding, no
// normalisation. Only the last '.' of the whole path matters.

inline constexpr std::string_view source_extension = "gm81";
inline constexpr std::string_view target_extension = ".gmk";

// The bytes after the last '.', or the whole path when it has no '.'.
std::string extension_of(std::string_view path);

bool is_accepted_input(std::string_view path);

// The bytes before the last '.' (the whole path without one), then ".gmk".
std::string output_path_for(std::string_view path);

// The path with control bytes written as \xHH, so that a file name shown in
// a message cannot drive the terminal.
std::string printable_path(std::string_view path);

#endif
