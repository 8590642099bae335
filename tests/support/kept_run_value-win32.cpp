#include "support/kept_run_value.h"

#include <vector>

#include "platform/win32.h"

namespace testing_support {

namespace {

// A default no value can hold: GetProfileStringA gives it back only for a missing value.
const char kMissing[] = "\x01missing";

}  // namespace

KeptRunValue::KeptRunValue()
{
    std::vector<char> value(64u * 1024u);
    const DWORD length = GetProfileStringA("windows", "run", kMissing, value.data(),
                                           static_cast<DWORD>(value.size()));
    saved_.assign(value.data(), length);
    had_ = saved_ != kMissing;
}

KeptRunValue::~KeptRunValue()
{
    WriteProfileStringA("windows", "run", had_ ? saved_.c_str() : nullptr);
}

}  // namespace testing_support
