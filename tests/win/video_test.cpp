#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "forms/ihmVideo.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "message_pump.h"

namespace {

// Builds an uncompressed 24-bit AVI clip in memory: one video stream of
// `frames` frames, each a different solid colour, with its index.
class TAviBuilder {
public:
    static std::string Build(int width, int height, int frames)
    {
        const uint32_t stride = static_cast<uint32_t>((width * 3 + 3) & ~3);
        const uint32_t frameBytes = stride * static_cast<uint32_t>(height);

        std::string avih;
        Dword(avih, 100000);  // 10 frames a second
        Dword(avih, frameBytes * 10);
        Dword(avih, 0);
        Dword(avih, 0x10);  // has an index
        Dword(avih, static_cast<uint32_t>(frames));
        Dword(avih, 0);
        Dword(avih, 1);
        Dword(avih, frameBytes);
        Dword(avih, static_cast<uint32_t>(width));
        Dword(avih, static_cast<uint32_t>(height));
        for (int i = 0; i < 4; ++i)
            Dword(avih, 0);

        std::string strh = "vidsDIB ";
        Dword(strh, 0);
        Word(strh, 0);
        Word(strh, 0);
        Dword(strh, 0);
        Dword(strh, 1);   // scale
        Dword(strh, 10);  // rate
        Dword(strh, 0);
        Dword(strh, static_cast<uint32_t>(frames));
        Dword(strh, frameBytes);
        Dword(strh, 0xFFFFFFFFu);
        Dword(strh, 0);
        Word(strh, 0);
        Word(strh, 0);
        Word(strh, static_cast<uint16_t>(width));
        Word(strh, static_cast<uint16_t>(height));

        std::string strf;
        Dword(strf, 40);
        Dword(strf, static_cast<uint32_t>(width));
        Dword(strf, static_cast<uint32_t>(height));
        Word(strf, 1);
        Word(strf, 24);
        Dword(strf, 0);  // BI_RGB
        Dword(strf, frameBytes);
        for (int i = 0; i < 4; ++i)
            Dword(strf, 0);

        std::string movi = "movi";
        std::string idx1;
        for (int f = 0; f < frames; ++f) {
            std::string pixels(frameBytes, '\0');
            for (uint32_t i = 0; i < frameBytes; ++i)
                pixels[i] = static_cast<char>((i % 3 == static_cast<uint32_t>(f % 3)) ? 0xE0 : 0x20);
            Dword(idx1, Fourcc("00db"));
            Dword(idx1, 0x10);  // key frame
            Dword(idx1, static_cast<uint32_t>(movi.size()));
            Dword(idx1, frameBytes);
            movi += Chunk("00db", pixels);
        }

        const std::string strl = "strl" + Chunk("strh", strh) + Chunk("strf", strf);
        const std::string hdrl = "hdrl" + Chunk("avih", avih) + Chunk("LIST", strl);
        const std::string body = "AVI " + Chunk("LIST", hdrl) + Chunk("LIST", movi) + Chunk("idx1", idx1);
        return Chunk("RIFF", body);
    }

private:
    static void Dword(std::string& out, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    static void Word(std::string& out, uint16_t v)
    {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    }
    static uint32_t Fourcc(const char* code)
    {
        return static_cast<uint8_t>(code[0]) | static_cast<uint8_t>(code[1]) << 8 |
               static_cast<uint8_t>(code[2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(code[3])) << 24;
    }
    static std::string Chunk(const char* id, const std::string& data)
    {
        std::string out(id, 4);
        Dword(out, static_cast<uint32_t>(data.size()));
        out += data;
        if (data.size() % 2)
            out += '\0';
        return out;
    }
};

// A file in the temporary directory, removed when the test ends.
class TTempFile {
public:
    TTempFile(const std::string& name, const std::string& bytes)
    {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "skv_" + std::to_string(GetCurrentProcessId()) + "_" + name;
        EXPECT_TRUE(WriteFileReplacing(path_, bytes));
    }
    ~TTempFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Dispatches messages, through the application's key preview, until `done`
// answers true or the deadline passes.
bool PumpUntil(TApplication& app, const std::function<bool()>& done)
{
    return ::PumpUntil(done, 5000, [&app] { app.ProcessMessages(); });
}

RECT WindowRect(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT ClientRect(HWND hwnd)
{
    RECT r = {0, 0, 0, 0};
    GetClientRect(hwnd, &r);
    return r;
}

class VideoWindowTest : public ::testing::Test {
protected:
    VideoWindowTest()
        : app("VideoTest"), clip("clip_64x48.avi", TAviBuilder::Build(64, 48, 6)),
          otherClip("clip_80x32.avi", TAviBuilder::Build(80, 32, 4))
    {
        video.utlVideo.OnStart = [this] { ++starts; };
    }

    TApplication app;
    TihmVideo video;
    TTempFile clip;
    TTempFile otherClip;
    int starts = 0;
};

}  // namespace

TEST(AviBuilder, SelfCheck_ClipHasRiffAviHeaderAndIndex)
{
    const std::string bytes = TAviBuilder::Build(64, 48, 2);
    ASSERT_GT(bytes.size(), 12u);
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    EXPECT_EQ(bytes.substr(8, 4), "AVI ");
    EXPECT_NE(bytes.find("idx1"), std::string::npos);
    EXPECT_EQ(bytes.size(), 8 + static_cast<size_t>(static_cast<uint8_t>(bytes[4]) |
                                                        static_cast<uint8_t>(bytes[5]) << 8 |
                                                        static_cast<uint8_t>(bytes[6]) << 16));
}

TEST_F(VideoWindowTest, NewWindow_IsHiddenAt20x20WithTheDesignClientSize)
{
    EXPECT_FALSE(video.Visible());
    EXPECT_EQ(video.Left(), 20);
    EXPECT_EQ(video.Top(), 20);
    const RECT client = ClientRect(video.Handle());
    EXPECT_EQ(client.right, 264);
    EXPECT_EQ(client.bottom, 187);
    EXPECT_EQ(video.Caption(), "");
}

TEST_F(VideoWindowTest, ShowEmailVideo_UncompressedClip_OpensPlaysAndShowsWindow)
{
    video.ShowEmailVideo(clip.Path(), false);
    EXPECT_TRUE(video.Visible());
    EXPECT_EQ(video.utlVideo.FileName(), clip.Path());
    EXPECT_TRUE(video.utlVideo.Active());
    EXPECT_TRUE(PumpUntil(app, [this] { return starts > 0; })) << "no ACN_START from the animation control";
    // The control takes the clip's frame size, at the client's top-left corner.
    EXPECT_EQ(video.utlVideo.Width(), 64);
    EXPECT_EQ(video.utlVideo.Height(), 48);
    POINT origin = {0, 0};
    MapWindowPoints(video.utlVideo.Handle(), video.Handle(), &origin, 1);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0);
}

TEST_F(VideoWindowTest, ShowEmailVideo_WithBorder_SizesFromFrameAndSmallCaptionMetrics)
{
    video.ShowEmailVideo(clip.Path(), false);
    const int frame = GetSystemMetrics(32);
    const int caption = GetSystemMetrics(51);
    const RECT r = WindowRect(video.Handle());
    EXPECT_EQ(r.right - r.left, 64 + 2 * frame - 2);
    EXPECT_EQ(r.bottom - r.top, 48 + caption + 2 * frame - 2);
    const LONG_PTR style = GetWindowLongPtrA(video.Handle(), GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_NE(GetWindowLongPtrA(video.Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
}

TEST_F(VideoWindowTest, ShowEmailVideo_NoBorder_WindowIsExactlyTheClipFrame)
{
    video.ShowEmailVideo(clip.Path(), true);
    const RECT r = WindowRect(video.Handle());
    EXPECT_EQ(r.right - r.left, 64);
    EXPECT_EQ(r.bottom - r.top, 48);
    const RECT client = ClientRect(video.Handle());
    EXPECT_EQ(client.right, 64);
    EXPECT_EQ(client.bottom, 48);
    EXPECT_EQ(GetWindowLongPtrA(video.Handle(), GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
}

TEST_F(VideoWindowTest, ShowEmailVideo_BorderOptionChangedWhileHidden_TakesEffectAtNextShowing)
{
    video.ShowEmailVideo(clip.Path(), true);
    video.Hide();
    video.ShowEmailVideo(clip.Path(), false);
    const RECT r = WindowRect(video.Handle());
    EXPECT_EQ(r.right - r.left, 64 + 2 * GetSystemMetrics(32) - 2);
    EXPECT_EQ(GetWindowLongPtrA(video.Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
}

TEST_F(VideoWindowTest, ShowEmailVideo_KeepsTheWindowPosition)
{
    video.SetLeft(150);
    video.SetTop(90);
    video.ShowEmailVideo(clip.Path(), false);
    EXPECT_EQ(video.Left(), 150);
    EXPECT_EQ(video.Top(), 90);
}

TEST_F(VideoWindowTest, ShowEmailVideo_MissingFile_DoesNothing)
{
    EXPECT_NO_THROW(video.ShowEmailVideo(clip.Path() + ".missing", false));
    EXPECT_FALSE(video.Visible());
    EXPECT_EQ(video.utlVideo.FileName(), "");
    EXPECT_FALSE(video.utlVideo.Active());
}

TEST_F(VideoWindowTest, ShowEmailVideo_NotAnAviFile_ThrowsAndStaysHidden)
{
    TTempFile text("not_a_clip.avi", "This is plain text, not a RIFF AVI clip.\r\n");
    try {
        video.ShowEmailVideo(text.Path(), false);
        FAIL() << "no error for a file that holds no clip";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find(text.Path()), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("AVI"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(video.Visible());
    EXPECT_FALSE(video.utlVideo.Active());
    // A good clip afterwards opens as usual.
    video.ShowEmailVideo(clip.Path(), false);
    EXPECT_TRUE(video.Visible());
    EXPECT_EQ(video.utlVideo.Width(), 64);
}

TEST_F(VideoWindowTest, ShowEmailVideo_WhileVisible_LeavesTheRunningClipUntouched)
{
    video.ShowEmailVideo(clip.Path(), true);
    ASSERT_TRUE(PumpUntil(app, [this] { return starts > 0; }));
    const int startsBefore = starts;
    video.ShowEmailVideo(otherClip.Path(), false);
    app.ProcessMessages();
    EXPECT_EQ(video.utlVideo.FileName(), clip.Path());
    EXPECT_EQ(video.utlVideo.Width(), 64);
    EXPECT_EQ(starts, startsBefore);
    const RECT r = WindowRect(video.Handle());
    EXPECT_EQ(r.right - r.left, 64) << "the border option must not change while visible";
}

TEST_F(VideoWindowTest, ShowEmailVideo_SameFileOtherCase_KeepsTheOpenClip)
{
    video.ShowEmailVideo(clip.Path(), false);
    video.Hide();
    std::string upper = clip.Path();
    CharUpperBuffA(&upper[0], static_cast<DWORD>(upper.size()));
    ASSERT_NE(upper, clip.Path());
    video.ShowEmailVideo(upper, false);
    EXPECT_TRUE(video.Visible());
    EXPECT_EQ(video.utlVideo.FileName(), clip.Path());
}

TEST_F(VideoWindowTest, ShowEmailVideo_OtherClipWhileHidden_OpensItWithItsFrameSize)
{
    video.ShowEmailVideo(clip.Path(), true);
    video.Hide();
    video.ShowEmailVideo(otherClip.Path(), true);
    EXPECT_EQ(video.utlVideo.FileName(), otherClip.Path());
    EXPECT_EQ(video.utlVideo.Width(), 80);
    EXPECT_EQ(video.utlVideo.Height(), 32);
    const RECT r = WindowRect(video.Handle());
    EXPECT_EQ(r.right - r.left, 80);
    EXPECT_EQ(r.bottom - r.top, 32);
}

TEST_F(VideoWindowTest, EscapeKey_HidesTheWindowAndKeepsTheClip)
{
    video.ShowEmailVideo(clip.Path(), false);
    PostMessageA(video.Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(PumpUntil(app, [this] { return !video.Visible(); }));
    EXPECT_EQ(video.utlVideo.FileName(), clip.Path());
}

TEST_F(VideoWindowTest, OtherKey_LeavesTheWindowOpen)
{
    video.ShowEmailVideo(clip.Path(), false);
    bool seen = false;
    PostMessageA(video.Handle(), WM_KEYDOWN, 'A', 0);
    PostMessageA(video.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(video.Handle(), WM_KEYDOWN, VK_SPACE, 0);
    PostMessageA(video.Handle(), WM_APP, 0, 0);  // marks that the keys before it were dispatched
    PumpUntil(app, [&] {
        MSG msg;
        if (PeekMessageA(&msg, video.Handle(), WM_APP, WM_APP, PM_NOREMOVE) == FALSE)
            seen = true;
        return seen;
    });
    EXPECT_TRUE(seen);
    EXPECT_TRUE(video.Visible());
}

TEST_F(VideoWindowTest, ClickOnTheClip_HidesTheWindow)
{
    video.ShowEmailVideo(clip.Path(), true);
    ASSERT_TRUE(video.Visible());
    // The clip lets the mouse through to the window, so a click on it is the window's click.
    RECT clipRect = WindowRect(video.utlVideo.Handle());
    const POINT centre = {(clipRect.left + clipRect.right) / 2, (clipRect.top + clipRect.bottom) / 2};
    EXPECT_EQ(SendMessageA(video.utlVideo.Handle(), WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTTRANSPARENT);
    EXPECT_EQ(WindowFromPoint(centre), video.Handle());
    const LPARAM at = MAKELPARAM(32, 24);
    PostMessageA(video.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(video.Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(PumpUntil(app, [this] { return !video.Visible(); }));
}

TEST_F(VideoWindowTest, Hiding_StopsTheAnimationAndTheNextShowingPlaysAgain)
{
    video.ShowEmailVideo(clip.Path(), false);
    ASSERT_TRUE(PumpUntil(app, [this] { return starts > 0; }));
    SendMessageA(video.Handle(), WM_CLOSE, 0, 0);  // the close box
    EXPECT_FALSE(video.Visible());
    EXPECT_FALSE(video.utlVideo.Active());
    EXPECT_EQ(video.utlVideo.FileName(), clip.Path());
    const int startsBefore = starts;
    video.ShowEmailVideo(clip.Path(), false);
    EXPECT_TRUE(video.utlVideo.Active());
    EXPECT_TRUE(PumpUntil(app, [&] { return starts > startsBefore; }));
}

TEST_F(VideoWindowTest, RealMouseClickOnTheClip_HidesTheWindow)
{
    video.ShowEmailVideo(clip.Path(), true);
    ASSERT_TRUE(video.Visible());
    app.ProcessMessages();
    const RECT clipRect = WindowRect(video.utlVideo.Handle());
    SetCursorPos((clipRect.left + clipRect.right) / 2, (clipRect.top + clipRect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
    EXPECT_TRUE(PumpUntil(app, [this] { return !video.Visible(); }));
}
