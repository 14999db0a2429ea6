#include "Icon.h"
#include "WideText.h"

#include "Dpi.h"

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
    // The size the shell asks for at the screen's DPI (16, 20, 24 or 32),
    // drawn from the resource's image of that size in 32-bit colour.
    const int size = SystemMetricForDpi(SM_CXSMICON, SystemDpi());
    return TIcon(static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), Widen(resourceName).c_str(), IMAGE_ICON, size, size, 0)));
}

void TIcon::Release()
{
    if (handle_)
        DestroyIcon(handle_);
    handle_ = nullptr;
}
