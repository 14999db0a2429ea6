// One program's entry in Windows' per-user start at sign-in: its value under
// HKCU\Software\Microsoft\Windows\CurrentVersion\Run (the command) and the
// value of the same name under ...\Explorer\StartupApproved\Run, where Task
// Manager and Settings keep whether the entry is turned off (raw bytes).
#pragma once

#include <string>

class TStartupEntry {
public:
    explicit TStartupEntry(std::string name) : name_(std::move(name)) {}

    // False when there is no such value (or it is not text).
    bool ReadCommand(std::string& command) const;
    bool WriteCommand(const std::string& command) const;
    // The Run value and Task Manager's value both gone; true when neither is left.
    bool Remove() const;
    // Empty when Task Manager has no value for the entry.
    std::string ReadApproval() const;
    bool WriteApproval(const std::string& bytes) const;

private:
    std::string name_;
};
