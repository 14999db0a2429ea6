#include "PopupActionLog.h"

void TPopupActionLog::Add(TPopupActionEntry entry)
{
    entries_.push_back(std::move(entry));
    while (entries_.size() > Capacity)
        entries_.pop_front();
}
