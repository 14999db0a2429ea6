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

TIcon TIcon::Load(const char* resourceName, int size)
{
    return TIcon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), Widen(resourceName).c_str(), IMAGE_ICON, size, size, 0)));
}

// 0 stands for the system's DPI, the one the tray and the menus are drawn at.
TIcon TIcon::LoadSmall(const char* resourceName, UINT dpi)
{
    return Load(resourceName, SystemMetricForDpi(SM_CXSMICON, dpi ? dpi : SystemDpi()));
}

TIcon TIcon::LoadLarge(const char* resourceName, UINT dpi)
{
    return Load(resourceName, SystemMetricForDpi(SM_CXICON, dpi ? dpi : SystemDpi()));
}

void TIcon::Release()
{
    if (handle_)
        DestroyIcon(handle_);
    handle_ = nullptr;
}
