// Reading CSV records by RFC 4180: fields separated by commas, a quoted field may hold commas,
// line ends and doubled quotes; records end in CR LF or LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The record that starts at `*at`, its fields in `fields`; `*at` moves past it. False at the
// end of the text.
bool NextCsvRecord(std::string_view text, size_t* at, std::vector<std::string>* fields);
