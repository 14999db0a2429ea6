#include "QuarantineCopy.h"

#include "../net/Pop3Parse.h"

void TQuarantineCopy::AddWireLine(const TPop3Line& line)
{
    AddLine(Pop3UnstuffLine(line), line.Continuation);
}

void TQuarantineCopy::AddLine(const std::string& unstuffed, bool continuation)
{
    // The line end is written when the next line starts: the piece that
    // follows a cut line belongs on the same line.
    if (lineOpen_ && !continuation)
        bytes_ += "\r\n";
    bytes_ += unstuffed;
    lineOpen_ = true;
}

void TQuarantineCopy::End()
{
    if (ended_)
        return;
    if (lineOpen_)
        bytes_ += "\r\n";
    lineOpen_ = false;
    ended_ = true;
}

TQuarantineCopyState TQuarantineCopy::Check(long long listOctets) const
{
    if (!ended_)
        return TQuarantineCopyState::Cut;
    const long long size = static_cast<long long>(bytes_.size());
    if (size == listOctets)
        return TQuarantineCopyState::Whole;
    if (size == listOctets + 2 && size >= 2 && bytes_.compare(bytes_.size() - 2, 2, "\r\n") == 0)
        return TQuarantineCopyState::Whole;
    return TQuarantineCopyState::SizeMismatch;
}
