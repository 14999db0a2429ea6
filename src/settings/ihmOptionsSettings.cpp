// The settings accessors: each getter reads the control or state that holds
// the setting, each setter writes it and brings the rest of the interface
// into line.
#include <climits>
#include <cstdio>

#include "../app/ihmMain.h"
#include "../app/unitLanguage.h"
#include "../forms/ihmAppList.h"
#include "../forms/ihmMailbox.h"
#include "../forms/ihmVideo.h"
#include "SettingsValues.h"
#include "ihmOptions.h"

namespace {
// The interval handed to the platform: at least 1 ms, never past 32 bits.
UINT TimerInterval(long long milliseconds)
{
    if (milliseconds < 1)
        return 1;
    if (milliseconds > INT_MAX)
        return INT_MAX;
    return static_cast<UINT>(milliseconds);
}

// A kill tick faster than this would only burn the processor.
constexpr int FastestKillTick = 50;

// Runs `change` with the main form's UpdatingMenu flag set, so the menu's
// toggle commands ignore the check marks it changes.
template <class TChange>
void WhileUpdatingMenu(TChange change)
{
    if (!ihmMain)
        return;
    ihmMain->UpdatingMenu = true;
    change();
    ihmMain->UpdatingMenu = false;
}

void MoveWindowTo(TForm* form, int left, int top)
{
    if (form)
        SetWindowPos(form->Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT WindowRectOf(const TForm* form)
{
    RECT r = {TihmMailbox::DefaultLeft, TihmMailbox::DefaultTop, TihmMailbox::DefaultLeft + 100,
              TihmMailbox::DefaultTop + 100};
    if (form)
        GetWindowRect(form->Handle(), &r);
    return r;
}
}  // namespace

int TihmOptions::ConfigDblClick() const { return zdsConfigDblClick.ItemIndex(); }

void TihmOptions::SetConfigDblClick(int value)
{
    zdsConfigDblClick.SetItemIndex(value);
    if (ihmMain)
        ihmMain->UpdateDefaultMenuItem();
}

bool TihmOptions::ListStayOnTop() const { return zdsStayOnTop.Checked(); }

void TihmOptions::SetListStayOnTop(bool value)
{
    zdsStayOnTop.SetChecked(value);
    if (ihmAppList)
        ihmAppList->ApplyStayOnTop();
}

bool TihmOptions::AddressIp() const { return zdsShowIpAddr.Checked(); }

void TihmOptions::SetAddressIp(bool value)
{
    zdsShowIpAddr.SetChecked(value);
    if (ihmMain)
        ihmMain->UpdateMailStatus(false);
}

bool TihmOptions::French() const { return grpLanguage.ItemIndex() == 1; }

void TihmOptions::SetFrench(bool value)
{
    grpLanguage.SetItemIndex(value ? 1 : 0);
    if (value)
        ApplyFrenchTexts();
    else
        ApplyEnglishTexts();
}

bool TihmOptions::TaskPopup() const { return grpIcon.ItemIndex() == 0; }

void TihmOptions::SetTaskPopup(bool value)
{
    grpIcon.SetItemIndex(value ? 0 : 1);
    if (ihmMain)
        ihmMain->UpdateTrayIcon();
}

std::string TihmOptions::EmailProgram() const { return zdsEmailProgram.Text(); }

void TihmOptions::SetEmailProgram(const std::string& value) { zdsEmailProgram.SetText(value); }

bool TihmOptions::KillerActive() const { return ihmMain && ihmMain->utlTimer.Enabled(); }

void TihmOptions::SetKillerActive(bool value)
{
    if (ihmMain)
        ihmMain->SetKillerRunning(value);
    zdsLedPopup.SetLit(value);
    zdsInterval.SetEnabled(value);
    zdsSoundOnKill.SetEnabled(value);
    ApplyPopupFileRowRule();
    if (!ihmMain)
        return;
    ihmMain->UpdateMailStatus(false);
    ihmMain->UpdateTrayIcon();
    ihmMain->UpdateDefaultMenuItem();
    WhileUpdatingMenu([value] { ihmMain->mnpTbActivatePopup().SetChecked(value); });
}

int TihmOptions::Interval() const { return DecodeInteger(zdsInterval.Text(), DefaultInterval); }

namespace {
// The field shows the number; an unchanged text is not written again, so the
// field's change handler, which calls the setter, comes to rest.
void ShowNumber(TEdit& edit, int value)
{
    const std::string text = EncodeInteger(value);
    if (edit.Text() != text)
        edit.SetText(text);
}
}  // namespace

void TihmOptions::SetInterval(int value)
{
    // A negative interval, typed or stored, is no interval: the default stands in for it.
    if (value < 0)
        value = DefaultInterval;
    ShowNumber(zdsInterval, value);
    if (ihmMain)
        ihmMain->utlTimer.SetInterval(TimerInterval(value < FastestKillTick ? FastestKillTick : value));
}

bool TihmOptions::SoundOnKill() const { return zdsSoundOnKill.Checked(); }

void TihmOptions::SetSoundOnKill(bool value)
{
    zdsSoundOnKill.SetChecked(value);
    ApplyPopupFileRowRule();
}

std::string TihmOptions::SoundFile() const { return zdsSoundFile.Text(); }

void TihmOptions::SetSoundFile(const std::string& value) { zdsSoundFile.SetText(value); }

int TihmOptions::Counter() const { return DecodeInteger(zdsCounter.Caption(), 0); }

namespace {
std::string CounterCaption(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.4d", value);
    return text;
}
}  // namespace

void TihmOptions::SetCounter(int value) { zdsCounter.SetCaption(CounterCaption(value)); }

bool TihmOptions::MailNotification() const { return ihmMain && ihmMain->utlTimerEmail.Enabled(); }

void TihmOptions::SetMailNotification(bool value)
{
    if (ihmMain)
        ihmMain->utlTimerEmail.SetEnabled(value);
    zdsLedEmail.SetLit(value);
    zdsIntervalEmail.SetEnabled(value);
    zdsSoundOnEmail.SetEnabled(value);
    ApplyEmailFileRowRule();
    ApplySpamFileRowRule();
    zdsLedSpam.SetEnabledState(value);
    zdsSoundOnKillSpam.SetEnabled(value);
    if (!ihmMain)
        return;
    WhileUpdatingMenu([value] {
        ihmMain->mnpTbActivateEmail().SetChecked(value);
        ihmMain->mnpTbActivateSpam().SetEnabled(value);
    });
    ihmMain->UpdateTrayIcon();
}

int TihmOptions::IntervalEmail() const { return DecodeInteger(zdsIntervalEmail.Text(), DefaultIntervalEmail); }

void TihmOptions::SetIntervalEmail(int value)
{
    if (value < 0)
        value = DefaultIntervalEmail;
    ShowNumber(zdsIntervalEmail, value);
    if (!ihmMain)
        return;
    if (value == 0)
        ihmMain->utlTimerEmail.SetEnabled(false);
    else
        ihmMain->utlTimerEmail.SetInterval(TimerInterval(static_cast<long long>(value) * 60000));
}

bool TihmOptions::SoundOnEmail() const { return zdsSoundOnEmail.Checked(); }

void TihmOptions::SetSoundOnEmail(bool value)
{
    zdsSoundOnEmail.SetChecked(value);
    ApplyEmailFileRowRule();
}

std::string TihmOptions::SoundFileEmail() const { return zdsSoundFileEmail.Text(); }

void TihmOptions::SetSoundFileEmail(const std::string& value) { zdsSoundFileEmail.SetText(value); }

std::string TihmOptions::VideoFileEmail() const { return zdsVideoFileEmail.Text(); }

void TihmOptions::SetVideoFileEmail(const std::string& value) { zdsVideoFileEmail.SetText(value); }

bool TihmOptions::NoBorderVideo() const { return zdsNoBorderVideo.Checked(); }

void TihmOptions::SetNoBorderVideo(bool value) { zdsNoBorderVideo.SetChecked(value); }

int TihmOptions::EmailLines() const { return DecodeInteger(zdsEmailLines.Text(), DefaultEmailLines); }

void TihmOptions::SetEmailLines(int value) { zdsEmailLines.SetText(EncodeInteger(value)); }

bool TihmOptions::SpamKillerActive() const { return zdsLedSpam.Lit(); }

void TihmOptions::SetSpamKillerActive(bool value)
{
    zdsLedSpam.SetLit(value);
    zdsSoundOnKillSpam.SetEnabled(value && MailNotification());
    ApplySpamFileRowRule();
    WhileUpdatingMenu([value] { ihmMain->mnpTbActivateSpam().SetChecked(value); });
}

bool TihmOptions::SoundOnKillSpam() const { return zdsSoundOnKillSpam.Checked(); }

void TihmOptions::SetSoundOnKillSpam(bool value)
{
    zdsSoundOnKillSpam.SetChecked(value);
    ApplySpamFileRowRule();
}

std::string TihmOptions::SoundFileSpam() const { return zdsSoundFileSpam.Text(); }

void TihmOptions::SetSoundFileSpam(const std::string& value) { zdsSoundFileSpam.SetText(value); }

int TihmOptions::CounterSpam() const { return DecodeInteger(zdsCounterSpam.Caption(), 0); }

void TihmOptions::SetCounterSpam(int value) { zdsCounterSpam.SetCaption(CounterCaption(value)); }

int TihmOptions::VideoTop() const { return ihmVideo ? ihmVideo->Top() : TihmVideo::DefaultTop; }

void TihmOptions::SetVideoTop(int value)
{
    if (ihmVideo)
        ihmVideo->SetTop(value);
}

int TihmOptions::VideoLeft() const { return ihmVideo ? ihmVideo->Left() : TihmVideo::DefaultLeft; }

void TihmOptions::SetVideoLeft(int value)
{
    if (ihmVideo)
        ihmVideo->SetLeft(value);
}

int TihmOptions::MailboxesTop() const { return WindowRectOf(ihmMailbox).top; }

void TihmOptions::SetMailboxesTop(int value) { MoveWindowTo(ihmMailbox, MailboxesLeft(), value); }

int TihmOptions::MailboxesLeft() const { return WindowRectOf(ihmMailbox).left; }

void TihmOptions::SetMailboxesLeft(int value) { MoveWindowTo(ihmMailbox, value, MailboxesTop()); }

int TihmOptions::MailboxesWidth() const
{
    const RECT r = WindowRectOf(ihmMailbox);
    return r.right - r.left;
}

void TihmOptions::SetMailboxesWidth(int value)
{
    if (ihmMailbox)
        SetWindowPos(ihmMailbox->Handle(), nullptr, 0, 0, value, MailboxesHeight(),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TihmOptions::MailboxesHeight() const
{
    const RECT r = WindowRectOf(ihmMailbox);
    return r.bottom - r.top;
}

void TihmOptions::SetMailboxesHeight(int value)
{
    if (ihmMailbox)
        SetWindowPos(ihmMailbox->Handle(), nullptr, 0, 0, MailboxesWidth(), value,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TihmOptions::MailboxesHeader() const { return ihmMailbox ? ihmMailbox->ViewHeader() : false; }

void TihmOptions::SetMailboxesHeader(bool value)
{
    if (ihmMailbox)
        ihmMailbox->SetViewHeader(value);
}

int TihmOptions::MailboxesGrid() const { return ihmMailbox ? ihmMailbox->GridHeight() : TihmMailbox::DefaultGridHeight; }

void TihmOptions::SetMailboxesGrid(int value)
{
    if (ihmMailbox)
        ihmMailbox->SetGridHeight(value);
}

int TihmOptions::MailboxesCol1() const { return ihmMailbox ? ihmMailbox->ColumnWidth(0) : TihmMailbox::DefaultColumnWidth(0); }

void TihmOptions::SetMailboxesCol1(int value)
{
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(0, value);
}

int TihmOptions::MailboxesCol2() const { return ihmMailbox ? ihmMailbox->ColumnWidth(1) : TihmMailbox::DefaultColumnWidth(1); }

void TihmOptions::SetMailboxesCol2(int value)
{
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(1, value);
}

int TihmOptions::MailboxesCol3() const { return ihmMailbox ? ihmMailbox->ColumnWidth(2) : TihmMailbox::DefaultColumnWidth(2); }

void TihmOptions::SetMailboxesCol3(int value)
{
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(2, value);
}
