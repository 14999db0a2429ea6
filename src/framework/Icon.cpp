#include "Icon.h"
#include "WideText.h"

#include <utility>

TIcon::~TIcon() { Release(); }

TIcon::TIcon(TIcon&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}

TIcon& TIcon::operator=(TIcon&& other) noexcept
{
    if (this != &other) {
        Release();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

void TIcon::Assign(HICON source)
{
    if (source == handle_)
        return;
    HICON copy = source ? CopyIcon(source) : nullptr;
    Release();
    handle_ = copy;
}

TIcon TIcon::LoadSmall(const char* resourceName)
{
    return TIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Widen(resourceName).c_str(), IMAGE_ICON, 16, 16, 0)));
}

void TIcon::Release()
{
    if (handle_)
        DestroyIcon(handle_);
    handle_ = nullptr;
}
