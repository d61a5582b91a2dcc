#include "rewriting/convert_file.hpp"

#include "rewriting/system_file.hpp"

#include <cstddef>
#include <vector>

namespace {

// Large enough that system calls cost little, small enough that memory stays
// bounded whatever the input's size.
constexpr std::size_t block_size = std::size_t{1} << 20U;

constexpr convert_result success{convert_failure::none, 0};

constexpr convert_result failed(convert_failure failure, int system_error = 0)
{
    return {failure, system_error};
}

bool is_failure(const convert_result& result) { return result.failure != convert_failure::none; }

// Blocks may be of any size, so the patched byte is located by its offset in
// the file rather than assumed to lie in the first block.
void patch_block(char* block, std::size_t size, std::uint64_t offset)
{
    if (offset <= patched_byte_offset && patched_byte_offset - offset < size)
        block[patched_byte_offset - offset] = static_cast<char>(patched_byte_value);
}

convert_result copy_patched(native_file in, native_file out)
{
    std::vector<char> block(block_size);
    std::uint64_t offset = 0;
    for (;;) {
        std::size_t got = 0;
        if (const int error = read_some(in, block.data(), block.size(), got))
            return failed(convert_failure::input_unreadable, error);
        if (got == 0)
            return success;
        patch_block(block.data(), got, offset);
        if (const int error = write_all(out, block.data(), got))
            return failed(convert_failure::output_unwritable, error);
        offset += got;
    }
}

// Checks the opened output before anything in it is destroyed: a device or a
// link back to the input must keep its contents.
convert_result claim_output(native_file out, const file_identity& input, file_identity& output)
{
    if (const int error = identify(out, output))
        return failed(convert_failure::output_unwritable, error);
    if (!output.regular)
        return failed(convert_failure::output_not_regular);
    if (same_file(input, output))
        return failed(convert_failure::same_file);
    if (const int error = truncate_file(out))
        return failed(convert_failure::output_unwritable, error);
    return success;
}

convert_result write_output(native_file in, const file_identity& input,
                            const std::string& output_path)
{
    native_file out{};
    if (const int error = open_output(output_path, out))
        return failed(convert_failure::output_unwritable, error);
    file_identity output{};
    convert_result result = claim_output(out, input, output);
    if (is_failure(result)) {
        (void)close_file(out); // nothing was written; the refusal is the news
        return result;
    }
    result = copy_patched(in, out);
    if (is_failure(result)) {
        // Emptied first, for names that the removal below cannot reach,
        // such as a symlink or a second hard link to this output.
        (void)truncate_file(out);
        (void)close_file(out);
        remove_if_still(output_path, output);
        return result;
    }
    if (const int error = close_file(out)) {
        remove_if_still(output_path, output);
        return failed(convert_failure::output_unwritable, error);
    }
    return success;
}

convert_result convert_open_input(native_file in, const std::string& output_path)
{
    file_identity input{};
    if (const int error = identify(in, input))
        return failed(convert_failure::input_unreadable, error);
    if (!input.regular)
        return failed(convert_failure::input_not_regular);
    return write_output(in, input, output_path);
}

} // namespace

convert_result convert_file(const std::string& input_path, const std::string& output_path)
{
    native_file in{};
    if (const int error = open_input(input_path, in))
        return failed(convert_failure::input_unreadable, error);
    const convert_result result = convert_open_input(in, output_path);
    // Everything read has been used by now; a read-only descriptor has
    // nothing left to lose when it closes.
    (void)close_file(in);
    return result;
}

const std::string& failed_path(const convert_result& result, const std::string& input_path,
                               const std::string& output_path)
{
    switch (result.failure) {
    case convert_failure::input_unreadable:
    case convert_failure::input_not_regular:
        return input_path;
    default:
        return output_path;
    }
}

std::string failure_reason(const convert_result& result)
{
    switch (result.failure) {
    case convert_failure::input_not_regular:
    case convert_failure::output_not_regular:
        return "Not a regular file";
    case convert_failure::same_file:
        return "Is the input file itself";
    default:
        return system_error_text(result.system_error);
    }
}
