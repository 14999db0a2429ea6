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

    // An icon resource of the program's own module at `size` pixels, drawn
    // from the resource's image of the nearest size; empty when missing.
    static TIcon Load(const char* resourceName, int size);
    // At the size the shell asks for at `dpi`: 16, 20, 24 or 32 for a small
    // icon, 32 and up for a large one.
    static TIcon LoadSmall(const char* resourceName, UINT dpi = 0);
    static TIcon LoadLarge(const char* resourceName, UINT dpi = 0);

private:
    void Release();

    HICON handle_ = nullptr;
};
