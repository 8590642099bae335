#pragma once

// Dispatches every message already queued for this thread without waiting for more.
// Returns true when the queue is empty, false when a quit message was met (it is posted back).
bool PumpMessages();
