// What Windows reads from SkarnVale.exe before it runs: the manifest and the
// version resource, read from the built program beside the tests.
#include <gtest/gtest.h>

#include <windows.h>

#include "Version.h"

#include <string>
#include <vector>

namespace {
std::wstring ProgramPath()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L"\\/") + 1);
    return folder + L"SkarnVale.exe";
}

std::string ManifestOf(const std::wstring& exe)
{
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    std::string text;
    if (HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        const char* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
        text.assign(bytes, SizeofResource(module, found));
    }
    FreeLibrary(module);
    return text;
}

std::wstring VersionString(const std::vector<char>& block, const wchar_t* name)
{
    void* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !length)
        return {};
    return static_cast<const wchar_t*>(value);
}
}  // namespace

TEST(ExeResources, ManifestAsksForCommonControls6DpiAwarenessAndNoElevation)
{
    const std::string manifest = ManifestOf(ProgramPath());
    ASSERT_FALSE(manifest.empty()) << "no RT_MANIFEST 1 in SkarnVale.exe";
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2"), std::string::npos);
    EXPECT_NE(manifest.find("<dpiAware xmlns=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\">true"),
              std::string::npos);
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"asInvoker\""), std::string::npos);
    for (const char* os : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a", "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",
                           "1f676c76-80e1-4239-95bb-83d0f6d0da78", "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
        EXPECT_NE(manifest.find(os), std::string::npos) << os;
}

TEST(ExeResources, VersionResourceNamesTheProductAndTheProjectsVersion)
{
    const std::wstring exe = ProgramPath();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    // The project's version, as CMake's project() gives it to the build.
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(SKARNVALE_VERSION_MINOR, SKARNVALE_VERSION_MAJOR));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, SKARNVALE_VERSION_PATCH));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    EXPECT_EQ(VersionString(block, L"ProductName"), L"SkarnVale");
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"" SKARNVALE_VERSION);
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"" SKARNVALE_VERSION);
    EXPECT_NE(VersionString(block, L"FileDescription").find(L"POP3"), std::wstring::npos);
}

// The tests carry the program's resources, manifest included: the loader
// sends every window test to the common controls 6 the program gets.
TEST(ExeResources, ProcessRunsWithCommonControls6)
{
    ACTCTX_SECTION_KEYED_DATA found = {};
    found.cbSize = sizeof found;
    EXPECT_TRUE(FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll",
                                         &found));
}
