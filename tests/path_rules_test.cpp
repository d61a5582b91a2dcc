#include "front_end/path_rules.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

struct name_case {
    std::string path;
    bool accepted;
    std::string output; // checked only for accepted paths
};

std::ostream& operator<<(std::ostream& os, const name_case& c)
{
    return os << '"' << c.path << '"';
}

class NameRules : public testing::TestWithParam<name_case> {};

TEST_P(NameRules, AcceptsByExtensionAndDerivesOutput)
{
    const name_case& c = GetParam();
    EXPECT_EQ(is_accepted_input(c.path), c.accepted);
    if (c.accepted) {
        EXPECT_EQ(output_path_for(c.path), c.output);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, NameRules,
    testing::Values(name_case{"level.gm81", true, "level.gmk"},
                    name_case{"dir.old/level.gm81", true, "dir.old/level.gmk"},
                    name_case{"a.b.gm81", true, "a.b.gmk"},
                    name_case{"C:\\maps\\level.gm81", true, "C:\\maps\\level.gmk"},
                    // No dot: the whole path is the extension.
                    name_case{"gm81", true, "gm81.gmk"}, name_case{".gm81", true, ".gmk"},
                    name_case{"level.GM81", false, ""}, name_case{"level.Gm81", false, ""},
                    name_case{"level.gm81.bak", false, ""}, name_case{"level.gm8", false, ""},
                    name_case{"level.gm811", false, ""}, name_case{"level.gm81 ", false, ""},
                    name_case{" level.gm81", true, " level.gmk"}, name_case{"level.", false, ""},
                    name_case{"dir.gm81/level", false, ""}, name_case{"", false, ""},
                    name_case{std::string("level.gm81\0", 11), false, ""},
                    name_case{"level.gmk", false, ""}));

struct extension_case {
    std::string path;
    std::string extension;
};

class Extension : public testing::TestWithParam<extension_case> {};

TEST_P(Extension, IsWhatFollowsTheLastDot)
{
    EXPECT_EQ(extension_of(GetParam().path), GetParam().extension);
}

INSTANTIATE_TEST_SUITE_P(Table, Extension,
                         testing::Values(extension_case{"level.gm81", "gm81"},
                                         extension_case{"dir.gm81/level", "gm81/level"},
                                         extension_case{"level.", ""},
                                         extension_case{"level", "level"}, extension_case{"", ""},
                                         extension_case{"a..b", "b"}));

struct printable_case {
    std::string path;
    std::string shown;
};

class Printable : public testing::TestWithParam<printable_case> {};

TEST_P(Printable, EscapesControlBytesOnly)
{
    EXPECT_EQ(printable_path(GetParam().path), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Table, Printable,
                         testing::Values(printable_case{"plain/level.gm81", "plain/level.gm81"},
                                         printable_case{"\x1b[2Jlevel.gm81", "\\x1b[2Jlevel.gm81"},
                                         printable_case{"a\nb\tc\rd", "a\\x0ab\\x09c\\x0dd"},
                                         printable_case{"del\x7f", "del\\x7f"},
                                         printable_case{std::string("nul\0", 4), "nul\\x00"},
                                         // UTF-8 names stay readable.
                                         printable_case{
                                             "\xd0\xba\xd0\xb0\xd1\x80\xd1\x82\xd0\xb0.gm81",
                                             "\xd0\xba\xd0\xb0\xd1\x80\xd1\x82\xd0\xb0.gm81"}));

} // namespace
