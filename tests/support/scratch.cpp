#include "support/scratch.hpp"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

void ScratchTest::SetUp()
{
    std::string pattern = (fs::temp_directory_path() / "gmkconv-test-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir = pattern;
}

void ScratchTest::TearDown()
{
    std::error_code ignored;
    fs::remove_all(dir, ignored);
}

void write_bytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string read_bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string some_bytes(std::size_t size, unsigned seed)
{
    std::string bytes(size, '\0');
    unsigned state = seed;
    for (char& byte : bytes) {
        state = state * 1103515245U + 12345U;
        byte = static_cast<char>(state >> 16U);
    }
    return bytes;
}

std::string patched(std::string bytes)
{
    if (bytes.size() > 4)
        bytes[4] = 0x20;
    return bytes;
}

std::map<std::string, std::string> snapshot(const fs::path& root)
{
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).generic_string();
        if (entry.is_symlink())
            entries[name] = "symlink:" + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory())
            entries[name] = "dir";
        else if (entry.is_regular_file())
            entries[name] = "file:" + read_bytes(entry.path());
        else
            entries[name] = "other";
    }
    return entries;
}
