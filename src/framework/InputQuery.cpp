#include "InputQuery.h"

#include <windows.h>

#include <vector>

#include "Window.h"

namespace {
const WORD kPromptId = 100;
const WORD kEditId = 101;

struct TQueryState {
    const std::string* caption;
    const std::string* prompt;
    std::string* text;
};

// Builds DLGTEMPLATE + DLGITEMTEMPLATE records in a word buffer; the texts
// are set by name later, in the ANSI code page, so the template carries none.
class TTemplateWriter {
public:
    void Word(WORD value) { words_.push_back(value); }
    void DWord(DWORD value)
    {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const wchar_t* text)
    {
        do
            Word(static_cast<WORD>(*text));
        while (*text++);
    }
    void AlignDWord()
    {
        if (words_.size() % 2)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom)
    {
        AlignDWord();
        DWord(style | WS_CHILD | WS_VISIBLE);
        DWord(0);  // extended style
        Word(static_cast<WORD>(x));
        Word(static_cast<WORD>(y));
        Word(static_cast<WORD>(cx));
        Word(static_cast<WORD>(cy));
        Word(id);
        Word(0xFFFF);  // a predefined class given by its atom
        Word(atom);
        Word(0);  // no text
        Word(0);  // no creation data
    }
    const DLGTEMPLATE* Data() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    std::vector<WORD> words_;
};

INT_PTR CALLBACK QueryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        auto* state = reinterpret_cast<TQueryState*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextString(dialog, *state->caption);
        SetWindowTextString(GetDlgItem(dialog, kPromptId), *state->prompt);
        SetWindowTextString(GetDlgItem(dialog, kEditId), *state->text);
        SetDlgItemTextW(dialog, IDOK, L"OK");
        SetDlgItemTextW(dialog, IDCANCEL, L"Cancel");
        HWND edit = GetDlgItem(dialog, kEditId);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
        return FALSE;  // the focus is set here
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            auto* state = reinterpret_cast<TQueryState*>(GetWindowLongPtrW(dialog, DWLP_USER));
            HWND edit = GetDlgItem(dialog, kEditId);
            *state->text = GetWindowTextString(edit);
            EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}
}  // namespace

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& text)
{
    TTemplateWriter writer;
    writer.DWord(DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU);
    writer.DWord(0);  // extended style
    writer.Word(4);   // items
    writer.Word(0);
    writer.Word(0);
    writer.Word(180);
    writer.Word(63);
    writer.Word(0);  // no menu
    writer.Word(0);  // the dialog class
    writer.Word(0);  // no caption in the template
    writer.Word(8);
    writer.Text(L"MS Sans Serif");
    writer.Item(SS_LEFT | SS_NOPREFIX, 8, 8, 164, 10, kPromptId, 0x0082);
    writer.Item(ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 8, 20, 164, 12, kEditId, 0x0081);
    writer.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 38, 41, 50, 14, IDOK, 0x0080);
    writer.Item(BS_PUSHBUTTON | WS_TABSTOP, 92, 41, 50, 14, IDCANCEL, 0x0080);

    TQueryState state = {&caption, &prompt, &text};
    HWND owner = GetActiveWindow();
    const INT_PTR answer = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), writer.Data(), owner, QueryProc,
                                                   reinterpret_cast<LPARAM>(&state));
    return answer == IDOK;
}
