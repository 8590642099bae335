// The run value of the user's WIN.INI, kept for one test and put back after it. On the real
// platform that value lives in the user's registry, which the tables share with the system
// tests (and, on a workstation, with the user), so a table that writes it leaves it as found.
#pragma once

#include <string>

namespace testing_support {

class KeptRunValue {
public:
    KeptRunValue();
    ~KeptRunValue();
    KeptRunValue(const KeptRunValue&) = delete;
    KeptRunValue& operator=(const KeptRunValue&) = delete;

private:
    bool had_ = false;
    std::string saved_;
};

}  // namespace testing_support
