#include "Dialogs.h"

#include <windows.h>

void MessageDlg(const std::string& text, TMsgDlgType type)
{
    const char* caption = "Information";
    UINT icon = MB_ICONINFORMATION;
    switch (type) {
    case TMsgDlgType::Error:
        caption = "Erreur";
        icon = MB_ICONERROR;
        break;
    case TMsgDlgType::Warning:
        caption = "Avertissement";
        icon = MB_ICONWARNING;
        break;
    case TMsgDlgType::Information:
        break;
    }
    MessageBoxA(nullptr, text.c_str(), caption, MB_OK | icon | MB_SETFOREGROUND | MB_TASKMODAL);
}
