#include "front_end/path_rules.hpp"
#include "rewriting/convert_file.hpp"

#include <iostream>
#include <string>

namespace {

// The status line is the program's whole dialogue: flushed at once so that
// it is on screen while the program waits. A failed write changes nothing.
void report(const char* message) { std::cout << message << std::endl; }

// Keeps a console window that was opened for this run readable until the
// user answers; input at its end returns at once.
void wait_for_input() { (void)std::cin.get(); }

int finish(const char* message, int status)
{
    report(message);
    wait_for_input();
    return status;
}

void explain(const convert_result& result, const std::string& input, const std::string& output)
{
    std::cerr << "gmkconv: " << printable_path(failed_path(result, input, output)) << ": "
              << failure_reason(result) << '\n';
}

} // namespace

// cppcheck-suppress constParameter ; the signature is the standard one
int main(int argc, char* argv[])
{
    if (argc < 2)
        return finish("Error", 0);
    const std::string input = argv[1];
    if (!is_accepted_input(input))
        return finish("Wrong file type", 0);
    const std::string output = output_path_for(input);
    const convert_result result = convert_file(input, output);
    if (result.failure != convert_failure::none) {
        explain(result, input, output);
        return finish("Error", 1);
    }
    return finish("Conversion complete", 0);
}
