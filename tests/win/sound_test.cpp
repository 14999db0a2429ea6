#include <gtest/gtest.h>

#include <windows.h>
#include <mmsystem.h>

#include <string>
#include <vector>

#include "app/Divers.h"
#include "framework/Files.h"

namespace {

struct TPlayed {
    std::string fileName;
    unsigned flags;
};

// A 16-bit mono PCM wave file of `milliseconds` of a square tone.
std::string WaveBytes(int milliseconds)
{
    const uint32_t rate = 8000;
    const uint32_t samples = rate * static_cast<uint32_t>(milliseconds) / 1000;
    std::string data;
    for (uint32_t i = 0; i < samples; ++i) {
        const int16_t v = (i / 10) % 2 ? 8000 : -8000;
        data += static_cast<char>(v & 0xFF);
        data += static_cast<char>((v >> 8) & 0xFF);
    }
    auto dword = [](std::string& s, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto word = [](std::string& s, uint16_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>(v >> 8);
    };
    std::string fmt;
    word(fmt, 1);
    word(fmt, 1);
    dword(fmt, rate);
    dword(fmt, rate * 2);
    word(fmt, 2);
    word(fmt, 16);
    std::string out = "RIFF";
    dword(out, static_cast<uint32_t>(4 + 8 + fmt.size() + 8 + data.size()));
    out += "WAVEfmt ";
    dword(out, static_cast<uint32_t>(fmt.size()));
    out += fmt;
    out += "data";
    dword(out, static_cast<uint32_t>(data.size()));
    return out + data;
}

class TTempWave {
public:
    TTempWave(const std::string& name, const std::string& bytes)
    {
        char dir[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, dir);
        path_ = std::string(dir) + "skv_" + std::to_string(GetCurrentProcessId()) + "_" + name;
        EXPECT_TRUE(WriteFileReplacing(path_, bytes));
    }
    ~TTempWave() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

TEST(PlaySoundFile, ExistingFile_HandedToPlayerAsynchronouslyAlone)
{
    TTempWave wave("ding.wav", WaveBytes(200));
    std::vector<TPlayed> played;
    EXPECT_TRUE(PlaySoundFile(wave.Path(), [&](const char* name, unsigned flags) {
        played.push_back({name, flags});
    }));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].fileName, wave.Path());
    // Asynchronous alone: no default sound suppressed, no waiting for a sound still playing.
    EXPECT_EQ(played[0].flags, 1u);
    EXPECT_EQ(played[0].flags, static_cast<unsigned>(SND_ASYNC));
}

TEST(PlaySoundFile, MissingFile_PlaysNothing)
{
    std::vector<TPlayed> played;
    EXPECT_FALSE(PlaySoundFile("C:\\no\\such\\dir\\missing.wav", [&](const char* name, unsigned flags) {
        played.push_back({name, flags});
    }));
    EXPECT_TRUE(played.empty());
}

TEST(PlaySoundFile, EmptyNameOrDirectory_PlaysNothing)
{
    std::vector<TPlayed> played;
    auto player = [&](const char* name, unsigned flags) { played.push_back({name, flags}); };
    char dir[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, dir);
    EXPECT_FALSE(PlaySoundFile("", player));
    EXPECT_FALSE(PlaySoundFile(dir, player));
    EXPECT_TRUE(played.empty());
}

TEST(PlaySoundFile, FileThatIsNoWave_HandedToPlayerAllTheSame)
{
    TTempWave notWave("broken.wav", "not a wave file at all");
    std::vector<TPlayed> played;
    EXPECT_TRUE(PlaySoundFile(notWave.Path(), [&](const char* name, unsigned flags) {
        played.push_back({name, flags});
    }));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].fileName, notWave.Path());
}

TEST(PlaySoundFile, TwoSoundsInQuickSuccession_ReturnAtOnceThroughThePlatformPlayer)
{
    // Two seconds of sound each: waiting for either would show in the elapsed time.
    TTempWave first("first.wav", WaveBytes(2000));
    TTempWave second("second.wav", WaveBytes(2000));
    const DWORD start = GetTickCount();
    EXPECT_TRUE(PlaySoundFile(first.Path()));
    EXPECT_TRUE(PlaySoundFile(second.Path()));
    EXPECT_LT(GetTickCount() - start, 1500u);
    sndPlaySoundA(nullptr, 0);  // silence whatever still plays
}

TEST(PlaySoundFile, MissingFileWithRealPlayer_AnswersFalse)
{
    EXPECT_FALSE(PlaySoundFile("C:\\no\\such\\dir\\missing.wav"));
}

TEST(HasWaveDevice, AgreesWithTheWaveOutputDeviceCount)
{
    const bool devices = waveOutGetNumDevs() > 0;
    EXPECT_EQ(HasWaveDevice(), devices);
    // With a device, a wave output of that device can report its capabilities;
    // without one, asking for device 0 fails.
    WAVEOUTCAPSA caps = {};
    const MMRESULT result = waveOutGetDevCapsA(0, &caps, sizeof caps);
    EXPECT_EQ(HasWaveDevice(), result == MMSYSERR_NOERROR);
}
