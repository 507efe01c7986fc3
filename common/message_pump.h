// Keeps a busy thread's windows and COM calls alive.
#pragma once

// Dispatches every message queued for the calling thread, then waits up to a
// few milliseconds for more and dispatches those too.  Returns false when a
// WM_QUIT was taken from the queue (it is posted again for the outer loop).
bool PumpMessages();
