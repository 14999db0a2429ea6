#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "app/unitGlobal.h"
#include "app/unitLanguage.h"
#include "forms/ihmAbout.h"
#include "framework/Application.h"
#include "graphic_capture.h"
#include "widgets/UrlLabel.h"

namespace {
// Position of a child in its form's client area.
POINT PlaceOf(HWND child)
{
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return POINT{rect.left, rect.top};
}

void ExpectAt(HWND child, int left, int top)
{
    const POINT place = PlaceOf(child);
    EXPECT_EQ(place.x, left);
    EXPECT_EQ(place.y, top);
}

std::string TooltipText(const Tk7tUrlLabel& label)
{
    char text[256] = {};
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = GetParent(label.Handle());
    tool.uId = reinterpret_cast<UINT_PTR>(label.Handle());
    tool.lpszText = text;
    SendMessageA(label.HintWindow(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    return text;
}

int CountPixels(const TCapture& capture, COLORREF color)
{
    int count = 0;
    for (COLORREF pixel : capture.pixels)
        count += pixel == color;
    return count;
}

// The longest run of `color` along any row: an underline spans the text.
int LongestRun(const TCapture& capture, COLORREF color)
{
    int best = 0;
    for (int y = 0; y < capture.height; ++y) {
        int run = 0;
        for (int x = 0; x < capture.width; ++x) {
            run = capture.At(x, y) == color ? run + 1 : 0;
            best = run > best ? run : best;
        }
    }
    return best;
}

void MouseMove(const Tk7tUrlLabel& label) { SendMessageA(label.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2)); }
void MouseLeave(const Tk7tUrlLabel& label) { SendMessageA(label.Handle(), WM_MOUSELEAVE, 0, 0); }

class UrlLabel : public ::testing::Test {
protected:
    void TearDown() override { Tk7tUrlLabel::ShellOpen = Tk7tUrlLabel::ShellOpenDefault; }
    TForm form{HostFormOptions()};
};
}  // namespace

TEST_F(UrlLabel, NewLabel_HasLinkDefaults)
{
    Tk7tUrlLabel label(form, 5, 6, "Link");
    EXPECT_TRUE(label.DetectMouse());
    EXPECT_TRUE(label.ShowUrlHint());
    EXPECT_EQ(label.URLType, utHttp);
    EXPECT_EQ(label.ActiveColor, RGB(0, 0, 255));
    EXPECT_EQ(label.InactiveColor, RGB(0, 0, 128));
    EXPECT_EQ(label.FontColor(), RGB(0, 0, 128));
    EXPECT_FALSE(label.Underlined());
    EXPECT_EQ(label.Caption(), "Link");
    ExpectAt(label.Handle(), 5, 6);
    EXPECT_GT(label.Width(), 0);
    EXPECT_GT(label.Height(), 0);
}

TEST_F(UrlLabel, Font_IsVerdanaWhenTheSystemHasIt)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    LOGFONTA wanted = {};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpyA(wanted.lfFaceName, "Verdana");
    bool verdana = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExA(
        screen, &wanted,
        [](const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) CALLBACK {
            *reinterpret_cast<bool*>(found) = true;
            return 0;
        },
        reinterpret_cast<LPARAM>(&verdana), 0);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(label.FontName(), verdana ? "Verdana" : "Arial");
}

TEST_F(UrlLabel, MailWithSubject_HintIsTheFullAddress)
{
    Tk7tUrlLabel label(form, 0, 0, "Mail");
    label.URLType = utMail;
    label.SetURL("author@example.org");
    label.SetMailSubject("Hello");
    EXPECT_EQ(label.Hint(), "mailto:author@example.org?Subject=Hello");
    EXPECT_EQ(TooltipText(label), "mailto:author@example.org?Subject=Hello");
}

TEST_F(UrlLabel, MailWithBodyOnly_HintPutsBodyAfterQuestionMark)
{
    Tk7tUrlLabel label(form, 0, 0, "Mail");
    label.URLType = utMail;
    label.SetURL("author@example.org");
    label.SetMailBody("Text");
    EXPECT_EQ(label.Hint(), "mailto:author@example.org?Body=Text");
}

TEST_F(UrlLabel, ChangingTheScheme_DoesNotRefreshTheHint)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    label.SetURL("skarnvale.example.org");
    EXPECT_EQ(label.Hint(), "http://skarnvale.example.org");
    label.URLType = utFtp;
    EXPECT_EQ(label.Hint(), "http://skarnvale.example.org");
    EXPECT_EQ(label.FullUrl(), "ftp://skarnvale.example.org");
    label.SetShowUrlHint(true);
    EXPECT_EQ(label.Hint(), "ftp://skarnvale.example.org");
}

TEST_F(UrlLabel, ShowUrlHintOff_ClearsTheAddressHint)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    label.SetURL("skarnvale.example.org");
    label.SetShowUrlHint(false);
    EXPECT_EQ(label.Hint(), "");
    EXPECT_EQ(TooltipText(label), "");
    label.SetURL("other.example.org");
    EXPECT_EQ(label.Hint(), "");
}

TEST_F(UrlLabel, ShowUrlHintOff_KeepsAHintSetByHand)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    label.SetURL("skarnvale.example.org");
    label.SetHint("Our home page");
    label.SetShowUrlHint(false);
    EXPECT_EQ(label.Hint(), "Our home page");
    EXPECT_EQ(TooltipText(label), "Our home page");
}

TEST_F(UrlLabel, MouseOver_HighlightsAndUnderlinesThenRestores)
{
    Tk7tUrlLabel label(form, 0, 0, "Skarnvale link text");
    label.ActiveColor = RGB(255, 0, 0);
    label.InactiveColor = RGB(0, 128, 0);
    int entered = 0, left = 0;
    label.OnMouseEnter = [&] { ++entered; };
    label.OnMouseLeave = [&] { ++left; };

    MouseMove(label);
    EXPECT_TRUE(label.Hovered());
    EXPECT_EQ(label.FontColor(), RGB(255, 0, 0));
    EXPECT_TRUE(label.Underlined());
    EXPECT_EQ(entered, 1);
    const TCapture hot = CaptureClient(label.Handle());
    EXPECT_GT(CountPixels(hot, RGB(255, 0, 0)), 0);
    EXPECT_GT(LongestRun(hot, RGB(255, 0, 0)), hot.width / 2);

    MouseMove(label);  // still inside: no second entry
    EXPECT_EQ(entered, 1);

    MouseLeave(label);
    EXPECT_FALSE(label.Hovered());
    EXPECT_EQ(label.FontColor(), RGB(0, 128, 0));
    EXPECT_FALSE(label.Underlined());
    EXPECT_FALSE(label.Bold());
    EXPECT_EQ(left, 1);
    const TCapture cold = CaptureClient(label.Handle());
    EXPECT_EQ(CountPixels(cold, RGB(255, 0, 0)), 0);
    EXPECT_GT(CountPixels(cold, RGB(0, 128, 0)), 0);
    EXPECT_LT(LongestRun(cold, RGB(0, 128, 0)), cold.width / 2);
}

TEST_F(UrlLabel, DetectMouseOff_StaysUnderlinedAndNeverChangesColour)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    int entered = 0;
    label.OnMouseEnter = [&] { ++entered; };
    label.SetDetectMouse(false);
    EXPECT_TRUE(label.Underlined());
    MouseMove(label);
    EXPECT_EQ(label.FontColor(), RGB(0, 0, 128));
    EXPECT_TRUE(label.Underlined());
    EXPECT_EQ(entered, 1);  // the event still comes
    MouseLeave(label);
    EXPECT_EQ(label.FontColor(), RGB(0, 0, 128));
    EXPECT_TRUE(label.Underlined());
    label.SetDetectMouse(true);
    EXPECT_FALSE(label.Underlined());
}

TEST_F(UrlLabel, Leave_WithoutEnter_IsIgnored)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    int left = 0;
    label.OnMouseLeave = [&] { ++left; };
    MouseLeave(label);
    EXPECT_EQ(left, 0);
}

TEST_F(UrlLabel, CursorOverTheLabel_IsTheHand)
{
    Tk7tUrlLabel label(form, 0, 0, "Link");
    SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    const LRESULT handled =
        SendMessageA(label.Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(label.Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_TRUE(handled);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
}

TEST_F(UrlLabel, Click_OpensTheFullUrlWithoutTheClickEvent)
{
    Tk7tUrlLabel label(form, 0, 0, "Mail");
    label.URLType = utMail;
    label.SetURL("author@example.org");
    label.SetMailSubject("Hi");
    std::string opened;
    int opens = 0, clicks = 0;
    Tk7tUrlLabel::ShellOpen = [&](const std::string& url) {
        opened = url;
        ++opens;
    };
    label.OnClick = [&] { ++clicks; };
    SendMessageA(label.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(1, 1));
    SendMessageA(label.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(1, 1));
    EXPECT_EQ(opens, 1);
    EXPECT_EQ(opened, "mailto:author@example.org?Subject=Hi");
    EXPECT_EQ(clicks, 0);
}

TEST(AboutBox, ClientAreaAndToolWindowFrame)
{
    TihmAbout box;
    RECT client = {};
    GetClientRect(box.Handle(), &client);
    EXPECT_EQ(client.right, 273);
    EXPECT_EQ(client.bottom, 162);
    EXPECT_NE(GetWindowLongPtrA(box.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    const LONG_PTR style = GetWindowLongPtrA(box.Handle(), GWL_STYLE);
    EXPECT_NE(style & WS_SYSMENU, 0);
    EXPECT_EQ(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
    EXPECT_FALSE(box.Visible());
    EXPECT_EQ(box.Caption(), "About");
}

TEST(AboutBox, ControlsStandInPlaceWithTheirTexts)
{
    TihmAbout box;
    ExpectAt(box.imgIcon.Handle(), 16, 16);
    ExpectAt(box.lblAppName.Handle(), 56, 14);
    ExpectAt(box.zdsAppDescription.Handle(), 56, 38);
    ExpectAt(box.lblVersion.Handle(), 16, 63);
    ExpectAt(box.zdsVersion.Handle(), 80, 63);
    ExpectAt(box.lblAuteur.Handle(), 16, 79);
    ExpectAt(box.zdsAuteur.Handle(), 80, 79);
    ExpectAt(box.urlWebSite.Handle(), 16, 116);
    ExpectAt(box.urlMail.Handle(), 14, 132);
    ExpectAt(box.lblDate.Handle(), 16, 95);
    ExpectAt(box.Label2.Handle(), 80, 95);

    EXPECT_EQ(box.lblAppName.Text(), "SkarnVale");
    EXPECT_EQ(box.zdsAppDescription.Text(), "The ultimate spam and popup killer");
    EXPECT_EQ(box.lblVersion.Text(), "Issue :");
    EXPECT_EQ(box.lblAuteur.Text(), "Author :");
    EXPECT_FALSE(box.zdsAuteur.Text().empty());
    EXPECT_EQ(box.urlWebSite.Caption(), "SkarnVale Home page");
    EXPECT_EQ(box.urlMail.Caption(), "Contact the author");
    EXPECT_EQ(box.lblDate.Text(), "Date :");
    EXPECT_EQ(box.Label2.Text(), "16/09/2002");
    EXPECT_NE(box.imgIcon.Picture(), nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(box.imgIcon.Handle(), STM_GETICON, 0, 0)), box.imgIcon.Picture());
}

TEST(AboutBox, Links_OpenTheHomePageAndAMailToTheAuthor)
{
    TihmAbout box;
    EXPECT_EQ(box.urlWebSite.URLType, utCustom);
    EXPECT_EQ(box.urlWebSite.FullUrl(), box.urlWebSite.URL());
    EXPECT_EQ(box.urlWebSite.FullUrl().rfind("https://", 0), 0u);
    EXPECT_EQ(box.urlWebSite.Hint(), box.urlWebSite.FullUrl());
    EXPECT_EQ(box.urlMail.URLType, utMail);
    EXPECT_EQ(box.urlMail.FullUrl(), "mailto:" + box.urlMail.URL());
    EXPECT_EQ(box.urlMail.Hint(), box.urlMail.FullUrl());
    EXPECT_EQ(box.urlWebSite.FontName(), "Verdana");
    EXPECT_EQ(box.urlMail.FontColor(), RGB(0, 0, 128));

    std::string opened;
    Tk7tUrlLabel::ShellOpen = [&](const std::string& url) { opened = url; };
    SendMessageA(box.urlMail.Handle(), WM_LBUTTONUP, 0, 0);
    Tk7tUrlLabel::ShellOpen = Tk7tUrlLabel::ShellOpenDefault;
    EXPECT_EQ(opened, box.urlMail.FullUrl());
}

TEST(AboutBox, VersionField_ShowsVersionTextInBothLanguages)
{
    TihmAbout box;
    EXPECT_EQ(box.zdsVersion.Text(), VersionText);
    EXPECT_EQ(box.zdsVersion.Text(), "2.0");
    ihmAbout = &box;
    ApplyTexts(TLanguage::French);
    EXPECT_EQ(box.Caption(), "A propos");
    EXPECT_EQ(box.lblVersion.Text(), "Version :");
    EXPECT_EQ(box.urlMail.Caption(), "Contacter l'auteur");
    EXPECT_EQ(box.zdsVersion.Text(), VersionText);
    EXPECT_EQ(box.zdsVersion.Text(), "2.0");
    ApplyTexts(TLanguage::English);
    ihmAbout = nullptr;
    EXPECT_EQ(box.urlMail.Caption(), "Contact the author");
    EXPECT_EQ(box.lblAuteur.Text(), "Author :");
}

TEST(AboutBox, Escape_HidesTheBox)
{
    TApplication application("AboutEscapeTest");
    TihmAbout box;
    box.Show();
    PostMessageA(box.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    application.ProcessMessages();
    EXPECT_FALSE(box.Visible());
}

TEST(AboutBox, OtherKeys_LeaveTheBoxOpen)
{
    TApplication application("AboutKeyTest");
    TihmAbout box;
    box.Show();
    PostMessageA(box.Handle(), WM_KEYDOWN, 'A', 0);
    PostMessageA(box.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    application.ProcessMessages();
    EXPECT_TRUE(box.Visible());
}
