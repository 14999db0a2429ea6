#include "Dialogs.h"

#include <windows.h>

#include "WideText.h"

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
    MessageBoxW(nullptr, Widen(text).c_str(), Widen(caption).c_str(), MB_OK | icon | MB_SETFOREGROUND | MB_TASKMODAL);
}

bool MessageDlgYesNo(const std::string& text)
{
    return MessageBoxW(nullptr, Widen(text).c_str(), L"Confirmation",
                       MB_YESNO | MB_DEFBUTTON2 | MB_ICONWARNING | MB_SETFOREGROUND | MB_TASKMODAL) == IDYES;
}
