// The platform tables' test program. With --table=FILE it runs only the tests written in that
// source file (its name, without folders), so each table is a test of its own; without it, it
// runs them all. The other switches are GoogleTest's.
#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

namespace {

std::string NameWithoutFolders(const std::string& path)
{
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The filter naming every test written in `table`, or "" when there is none.
std::string FilterOfTable(const std::string& table)
{
    std::string filter;
    const ::testing::UnitTest& unit = *::testing::UnitTest::GetInstance();
    for (int s = 0; s < unit.total_test_suite_count(); ++s) {
        const ::testing::TestSuite& suite = *unit.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const ::testing::TestInfo& test = *suite.GetTestInfo(t);
            if (NameWithoutFolders(test.file()) == table) {
                filter += std::string(filter.empty() ? "" : ":") + suite.name() + "." + test.name();
            }
        }
    }
    return filter;
}

}  // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const char kTable[] = "--table=";
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], kTable, sizeof kTable - 1) != 0) {
            continue;
        }
        const std::string table = argv[i] + sizeof kTable - 1;
        const std::string filter = FilterOfTable(table);
        if (filter.empty()) {
            std::cerr << "no test is written in " << table << "\n";
            return 1;
        }
        GTEST_FLAG_SET(filter, filter);
    }
    return RUN_ALL_TESTS();
}
