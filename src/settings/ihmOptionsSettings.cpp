// The settings accessors: each getter reads the settings, each setter stores
// the value there, shows it in its control and brings the rest of the
// interface into line through the dialog's host.
#include <climits>
#include <cstdio>

#include "../app/unitLanguage.h"
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

void MoveWindowTo(TForm* form, int left, int top)
{
    if (form)
        SetWindowPos(form->Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT WindowRectOf(const TForm* form)
{
    RECT r = {DefaultWindowLeft, DefaultWindowTop, DefaultWindowLeft + 100, DefaultWindowTop + 100};
    if (form)
        GetWindowRect(form->Handle(), &r);
    return r;
}
}  // namespace

int TihmOptions::ConfigDblClick() const { return settings_.ConfigDblClick; }

void TihmOptions::SetConfigDblClick(int value)
{
    zdsConfigDblClick.SetItemIndex(value);
    // An action the combo does not list is no action.
    settings_.ConfigDblClick = zdsConfigDblClick.ItemIndex();
    host_.RefreshDefaultAction();
}

bool TihmOptions::ListStayOnTop() const { return settings_.ListStayOnTop; }

void TihmOptions::SetListStayOnTop(bool value)
{
    settings_.ListStayOnTop = value;
    zdsStayOnTop.SetChecked(value);
    host_.StayOnTopChanged();
}

bool TihmOptions::AddressIp() const { return settings_.AddressIp; }

void TihmOptions::SetAddressIp(bool value)
{
    settings_.AddressIp = value;
    zdsShowIpAddr.SetChecked(value);
    host_.RefreshMailStatus();
}

bool TihmOptions::French() const { return settings_.French; }

void TihmOptions::SetFrench(bool value)
{
    settings_.French = value;
    grpLanguage.SetItemIndex(value ? 1 : 0);
    if (value)
        ApplyFrenchTexts();
    else
        ApplyEnglishTexts();
}

bool TihmOptions::TaskPopup() const { return settings_.TaskPopup; }

void TihmOptions::SetTaskPopup(bool value)
{
    settings_.TaskPopup = value;
    grpIcon.SetItemIndex(value ? 0 : 1);
    host_.RefreshTrayIcon();
}

namespace {
// An edit shows the value; an unchanged text is not written again, so the
// caret of the user typing stays and a change handler comes to rest.
void ShowText(TEdit& edit, const std::string& text)
{
    if (edit.Text() != text)
        edit.SetText(text);
}

void ShowNumber(TEdit& edit, int value) { ShowText(edit, EncodeInteger(value)); }
}  // namespace

std::string TihmOptions::EmailProgram() const { return settings_.EmailProgram; }

void TihmOptions::SetEmailProgram(const std::string& value)
{
    settings_.EmailProgram = value;
    ShowText(zdsEmailProgram, value);
}

bool TihmOptions::KillerActive() const { return settings_.KillerActive; }

void TihmOptions::SetKillerActive(bool value)
{
    settings_.KillerActive = value;
    host_.RunKiller(value);
    zdsLedPopup.SetLit(value);
    zdsInterval.SetEnabled(value);
    zdsSoundOnKill.SetEnabled(value);
    ApplyPopupFileRowRule();
    host_.RefreshMailStatus();
    host_.RefreshTrayIcon();
    host_.RefreshDefaultAction();
    host_.ShowSwitch(TSwitch::Killer, value);
}

int TihmOptions::Interval() const { return settings_.Interval; }

void TihmOptions::SetInterval(int value)
{
    // A negative interval, typed or stored, is no interval: the default stands in for it.
    if (value < 0)
        value = DefaultInterval;
    settings_.Interval = value;
    ShowNumber(zdsInterval, value);
    host_.SetKillInterval(TimerInterval(value < FastestKillTick ? FastestKillTick : value));
}

bool TihmOptions::SoundOnKill() const { return settings_.SoundOnKill; }

void TihmOptions::SetSoundOnKill(bool value)
{
    settings_.SoundOnKill = value;
    zdsSoundOnKill.SetChecked(value);
    ApplyPopupFileRowRule();
}

std::string TihmOptions::SoundFile() const { return settings_.SoundFile; }

void TihmOptions::SetSoundFile(const std::string& value)
{
    settings_.SoundFile = value;
    ShowText(zdsSoundFile, value);
}

int TihmOptions::Counter() const { return settings_.Counter; }

namespace {
std::string CounterCaption(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.4d", value);
    return text;
}
}  // namespace

void TihmOptions::SetCounter(int value)
{
    settings_.Counter = value;
    zdsCounter.SetCaption(CounterCaption(value));
}

bool TihmOptions::MailNotification() const { return settings_.MailNotification; }

void TihmOptions::SetMailNotification(bool value)
{
    settings_.MailNotification = value;
    host_.RunMailTimer(value);
    zdsLedEmail.SetLit(value);
    zdsIntervalEmail.SetEnabled(value);
    zdsSoundOnEmail.SetEnabled(value);
    ApplyEmailFileRowRule();
    ApplySpamFileRowRule();
    zdsLedSpam.SetEnabledState(value);
    zdsSoundOnKillSpam.SetEnabled(value);
    host_.ShowSwitch(TSwitch::Mail, value);
    host_.EnableSpamSwitch(value);
    host_.RefreshTrayIcon();
}

int TihmOptions::IntervalEmail() const { return settings_.IntervalEmail; }

void TihmOptions::SetIntervalEmail(int value)
{
    if (value < 0)
        value = DefaultIntervalEmail;
    settings_.IntervalEmail = value;
    ShowNumber(zdsIntervalEmail, value);
    if (value == 0) {
        // The watch stops, its LED, check mark and icon as they were.
        settings_.MailNotification = false;
        host_.RunMailTimer(false);
    } else {
        host_.SetMailInterval(TimerInterval(static_cast<long long>(value) * 60000));
    }
}

bool TihmOptions::SoundOnEmail() const { return settings_.SoundOnEmail; }

void TihmOptions::SetSoundOnEmail(bool value)
{
    settings_.SoundOnEmail = value;
    zdsSoundOnEmail.SetChecked(value);
    ApplyEmailFileRowRule();
}

std::string TihmOptions::SoundFileEmail() const { return settings_.SoundFileEmail; }

void TihmOptions::SetSoundFileEmail(const std::string& value)
{
    settings_.SoundFileEmail = value;
    ShowText(zdsSoundFileEmail, value);
}

std::string TihmOptions::VideoFileEmail() const { return settings_.VideoFileEmail; }

void TihmOptions::SetVideoFileEmail(const std::string& value)
{
    settings_.VideoFileEmail = value;
    ShowText(zdsVideoFileEmail, value);
}

bool TihmOptions::NoBorderVideo() const { return settings_.NoBorderVideo; }

void TihmOptions::SetNoBorderVideo(bool value)
{
    settings_.NoBorderVideo = value;
    zdsNoBorderVideo.SetChecked(value);
}

int TihmOptions::EmailLines() const { return settings_.EmailLines; }

void TihmOptions::SetEmailLines(int value)
{
    settings_.EmailLines = value;
    ShowNumber(zdsEmailLines, value);
}

bool TihmOptions::SpamKillerActive() const { return settings_.SpamKillerActive; }

void TihmOptions::SetSpamKillerActive(bool value)
{
    settings_.SpamKillerActive = value;
    zdsLedSpam.SetLit(value);
    zdsSoundOnKillSpam.SetEnabled(value && MailNotification());
    ApplySpamFileRowRule();
    host_.ShowSwitch(TSwitch::Spam, value);
}

bool TihmOptions::SoundOnKillSpam() const { return settings_.SoundOnKillSpam; }

void TihmOptions::SetSoundOnKillSpam(bool value)
{
    settings_.SoundOnKillSpam = value;
    zdsSoundOnKillSpam.SetChecked(value);
    ApplySpamFileRowRule();
}

std::string TihmOptions::SoundFileSpam() const { return settings_.SoundFileSpam; }

void TihmOptions::SetSoundFileSpam(const std::string& value)
{
    settings_.SoundFileSpam = value;
    ShowText(zdsSoundFileSpam, value);
}

int TihmOptions::CounterSpam() const { return settings_.CounterSpam; }

void TihmOptions::SetCounterSpam(int value)
{
    settings_.CounterSpam = value;
    zdsCounterSpam.SetCaption(CounterCaption(value));
}

void TihmOptions::SetSpamAddresses(const std::string& value)
{
    settings_.SpamAddresses = value;
    ShowSpamLists();
}

void TihmOptions::SetSpamSubjects(const std::string& value)
{
    settings_.SpamSubjects = value;
    ShowSpamLists();
}

void TihmOptions::ShowSpamLists()
{
    // Shown without running the fields' change handlers, which store what the user types.
    for (auto [field, text] : {std::pair<TMemo*, const std::string*>{&zdsEmail, &settings_.SpamAddresses},
                               {&zdsSubject, &settings_.SpamSubjects}}) {
        if (field->Text() == *text)
            continue;
        const auto onChange = std::move(field->OnChange);
        field->SetText(*text);
        field->OnChange = onChange;
    }
    host_.SpamListsChanged();
}

int TihmOptions::VideoTop() const { return ihmVideo ? ihmVideo->Top() : DefaultWindowTop; }

void TihmOptions::SetVideoTop(int value)
{
    settings_.VideoTop = value;
    if (ihmVideo)
        ihmVideo->SetTop(value);
}

int TihmOptions::VideoLeft() const { return ihmVideo ? ihmVideo->Left() : DefaultWindowLeft; }

void TihmOptions::SetVideoLeft(int value)
{
    settings_.VideoLeft = value;
    if (ihmVideo)
        ihmVideo->SetLeft(value);
}

int TihmOptions::MailboxesTop() const { return WindowRectOf(ihmMailbox).top; }

void TihmOptions::SetMailboxesTop(int value)
{
    settings_.MailboxesTop = value;
    MoveWindowTo(ihmMailbox, MailboxesLeft(), value);
}

int TihmOptions::MailboxesLeft() const { return WindowRectOf(ihmMailbox).left; }

void TihmOptions::SetMailboxesLeft(int value)
{
    settings_.MailboxesLeft = value;
    MoveWindowTo(ihmMailbox, value, MailboxesTop());
}

int TihmOptions::MailboxesWidth() const
{
    const RECT r = WindowRectOf(ihmMailbox);
    return r.right - r.left;
}

void TihmOptions::SetMailboxesWidth(int value)
{
    settings_.MailboxesWidth = value;
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
    settings_.MailboxesHeight = value;
    if (ihmMailbox)
        SetWindowPos(ihmMailbox->Handle(), nullptr, 0, 0, MailboxesWidth(), value,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TihmOptions::MailboxesHeader() const { return ihmMailbox ? ihmMailbox->ViewHeader() : false; }

void TihmOptions::SetMailboxesHeader(bool value)
{
    settings_.MailboxesHeader = value;
    if (ihmMailbox)
        ihmMailbox->SetViewHeader(value);
}

int TihmOptions::MailboxesGrid() const { return ihmMailbox ? ihmMailbox->GridHeight() : DefaultMailboxesGrid; }

void TihmOptions::SetMailboxesGrid(int value)
{
    settings_.MailboxesGrid = value;
    if (ihmMailbox)
        ihmMailbox->SetGridHeight(value);
}

int TihmOptions::MailboxesCol1() const { return ihmMailbox ? ihmMailbox->ColumnWidth(0) : TihmMailbox::DefaultColumnWidth(0); }

void TihmOptions::SetMailboxesCol1(int value)
{
    settings_.MailboxesCol1 = value;
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(0, value);
}

int TihmOptions::MailboxesCol2() const { return ihmMailbox ? ihmMailbox->ColumnWidth(1) : TihmMailbox::DefaultColumnWidth(1); }

void TihmOptions::SetMailboxesCol2(int value)
{
    settings_.MailboxesCol2 = value;
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(1, value);
}

int TihmOptions::MailboxesCol3() const { return ihmMailbox ? ihmMailbox->ColumnWidth(2) : TihmMailbox::DefaultColumnWidth(2); }

void TihmOptions::SetMailboxesCol3(int value)
{
    settings_.MailboxesCol3 = value;
    if (ihmMailbox)
        ihmMailbox->SetColumnWidth(2, value);
}
