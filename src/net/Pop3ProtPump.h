// One pass over the thread's pending messages for the POP3 client, which
// keeps the program responsive while a conversation runs.
#pragma once

// Dispatches every pending message of the thread. WM_QUIT is not dispatched:
// the pass stops there and returns true, with its exit code in `exitCode`.
// With `repost` the quit message is posted again at once for the loop that
// owns it; without it the caller must do so once it has finished its own
// work (which may run a message loop that would take the quit message).
bool Pop3PumpMessages(bool repost, int& exitCode);
