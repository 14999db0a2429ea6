#include "ModalForm.h"

#include "Application.h"

void ShowModal(TForm& form, HWND owner, TControl& focus, const bool& done)
{
    const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    form.Show();
    form.BringToFront();
    form.FocusControl(focus);
    while (!done && form.Visible() && !TApplication::Terminating()) {
        MSG msg;
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TApplication::WaitForMessage(INFINITE);
            continue;
        }
        if (msg.message == WM_QUIT) {
            // Not this loop's to take: the program's own loop decides.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        TApplication::Dispatch(msg);
    }
    // The owner first: a window hidden while its owner is disabled would
    // hand the activation to some other program's window.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    form.Hide();
    if (owner && IsWindowVisible(owner))
        SetActiveWindow(owner);
}
