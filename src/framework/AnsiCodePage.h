// The machine's ANSI code page (GetACP) as the list files see it.
#pragma once

#include "text/ListFileText.h"

class TSystemAnsiCodePage : public IAnsiCodePage {
public:
    // `codePage` 0 is the machine's own.
    explicit TSystemAnsiCodePage(unsigned codePage = 0);
    std::string ToUtf8(const std::string& ansi) const override;
    bool FromUtf8Exactly(const std::string& utf8, std::string& ansi) const override;

private:
    unsigned codePage_;
};

// The machine's code page, made once.
const IAnsiCodePage& SystemAnsiCodePage();
