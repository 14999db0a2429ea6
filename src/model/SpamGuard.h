// The guard against a list entry that marks everything: one space, a common
// word or a typo can mark a whole mailbox, and a deletion cannot be undone
// on a POP3 server. A cycle nobody watches (the timer's) keeps such a
// mailbox whole; the user's own "Erase all SPAM messages" asks first.
#pragma once

// More marked messages than this in one mailbox is suspect...
constexpr int SpamGuardMostMarked = 25;
// ...and so is more than half of a mailbox that holds more than this many.
constexpr int SpamGuardSmallMailbox = 10;

enum class TSpamCycleStart { Timer, User };
enum class TSpamGuardVerdict { Delete, KeepAll, AskFirst };

// True when `marked` of the `held` messages of one mailbox are more than a
// list should mark: more than 25, or more than half of more than 10.
bool SpamGuardTrips(int marked, int held);
// Delete when the guard does not trip; else a timer's cycle deletes none of
// the mailbox's messages and the user's asks before deleting.
TSpamGuardVerdict DecideSpamGuard(int marked, int held, TSpamCycleStart start);
