#include "unitProcessWindowFacts.h"

#include <iterator>

#include "../framework/Locale.h"
#include "../framework/WideText.h"
#include "unitProcessShell.h"
#include "unitProcessWindows.h"

namespace {
// Windows Vista's access right and call, looked up at run time: the build
// targets Windows XP, which has neither (and then the full right and no name).
const DWORD kQueryLimited = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
using TQueryImageName = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);

TQueryImageName QueryImageName()
{
    static const TQueryImageName query = reinterpret_cast<TQueryImageName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    return query;
}

struct TMatching {
    const TPopupRule* rule;
    TShellProcesses shell;
    std::vector<TWindowFacts> found;
};

BOOL CALLBACK CollectMatching(HWND hwnd, LPARAM matching)
{
    auto* into = reinterpret_cast<TMatching*>(matching);
    const std::string title = CandidateTitle(hwnd, into->shell);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (title.empty() || process == GetCurrentProcessId())
        return TRUE;
    bool openable = false;
    const TWindowFacts facts{title, ProgramOfProcess(process, openable), WindowClassOf(hwnd)};
    if (!openable)
        return TRUE;
    if (RuleMatches(*into->rule, facts, LocaleCompareText))
        into->found.push_back(facts);
    return TRUE;
}
}  // namespace

std::string ProgramOfProcess(DWORD process)
{
    bool openable = false;
    return ProgramOfProcess(process, openable);
}

std::string ProgramOfProcess(DWORD process, bool& openable)
{
    // A program run as administrator keeps its process closed to the full
    // right; the limited one, which names the program, stays open to everyone.
    HANDLE handle = process ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, process) : nullptr;
    openable = handle != nullptr;
    if (!handle && process)
        handle = OpenProcess(kQueryLimited, FALSE, process);
    if (!handle)
        return std::string();
    const TQueryImageName query = QueryImageName();
    wchar_t path[MAX_PATH * 2];
    DWORD size = MAX_PATH * 2;
    const bool known = query && query(handle, 0, path, &size) != 0;
    CloseHandle(handle);
    if (!known)
        return std::string();
    std::wstring name(path, size);
    const std::size_t slash = name.find_last_of(L"\\/");
    return Narrow(slash == std::wstring::npos ? name : name.substr(slash + 1));
}

std::string WindowClassOf(HWND hwnd)
{
    wchar_t name[256];
    const int length = GetClassNameW(hwnd, name, 256);
    return length > 0 ? Narrow(name, static_cast<std::size_t>(length)) : std::string();
}

bool CanOpenProcess(DWORD process)
{
    bool openable = false;
    ProgramOfProcess(process, openable);
    return openable;
}

TWindowFacts WindowFactsOf(HWND hwnd)
{
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    return {GetWindowTitle(hwnd), ProgramOfProcess(process), WindowClassOf(hwnd)};
}

std::vector<TWindowFacts> OpenWindowsMatching(const TPopupRule& rule)
{
    TMatching matching{&rule, ShellProcesses(), {}};
    EnumWindows(CollectMatching, reinterpret_cast<LPARAM>(&matching));
    return matching.found;
}

const TWindowFactsCache::TKnown& TWindowFactsCache::Of(HWND hwnd)
{
    auto known = known_.find(hwnd);
    if (known != known_.end())
        return known->second;
    if (known_.size() >= 4096)  // windows come and go: keep the memory bounded
        known_.clear();
    TKnown& facts = known_[hwnd];
    GetWindowThreadProcessId(hwnd, &facts.process);
    facts.windowClass = WindowClassOf(hwnd);
    return facts;
}

const TWindowFactsCache::TKnown& TWindowFactsCache::WithProgram(HWND hwnd)
{
    const TKnown& known = Of(hwnd);
    if (!known.programKnown) {
        TKnown& facts = known_[hwnd];
        facts.program = ProgramOfProcess(facts.process, facts.openable);
        facts.programKnown = true;
    }
    return known;
}

bool TWindowFactsCache::Opens(HWND hwnd)
{
    const TKnown& known = Of(hwnd);
    if (known.programKnown || known.opensKnown)
        return known.openable;
    TKnown& facts = known_[hwnd];
    HANDLE handle = facts.process ? OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, facts.process) : nullptr;
    facts.openable = handle != nullptr;
    facts.opensKnown = true;
    if (handle)
        CloseHandle(handle);
    return facts.openable;
}

void TWindowFactsCache::KeepOnly(const std::unordered_set<std::uintptr_t>& open)
{
    for (auto it = known_.begin(); it != known_.end();)
        it = open.count(reinterpret_cast<std::uintptr_t>(it->first)) ? std::next(it) : known_.erase(it);
}
