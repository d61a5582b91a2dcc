#ifndef GMKCONV_TESTS_SCRATCH_HPP
#define GMKCONV_TESTS_SCRATCH_HPP

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

// A fresh directory for each test, removed afterwards.
class ScratchTest : public testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    fs::path dir;
};

void write_bytes(const fs::path& path, const std::string& bytes);
std::string read_bytes(const fs::path& path);

// Names each case of a parameterised test by its `name` field.
struct case_name {
    template <class Case> std::string operator()(const testing::TestParamInfo<Case>& info) const
    {
        return info.param.name;
    }
};

// Deterministic bytes that are not all alike, so a misplaced block shows.
std::string some_bytes(std::size_t size, unsigned seed = 1);

// What the converter must write for an input of these bytes.
std::string patched(std::string bytes);

// Every entry below root, by relative path: "file:" and the bytes, "dir",
// "symlink:" and the target, or "other" (FIFOs, devices). Comparing two
// snapshots shows any file that a run created, changed or removed.
std::map<std::string, std::string> snapshot(const fs::path& root);

#endif
