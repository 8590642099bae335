#pragma once

// Dispatches every message already queued for this thread without waiting for more.
// Returns 1 when the queue is empty, 0 when a quit message was met (it is posted back).
int PumpMessages();
