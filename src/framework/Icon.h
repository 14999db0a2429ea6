// An icon handle owned by RAII: the tray icon and the forms keep their own
// copy of every icon they are given, so the giver may release its handle.
#pragma once

#include <windows.h>

class TIcon {
public:
    TIcon() = default;
    // Takes ownership of `handle`.
    explicit TIcon(HICON handle) : handle_(handle) {}
    ~TIcon();
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    TIcon(TIcon&& other) noexcept;
    TIcon& operator=(TIcon&& other) noexcept;

    HICON Handle() const { return handle_; }
    bool Empty() const { return handle_ == nullptr; }
    // Replaces the held icon by a copy of `source`; a null source empties it.
    void Assign(HICON source);
    void Assign(const TIcon& source) { Assign(source.Handle()); }

    // A 16 x 16 icon resource of the program's own module; empty when missing.
    static TIcon LoadSmall(const char* resourceName);

private:
    void Release();

    HICON handle_ = nullptr;
};
