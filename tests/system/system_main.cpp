// The system tests' entry: the target comes from the command line, so that CTest can register
// the same tests once for each build:
//   --quorvel-target=posix|wine --quorvel-program=PATH --quorvel-marker=PATH
//   --quorvel-check=PATH (the companion program built beside the program)
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    const struct {
        const char* option;
        const char* variable;
    } options[] = {{"--quorvel-target=", "QUORVEL_TARGET"},
                   {"--quorvel-program=", "QUORVEL_PROGRAM"},
                   {"--quorvel-marker=", "QUORVEL_MARKER"},
                   {"--quorvel-check=", "QUORVEL_CHECK"}};
    for (int i = 1; i < argc; ++i) {
        for (const auto& known : options) {
            size_t length = std::strlen(known.option);
            if (std::strncmp(argv[i], known.option, length) == 0) {
                setenv(known.variable, argv[i] + length, 1);
            }
        }
    }
    return RUN_ALL_TESTS();
}
