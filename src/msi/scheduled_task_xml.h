// The Task Scheduler definitions the MSI registers, as the XML that `schtasks /Create /XML`
// reads:
//   \Quorvel\Machine  the machine pass: as SYSTEM (S-1-5-18) at the highest run level, a few
//                     minutes after start-up and, unless `hours` is 0, every `hours` hours
//                     with a random delay; started late when a start was missed, and only with
//                     a network;
//   \Quorvel\User     periodic passes for every logged-on user: the built-in Users group
//                     (S-1-5-32-545), in each user's own session with the least privilege,
//                     every `hours` hours with a random delay. The pass at log-on stays the
//                     Run value's.
// Plain text, the same on every platform.
#pragma once

#include <string>

// The longest period the properties may give, in hours (a year).
constexpr unsigned kLongestTaskHours = 8760;

// Reads a period property: empty gives `absent`; otherwise decimal digits only, at most
// kLongestTaskHours. False for anything else.
bool ReadTaskHours(const std::wstring& text, unsigned absent, unsigned* hours);

// `program` is the program's full path, `arguments` its command tail; both are escaped here.
std::wstring MachineTaskXml(const std::wstring& program, const std::wstring& arguments,
                            unsigned hours);
std::wstring UserTaskXml(const std::wstring& program, unsigned hours);
