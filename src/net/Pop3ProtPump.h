// One pass over the thread's pending messages for the POP3 client, which
// keeps the program responsive while a conversation runs.
#pragma once

// Dispatches every pending message of the thread. WM_QUIT is not dispatched:
// the pass stops there, posts it again for the loop that owns it, and
// returns true.
bool Pop3PumpMessages();
