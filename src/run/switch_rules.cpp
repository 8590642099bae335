#include "run/switch_rules.h"

#include <cstring>

#include "core/run_settings.h"
#include "text/ascii_case.h"

namespace {

bool FitsPathField(const char* value)
{
    return std::strlen(value) < static_cast<size_t>(kPathFieldSize);
}

}  // namespace

bool HasValue(const CmdParameter& item)
{
    return item.value != nullptr && item.value[0] != '\0';
}

SwitchFault CheckSwitch(const CmdParameter& item, SwitchKind* kind)
{
    if (item.name == nullptr || !item.isSwitch) {
        return SwitchFault::BareValue;
    }
    if (EqualIgnoringAsciiCase(item.name, "log")) {
        *kind = SwitchKind::Log;
        return HasValue(item) && !FitsPathField(item.value) ? SwitchFault::LogPathTooLong
                                                            : SwitchFault::None;
    }
    if (EqualIgnoringAsciiCase(item.name, "ini")) {
        *kind = SwitchKind::Ini;
        if (!HasValue(item)) {
            return SwitchFault::IniWithoutValue;
        }
        return FitsPathField(item.value) ? SwitchFault::None : SwitchFault::IniPathTooLong;
    }
    if (EqualIgnoringAsciiCase(item.name, "install")) {
        *kind = SwitchKind::Install;
        return SwitchFault::None;
    }
    return SwitchFault::UnknownSwitch;
}
