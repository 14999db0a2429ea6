#include "ihmAppList.h"

TihmAppList* ihmAppList = nullptr;

namespace {
TFormOptions AppListFormOptions()
{
    TFormOptions options;
    options.caption = "Windows lists";
    options.clientWidth = 412;
    options.clientHeight = 405;
    options.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    options.exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    options.owner = GetDesktopWindow();
    options.fontName = "Arial";
    options.fontHeight = -11;
    return options;
}
}  // namespace

TihmAppList::TihmAppList()
    : TForm(AppListFormOptions()),
      pnlConteneur(*this, {0, 0, 412, 405}),
      zdsCurrentProcess(*this, {16, 29, 377, 153}, 14),
      lblCurrentProcess(*this, {16, 13, 0, 0}, "Active windows list"),
      lblSelectedProcess(*this, {16, 197, 0, 0}, "Selected windows list"),
      utlSeparateur(*this, {16, 189, 377, 2}),
      zdsSelectedProcess(*this, {16, 213, 377, 153}, 14),
      lblNumber(*this, {240, 376, 128, 14}, "Windows number : ", SS_RIGHT),
      zdsNumber(*this, {376, 376, 0, 0}, "000")
{
    OnKeyDown = [this](WPARAM key) {
        if (key != VK_ESCAPE)
            return false;
        Hide();
        return true;
    };
}

void TihmAppList::ShowEntries(const std::vector<std::string>& entries)
{
    zdsSelectedProcess.Clear();
    for (const std::string& entry : entries)
        zdsSelectedProcess.Add(entry);
}

void TihmAppList::AppendEntry(const std::string& title) { zdsSelectedProcess.Add(title); }

void TihmAppList::RemoveFirstEntry(const std::string& title)
{
    const int index = zdsSelectedProcess.IndexOfExact(title);
    if (index >= 0)
        zdsSelectedProcess.Delete(index);
}

void TihmAppList::ShowCount(int count) { zdsNumber.SetCaption(std::to_string(count)); }
