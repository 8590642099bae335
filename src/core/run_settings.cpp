#include "core/run_settings.h"

RunSettings gRunSettings = {1, "", "", "", "", 0, nullptr, nullptr, 0};

void ResetRunSettings(HINSTANCE instance)
{
    gRunSettings = RunSettings{1, "", "", "", "", 0, nullptr, instance, 0};
}
