// A label that behaves like a hyperlink: link colours, highlighted and
// underlined while the mouse is over it, the full address as its hint, and a
// click that has the shell open the address.
#pragma once

#include "../framework/Font.h"
#include "../framework/GraphicControl.h"
#include "UrlLabelText.h"

#include <functional>
#include <string>

class Tk7tUrlLabel : public TGraphicControl {
public:
    // Sized to its caption, like an auto-sized label.
    Tk7tUrlLabel(TContainer& parent, int left, int top, const std::string& caption = std::string());
    ~Tk7tUrlLabel() override;

    std::string Caption() const { return Text(); }
    void SetCaption(const std::string& text);

    bool DetectMouse() const { return detectMouse_; }
    void SetDetectMouse(bool value);
    bool ShowUrlHint() const { return showUrlHint_; }
    void SetShowUrlHint(bool value);
    const std::string& URL() const { return url_; }
    void SetURL(const std::string& value);
    const std::string& MailSubject() const { return mailSubject_; }
    void SetMailSubject(const std::string& value);
    const std::string& MailBody() const { return mailBody_; }
    void SetMailBody(const std::string& value);

    // Plain storage: changing them does not refresh the hint.
    TUrlType URLType = utHttp;
    std::string CustomURLType;
    COLORREF ActiveColor = RGB(0, 0, 255);    // blue
    COLORREF InactiveColor = RGB(0, 0, 128);  // navy

    std::function<void()> OnMouseEnter;
    std::function<void()> OnMouseLeave;

    std::string FullUrl() const;
    // Has the shell open FullUrl.
    void OpenUrl();

    // The tooltip text shown while the mouse rests on the label.
    const std::string& Hint() const { return hint_; }
    HWND HintWindow() const { return tooltip_; }
    void SetHint(const std::string& text);

    COLORREF FontColor() const { return fontColor_; }
    void SetFontColor(COLORREF color);
    const std::string& FontName() const { return fontName_; }
    void SetFontName(const std::string& name);
    bool Underlined() const { return underline_; }
    bool Bold() const { return bold_; }
    bool Hovered() const { return hovered_; }

    // How a click reaches the shell; replaceable so that a click can be
    // observed without starting a browser.
    static std::function<void(const std::string& url)> ShellOpen;
    static void ShellOpenDefault(const std::string& url);

protected:
    void Paint(HDC dc) override;
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    void MouseEntered();
    void MouseLeft();
    void RefreshHintFromUrl();
    void RebuildFont();
    void FitToCaption();

    bool detectMouse_ = true;
    bool showUrlHint_ = true;
    std::string url_;
    std::string mailSubject_;
    std::string mailBody_;
    std::string hint_;
    bool hovered_ = false;

    std::string fontName_;
    int fontHeight_ = -11;  // 8 points
    COLORREF fontColor_ = RGB(0, 0, 128);
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    TScopedFont font_;
    HWND tooltip_ = nullptr;
};
