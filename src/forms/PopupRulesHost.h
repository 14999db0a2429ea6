// What the windows list, the rules window and the rule editor work on: the
// rules and the log of actions with what acts on them, given by whoever
// holds them (the tray controller; a test, its own).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "../model/PopupActionLog.h"
#include "../model/PopupRule.h"

struct TPopupRulesHost {
    TPopupRules* Rules = nullptr;
    TPopupActionLog* Log = nullptr;
    // The windows open now that a rule, on or off, would act on.
    std::function<std::vector<TWindowFacts>(const TPopupRule&)> OpenWindowsMatching;
    // A window's title, program and class.
    std::function<TWindowFacts(HWND)> FactsOf;
    // Writes the rules to their file; the forms call it after every change.
    std::function<void()> SaveRules;
};

// The texts the rule windows show that are no control's caption, in the
// interface's language (the windows list's text table writes them).
struct TPopupRuleTexts {
    // Close, minimise, hide, press a button: the actions as the lists name them.
    std::string Actions[4] = {"Close", "Minimise", "Hide", "Press a button"};
    std::string PressButton = "Press \"%s\"";
    std::string On = "on";
    std::string Off = "off";
    std::string NotSpecific = "This rule would act on every window: give a title pattern other than *, a program or a "
                              "window class.";
    std::string NoButton = "Give the text of the button to press.";
    // Before the titles of the windows a rule matches, and the question after them.
    std::string MatchesMany = "This rule matches %d open windows:";
    std::string MatchesOne = "This rule matches one open window:";
    std::string SaveIt = "Save it?";
    std::string DeleteRule = "Delete the rule %s?";
};

// How the lists show a rule's action: a button's text within it.
std::string ActionText(const TPopupRule& rule, const TPopupRuleTexts& texts);
std::string ActionText(TPopupAction action, const TPopupRuleTexts& texts);
// The question asked before a rule that would act on `windows` is saved; the
// titles one a line, the first few only.
std::string MatchQuestion(const std::vector<TWindowFacts>& windows, const TPopupRuleTexts& texts);
