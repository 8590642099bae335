#include "core/run_settings.h"

RunSettings gRunSettings = {1, "", "", "", "", 0, nullptr, nullptr, false};

void ResetRunSettings(HINSTANCE instance)
{
    gRunSettings = RunSettings{1, "", "", "", "", 0, nullptr, instance, false};
}
