// The settings accessors and the apply steps: each getter reads the settings;
// each setter puts the value into the dialog's copy and applies it, and the
// value's apply step shows it in its control and brings the rest of the
// interface into line through the dialog's host.
#include <climits>
#include <cstdio>

#include "../app/unitLanguage.h"
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
}  // namespace

template <class T, class TValue>
void TihmOptions::Change(T TSettings::*field, const TValue& value, const char* step)
{
    draft_.*field = value;
    Apply(step);
}

int TihmOptions::ConfigDblClick() const { return settings_.ConfigDblClick; }

void TihmOptions::SetConfigDblClick(int value) { Change(&TSettings::ConfigDblClick, value, "ConfigDblClick"); }

void TihmOptions::ApplyConfigDblClick()
{
    zdsConfigDblClick.SetItemIndex(settings_.ConfigDblClick);
    // An action the combo does not list is no action.
    settings_.ConfigDblClick = zdsConfigDblClick.ItemIndex();
    host_.RefreshDefaultAction();
}

bool TihmOptions::ListStayOnTop() const { return settings_.ListStayOnTop; }

void TihmOptions::SetListStayOnTop(bool value) { Change(&TSettings::ListStayOnTop, value, "ListStayOnTop"); }

void TihmOptions::ApplyListStayOnTop()
{
    zdsStayOnTop.SetChecked(settings_.ListStayOnTop);
    host_.StayOnTopChanged();
}

bool TihmOptions::AddressIp() const { return settings_.AddressIp; }

void TihmOptions::SetAddressIp(bool value) { Change(&TSettings::AddressIp, value, "AddressIp"); }

void TihmOptions::ApplyAddressIp()
{
    zdsShowIpAddr.SetChecked(settings_.AddressIp);
    host_.RefreshMailStatus();
}

bool TihmOptions::French() const { return settings_.French; }

void TihmOptions::SetFrench(bool value) { Change(&TSettings::French, value, "French"); }

void TihmOptions::ApplyFrench()
{
    grpLanguage.SetItemIndex(settings_.French ? 1 : 0);
    if (settings_.French)
        ApplyFrenchTexts();
    else
        ApplyEnglishTexts();
}

bool TihmOptions::TaskPopup() const { return settings_.TaskPopup; }

void TihmOptions::SetTaskPopup(bool value) { Change(&TSettings::TaskPopup, value, "TaskPopup"); }

void TihmOptions::ApplyTaskPopup()
{
    grpIcon.SetItemIndex(settings_.TaskPopup ? 0 : 1);
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

void TihmOptions::SetEmailProgram(const std::string& value) { Change(&TSettings::EmailProgram, value, "EmailProgram"); }

void TihmOptions::ApplyEmailProgram() { ShowText(zdsEmailProgram, settings_.EmailProgram); }

bool TihmOptions::KillerActive() const { return settings_.KillerActive; }

void TihmOptions::SetKillerActive(bool value) { Change(&TSettings::KillerActive, value, "KillerActive"); }

void TihmOptions::ApplyKillerActive()
{
    const bool value = settings_.KillerActive;
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

void TihmOptions::SetInterval(int value) { Change(&TSettings::Interval, value, "Interval"); }

void TihmOptions::ApplyInterval()
{
    // A negative interval, typed or stored, is no interval: the default stands in for it.
    if (settings_.Interval < 0)
        settings_.Interval = DefaultInterval;
    const int value = settings_.Interval;
    ShowNumber(zdsInterval, value);
    host_.SetKillInterval(TimerInterval(value < FastestKillTick ? FastestKillTick : value));
}

bool TihmOptions::SoundOnKill() const { return settings_.SoundOnKill; }

void TihmOptions::SetSoundOnKill(bool value) { Change(&TSettings::SoundOnKill, value, "SoundOnKill"); }

void TihmOptions::ApplySoundOnKill()
{
    zdsSoundOnKill.SetChecked(settings_.SoundOnKill);
    ApplyPopupFileRowRule();
}

std::string TihmOptions::SoundFile() const { return settings_.SoundFile; }

void TihmOptions::SetSoundFile(const std::string& value) { Change(&TSettings::SoundFile, value, "SoundFile"); }

void TihmOptions::ApplySoundFile() { ShowText(zdsSoundFile, settings_.SoundFile); }

int TihmOptions::Counter() const { return settings_.Counter; }

namespace {
std::string CounterCaption(int value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.4d", value);
    return text;
}
}  // namespace

void TihmOptions::SetCounter(int value) { Change(&TSettings::Counter, value, "Counter"); }

void TihmOptions::ApplyCounter() { zdsCounter.SetCaption(CounterCaption(settings_.Counter)); }

bool TihmOptions::MailNotification() const { return settings_.MailNotification; }

void TihmOptions::SetMailNotification(bool value) { Change(&TSettings::MailNotification, value, "MailNotification"); }

void TihmOptions::ApplyMailNotification()
{
    const bool value = settings_.MailNotification;
    host_.RunMailTimer(value);
    zdsLedEmail.SetLit(value);
    zdsIntervalEmail.SetEnabled(value);
    zdsSoundOnEmail.SetEnabled(value);
    zdsBalloonNotification.SetEnabled(value);
    ApplyEmailFileRowRule();
    ApplySpamFileRowRule();
    zdsLedSpam.SetEnabledState(value);
    zdsSoundOnKillSpam.SetEnabled(value);
    host_.ShowSwitch(TSwitch::Mail, value);
    host_.EnableSpamSwitch(value);
    host_.RefreshTrayIcon();
}

int TihmOptions::IntervalEmail() const { return settings_.IntervalEmail; }

void TihmOptions::SetIntervalEmail(int value) { Change(&TSettings::IntervalEmail, value, "IntervalEmail"); }

void TihmOptions::ApplyIntervalEmail()
{
    if (settings_.IntervalEmail < 0)
        settings_.IntervalEmail = DefaultIntervalEmail;
    const int value = settings_.IntervalEmail;
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

void TihmOptions::SetSoundOnEmail(bool value) { Change(&TSettings::SoundOnEmail, value, "SoundOnEmail"); }

void TihmOptions::ApplySoundOnEmail()
{
    zdsSoundOnEmail.SetChecked(settings_.SoundOnEmail);
    ApplyEmailFileRowRule();
}

std::string TihmOptions::SoundFileEmail() const { return settings_.SoundFileEmail; }

void TihmOptions::SetSoundFileEmail(const std::string& value)
{
    Change(&TSettings::SoundFileEmail, value, "SoundFileEmail");
}

void TihmOptions::ApplySoundFileEmail() { ShowText(zdsSoundFileEmail, settings_.SoundFileEmail); }

std::string TihmOptions::VideoFileEmail() const { return settings_.VideoFileEmail; }

void TihmOptions::SetVideoFileEmail(const std::string& value)
{
    Change(&TSettings::VideoFileEmail, value, "VideoFileEmail");
}

void TihmOptions::ApplyVideoFileEmail() { ShowText(zdsVideoFileEmail, settings_.VideoFileEmail); }

bool TihmOptions::BalloonNotification() const { return settings_.BalloonNotification; }

void TihmOptions::SetBalloonNotification(bool value)
{
    Change(&TSettings::BalloonNotification, value, "BalloonNotification");
}

void TihmOptions::ApplyBalloonNotification() { zdsBalloonNotification.SetChecked(settings_.BalloonNotification); }

bool TihmOptions::NoBorderVideo() const { return settings_.NoBorderVideo; }

void TihmOptions::SetNoBorderVideo(bool value) { Change(&TSettings::NoBorderVideo, value, "NoBorderVideo"); }

void TihmOptions::ApplyNoBorderVideo() { zdsNoBorderVideo.SetChecked(settings_.NoBorderVideo); }

int TihmOptions::EmailLines() const { return settings_.EmailLines; }

void TihmOptions::SetEmailLines(int value) { Change(&TSettings::EmailLines, value, "EmailLines"); }

void TihmOptions::ApplyEmailLines() { ShowNumber(zdsEmailLines, settings_.EmailLines); }

void TihmOptions::ApplySpamKeepDays() { ShowNumber(zdsSpamKeepDays, settings_.SpamKeepDays); }

bool TihmOptions::SpamKillerActive() const { return settings_.SpamKillerActive; }

void TihmOptions::SetSpamKillerActive(bool value) { Change(&TSettings::SpamKillerActive, value, "SpamKillerActive"); }

void TihmOptions::ApplySpamKillerActive()
{
    const bool value = settings_.SpamKillerActive;
    zdsLedSpam.SetLit(value);
    zdsSoundOnKillSpam.SetEnabled(value && MailNotification());
    ApplySpamFileRowRule();
    host_.ShowSwitch(TSwitch::Spam, value);
}

bool TihmOptions::SoundOnKillSpam() const { return settings_.SoundOnKillSpam; }

void TihmOptions::SetSoundOnKillSpam(bool value) { Change(&TSettings::SoundOnKillSpam, value, "SoundOnKillSpam"); }

void TihmOptions::ApplySoundOnKillSpam()
{
    zdsSoundOnKillSpam.SetChecked(settings_.SoundOnKillSpam);
    ApplySpamFileRowRule();
}

std::string TihmOptions::SoundFileSpam() const { return settings_.SoundFileSpam; }

void TihmOptions::SetSoundFileSpam(const std::string& value)
{
    Change(&TSettings::SoundFileSpam, value, "SoundFileSpam");
}

void TihmOptions::ApplySoundFileSpam() { ShowText(zdsSoundFileSpam, settings_.SoundFileSpam); }

int TihmOptions::CounterSpam() const { return settings_.CounterSpam; }

void TihmOptions::SetCounterSpam(int value) { Change(&TSettings::CounterSpam, value, "CounterSpam"); }

void TihmOptions::ApplyCounterSpam() { zdsCounterSpam.SetCaption(CounterCaption(settings_.CounterSpam)); }

const std::map<std::string, TihmOptions::TApplyStep>& TihmOptions::ApplySteps()
{
    using T = TihmOptions;
    static const std::map<std::string, TApplyStep> steps = {
        {"ConfigDblClick", &T::ApplyConfigDblClick},
        {"ListStayOnTop", &T::ApplyListStayOnTop},
        {"AddressIp", &T::ApplyAddressIp},
        {"French", &T::ApplyFrench},
        {"TaskPopup", &T::ApplyTaskPopup},
        {"EmailProgram", &T::ApplyEmailProgram},
        {"KillerActive", &T::ApplyKillerActive},
        {"Interval", &T::ApplyInterval},
        {"SoundOnKill", &T::ApplySoundOnKill},
        {"SoundFile", &T::ApplySoundFile},
        {"Counter", &T::ApplyCounter},
        {"MailNotification", &T::ApplyMailNotification},
        {"IntervalEmail", &T::ApplyIntervalEmail},
        {"SoundOnEmail", &T::ApplySoundOnEmail},
        {"SoundFileEmail", &T::ApplySoundFileEmail},
        {"VideoFileEmail", &T::ApplyVideoFileEmail},
        {"NoBorderVideo", &T::ApplyNoBorderVideo},
        {"EmailLines", &T::ApplyEmailLines},
        {"BalloonNotification", &T::ApplyBalloonNotification},
        {"SpamKillerActive", &T::ApplySpamKillerActive},
        {"SoundOnKillSpam", &T::ApplySoundOnKillSpam},
        {"SoundFileSpam", &T::ApplySoundFileSpam},
        {"CounterSpam", &T::ApplyCounterSpam},
        {"SpamKeepDays", &T::ApplySpamKeepDays},
    };
    return steps;
}

void TihmOptions::SetSpamAddresses(const std::string& value) { Change(&TSettings::SpamAddresses, value, "SpamLists"); }

void TihmOptions::SetSpamSubjects(const std::string& value) { Change(&TSettings::SpamSubjects, value, "SpamLists"); }

void TihmOptions::ShowSpamLists()
{
    // The lists of the settings, also when the mailboxes window added an entry to them.
    draft_.SpamAddresses = takenAddresses_ = settings_.SpamAddresses;
    draft_.SpamSubjects = takenSubjects_ = settings_.SpamSubjects;
    draft_.SpamAllowed = takenAllowed_ = settings_.SpamAllowed;
    // Shown without running the fields' change handlers, which store what the user types.
    for (auto [field, text] : {std::pair<TMemo*, const std::string*>{&zdsEmail, &settings_.SpamAddresses},
                               {&zdsSubject, &settings_.SpamSubjects},
                               {&zdsAllowed, &settings_.SpamAllowed}}) {
        if (field->Text() == *text)
            continue;
        const auto onChange = std::move(field->OnChange);
        field->SetText(*text);
        field->OnChange = onChange;
    }
    host_.SpamListsChanged();
}
