#include "SpamGuard.h"

bool SpamGuardTrips(int marked, int held)
{
    if (marked > SpamGuardMostMarked)
        return true;
    // In 64 bits: twice a count near INT_MAX still compares right.
    return held > SpamGuardSmallMailbox && 2LL * marked > static_cast<long long>(held);
}

TSpamGuardVerdict DecideSpamGuard(int marked, int held, TSpamCycleStart start)
{
    if (!SpamGuardTrips(marked, held))
        return TSpamGuardVerdict::Delete;
    return start == TSpamCycleStart::Timer ? TSpamGuardVerdict::KeepAll : TSpamGuardVerdict::AskFirst;
}
