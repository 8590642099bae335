// site_simulator REPORT_FOLDER LOG: writes the simulated ten-computer site there.
#include <cstdio>

#include "support/site_scenario.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: site_simulator REPORT_FOLDER LOG\n");
        return 1;
    }
    testing_support::WriteSiteScenario(argv[1], argv[2]);
    return 0;
}
