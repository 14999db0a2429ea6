// The rule editor: one popup rule's title pattern, program, class, action and
// state, edited as a dialog over the window that opened it. OK keeps a rule
// only when it says which windows it is about and, when it would act on
// windows open now, once the user has seen them and agreed.
#pragma once

#include "../framework/Form.h"
#include "../framework/StdControls.h"
#include "PopupRulesHost.h"

class TihmRuleEditor : public TForm {
public:
    TihmRuleEditor(HWND owner, const TPopupRuleTexts& texts);
    void Connect(const TPopupRulesHost* host) { host_ = host; }

    TLabel lblTitle;
    TEdit edTitle;
    TLabel lblProgram;
    TEdit edProgram;
    TLabel lblClass;
    TEdit edClass;
    TRadioGroup grpAction;
    TLabel lblButton;
    TEdit edButton;
    TCheckBox chkEnabled;
    TButton btnOK;
    TButton btnCancel;

    // Edits `rule` over `owner`, which takes no input meanwhile; true when
    // the user saved it, `rule` then holding what was saved (its Id, hits and
    // last hit kept). False at once while the editor is already open.
    bool Execute(TPopupRule& rule, HWND owner);
    // The fields show `rule`.
    void Load(const TPopupRule& rule);
    // The rule as the fields say.
    TPopupRule Draft() const;

    void grpActionClick();
    void btnOKClick();
    void btnCancelClick();

private:
    bool ChangedFromLoaded(const TPopupRule& draft) const;

    const TPopupRuleTexts& texts_;
    const TPopupRulesHost* host_ = nullptr;
    TPopupRule loaded_;
    TPopupRule saved_;
    bool accepted_ = false;
    bool closed_ = false;
};

// Asks, when `rule` is on and would act on windows open now, whether to keep
// it, naming them; true when none is open or the user said yes.
bool ConfirmOpenMatches(const TPopupRulesHost* host, const TPopupRule& rule, const TPopupRuleTexts& texts);
