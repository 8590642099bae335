// Marks for table rows that differ on the real platform. The platform tables run against the
// POSIX stand-in and again, in the Windows build under Wine, against the real API. A row whose
// result differs there carries a mark: what the real platform gives and why. There a marked
// row passes only with the marked result: a new result fails, and so does the stand-in's
// result, which asks for the mark to go. On the stand-in the mark is never looked at.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <vector>

namespace testing_support {

// True in the Windows build of the tables, false in the POSIX build.
extern const bool kOnTheRealPlatform;

template <typename T>
struct KnownDifference {
    T real;           // what the real platform gives
    const char* why;  // why the stand-in gives something else
};

template <typename T>
using Mark = std::optional<KnownDifference<T>>;

// The marks of a table whose rows are named by their `what`.
template <typename T>
struct MarkedRow {
    const char* what;
    T real;
    const char* why;
};

template <typename T>
Mark<T> MarkOf(const char* what, const std::vector<MarkedRow<T>>& rows)
{
    for (const MarkedRow<T>& row : rows) {
        if (std::strcmp(row.what, what) == 0) {
            return KnownDifference<T>{row.real, row.why};
        }
    }
    return std::nullopt;
}

template <typename T>
struct Deduced {
    using Type = T;
};

// Checks a row's result: the stand-in's everywhere but in a marked row on the real platform.
template <typename Actual, typename T>
::testing::AssertionResult GivesAsThePlatform(const Actual& actual, const T& standIn,
                                              const Mark<typename Deduced<T>::Type>& mark = {})
{
    using ::testing::PrintToString;
    if (!kOnTheRealPlatform || !mark) {
        if (actual == standIn) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "gives " << PrintToString(actual) << " where the stand-in gives "
               << PrintToString(standIn)
               << (kOnTheRealPlatform ? ": a new difference of the real platform" : "");
    }
    if (actual == mark->real) {
        return ::testing::AssertionSuccess();
    }
    if (actual == standIn) {
        return ::testing::AssertionFailure()
               << "gives " << PrintToString(actual) << ", as the stand-in does, where it was "
               << "marked to give " << PrintToString(mark->real) << " (" << mark->why
               << "): fixed, remove the mark";
    }
    return ::testing::AssertionFailure()
           << "gives " << PrintToString(actual) << ", neither the marked "
           << PrintToString(mark->real) << " (" << mark->why << ") nor the stand-in's "
           << PrintToString(standIn) << ": a new difference";
}

}  // namespace testing_support
