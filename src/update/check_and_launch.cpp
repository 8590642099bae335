// PLACEHOLDER
#include "update/check_and_launch.h"
void CheckAndLaunchApp(UINT) {}
