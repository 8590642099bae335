#pragma once

#include "platform/win32.h"
#include "update/entry_outcome.h"

// Examines application entry n of the settings file and starts its setup program when due.
// When `outcome` is given, it receives what was decided and done.
void CheckAndLaunchApp(UINT n, EntryOutcome* outcome = nullptr);
