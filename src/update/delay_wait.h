#pragma once

#include "platform/win32.h"

// Registers the hidden delay window's class; 0 when registration failed.
ATOM RegisterDelayClass();
// Holds the run back for the given number of minutes while serving the message queue.
// Returns true when the countdown ran out (or no window could be made, so there was no wait),
// false when a quit request or the window's early destruction ended the wait.
bool WaitForDelay(DWORD minutes);
// The same wait over `periods` timer periods of `periodMs` each: the delay window counts the
// timer messages down as it counts minutes. Returns as WaitForDelay does.
bool WaitOnDelayWindow(DWORD periods, UINT periodMs);
void UnregisterDelayClass();

extern "C" QUORVEL_EXPORT LRESULT CALLBACK DelayWndProc(HWND window, UINT message, WPARAM wParam,
                                                        LPARAM lParam);
