#ifndef GMKCONV_CONVERT_FILE_HPP
#define GMKCONV_CONVERT_FILE_HPP

#include <cstdint>
#include <string>

inline constexpr std::uint64_t patched_byte_offset = 4;
inline constexpr unsigned char patched_byte_value = 0x20;

enum class convert_failure {
    none,
    input_unreadable,  // open, inspect or read failed
    input_not_regular, // a directory, FIFO, device, ...
    output_unwritable, // open, inspect, truncate, write or close failed
    output_not_regular,
    same_file, // the output path names the input file
};

struct convert_result {
    convert_failure failure;
    int system_error; // the system's error number, or 0 for a refusal
};

// Writes output_path as a copy of input_path with the byte at
// patched_byte_offset set to patched_byte_value. Nothing is created or
// truncated unless the input is a regular file and the output is a different
// one, and a failed write leaves no partial file under output_path.
convert_result convert_file(const std::string& input_path, const std::string& output_path);

// The path that a failure concerns, and why, for a one-line message.
const std::string& failed_path(const convert_result& result, const std::string& input_path,
                               const std::string& output_path);
std::string failure_reason(const convert_result& result);

#endif
