// A site of ten computers and four applications over the last week, as their pass reports and
// the install log tell it, dated back from today:
//   Team Notes   masters v1, v2 and v3 written six, four and two days ago at 07:00.
//                PC01-PC06 received each release at their next log-on and are current at
//                3.0.0.0 (three launches on three days each: no loop); PC07 logged on six days
//                ago and today, and is due at 1.0.0.0 with its setup started; PC08's start is
//                refused every day with error 740 (0.9.0.0); PC09's setup starts every day and
//                never updates it (0.9.0.0: a re-install loop, three starts since v3); PC10 was
//                last seen nine days ago, current at 0.9.0.0 then.
//   Phone Book   current everywhere but PC03, which cannot find Source (not due).
//   Timesheets   current everywhere but PC02, whose setup is still running (in progress).
//   Viewer       current everywhere but PC05, whose setup is not found (error 2 every day).
// The reports are the product's own rows; the log lines are in the product's long form.
#pragma once

#include <string>

namespace testing_support {

void WriteSiteScenario(const std::string& reportFolder, const std::string& logPath);

}  // namespace testing_support
