// The spread wait: after the delay, a random part of SpreadSeconds, so that workstations that
// log on together reach the share and the install log at different moments.
#pragma once

#include "platform/win32.h"

// Maps one random 32-bit value onto [0, rangeMs) with every wait equally likely: false for the
// values of the top, incomplete run of the range (draw again), and for an empty range.
bool SpreadFromRandom(DWORD random, DWORD rangeMs, DWORD* waitMs);

// Draws a wait uniformly over [0, seconds * 1000) milliseconds from the system's random source;
// `seconds` above the longest spread is taken as the longest. False, and 0, when the source
// gives nothing usable.
bool DrawSpreadMs(UINT seconds, DWORD* waitMs);

// Draws the wait and waits it on a delay window whose timer falls due once, after that time,
// serving the message queue meanwhile. Returns true when the wait ran out (or there was none:
// a draw of 0, a failed draw or no window), false when a quit request or the window's early
// destruction ended it.
bool WaitForSpread(UINT seconds);
