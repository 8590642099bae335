#pragma once

#include "platform/win32.h"

// Examines application entry n of the settings file and starts its setup program when due.
void CheckAndLaunchApp(UINT n);
