#include "msi/scheduled_task_xml.h"

namespace {

constexpr unsigned kStartUpDelayMinutes = 3;
// The random delay of a periodic start: a quarter of the period, at most an hour.
constexpr unsigned kMostRandomMinutes = 60;

// The task XML is written as its own lines, one source line per line of XML.
// clang-format off
std::wstring Escaped(const std::wstring& text)
{
    std::wstring out;
    for (wchar_t c : text) {
        switch (c) {
        case L'&': out += L"&amp;"; break;
        case L'<': out += L"&lt;"; break;
        case L'>': out += L"&gt;"; break;
        case L'"': out += L"&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::wstring Number(unsigned value)
{
    return std::to_wstring(value);
}

// A start every `hours` hours from a moment long past, each up to a quarter of the period
// later at random, so that the machines of a site do not all reach the share at once.
std::wstring PeriodicTrigger(unsigned hours)
{
    unsigned randomMinutes = hours * 15 < kMostRandomMinutes ? hours * 15 : kMostRandomMinutes;
    return L"    <TimeTrigger>\r\n"
           L"      <Repetition><Interval>PT" + Number(hours) + L"H</Interval>"
           L"<StopAtDurationEnd>false</StopAtDurationEnd></Repetition>\r\n"
           L"      <StartBoundary>2000-01-01T00:00:00</StartBoundary>\r\n"
           L"      <Enabled>true</Enabled>\r\n"
           L"      <RandomDelay>PT" + Number(randomMinutes) + L"M</RandomDelay>\r\n"
           L"    </TimeTrigger>\r\n";
}

std::wstring TaskXml(const std::wstring& description, const std::wstring& triggers,
                     const std::wstring& principal, const std::wstring& settings,
                     const std::wstring& program, const std::wstring& arguments)
{
    std::wstring xml =
        L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
        L"<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
        L"  <RegistrationInfo><Description>" + description +
        L"</Description></RegistrationInfo>\r\n"
        L"  <Triggers>\r\n" + triggers + L"  </Triggers>\r\n"
        L"  <Principals>\r\n    <Principal id=\"Author\">" + principal +
        L"</Principal>\r\n  </Principals>\r\n"
        L"  <Settings>\r\n"
        L"    <MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>\r\n"
        L"    <DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>\r\n"
        L"    <StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>\r\n"
        L"    <StartWhenAvailable>true</StartWhenAvailable>\r\n" + settings +
        L"    <ExecutionTimeLimit>PT2H</ExecutionTimeLimit>\r\n"
        L"    <Enabled>true</Enabled>\r\n"
        L"  </Settings>\r\n"
        L"  <Actions Context=\"Author\">\r\n    <Exec>\r\n"
        L"      <Command>&quot;" + Escaped(program) + L"&quot;</Command>\r\n";
    if (!arguments.empty()) {
        xml += L"      <Arguments>" + Escaped(arguments) + L"</Arguments>\r\n";
    }
    return xml + L"    </Exec>\r\n  </Actions>\r\n</Task>\r\n";
}
// clang-format on

}  // namespace

bool ReadTaskHours(const std::wstring& text, unsigned absent, unsigned* hours)
{
    if (text.empty()) {
        *hours = absent;
        return true;
    }
    unsigned value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > kLongestTaskHours) {
            return false;
        }
    }
    *hours = value;
    return true;
}

std::wstring MachineTaskXml(const std::wstring& program, const std::wstring& arguments,
                            unsigned hours)
{
    // clang-format off
    std::wstring triggers = L"    <BootTrigger>\r\n      <Enabled>true</Enabled>\r\n"
                            L"      <Delay>PT" + Number(kStartUpDelayMinutes) +
                            L"M</Delay>\r\n    </BootTrigger>\r\n";
    // clang-format on
    if (hours != 0) {
        triggers += PeriodicTrigger(hours);
    }
    return TaskXml(L"Quorvel machine pass: per-machine applications brought up to date as SYSTEM",
                   triggers, L"<UserId>S-1-5-18</UserId><RunLevel>HighestAvailable</RunLevel>",
                   L"    <RunOnlyIfNetworkAvailable>true</RunOnlyIfNetworkAvailable>\r\n", program,
                   arguments);
}

std::wstring UserTaskXml(const std::wstring& program, unsigned hours)
{
    return TaskXml(L"Quorvel pass for every logged-on user, every few hours",
                   PeriodicTrigger(hours),
                   L"<GroupId>S-1-5-32-545</GroupId><RunLevel>LeastPrivilege</RunLevel>",
                   L"    <RunOnlyIfNetworkAvailable>true</RunOnlyIfNetworkAvailable>\r\n", program,
                   L"");
}
