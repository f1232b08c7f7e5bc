// SPDX-FileCopyrightText: 2026 Tarnwick
// SPDX-License-Identifier: MIT

// solvane-launch.exe, what the Start-menu entry and the sign-in start run on Windows: it starts
// Solvane in the user's own quotes folder, %APPDATA%\Solvane, given a copy of the sample quotes
// the first time; later starts and updates never replace it. A program of the GUI subsystem,
// because Windows opens a console window for a batch file.
#include <windows.h>

#include <string>

namespace
{

std::wstring environment(const wchar_t *name)
{
    std::wstring value(GetEnvironmentVariableW(name, nullptr, 0), L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), DWORD(value.size())));
    return value;
}

// This program's folder, with its trailing backslash.
std::wstring ownFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    DWORD length;
    while ((length = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()))) == path.size())
        path.resize(path.size() * 2);
    path.resize(length);
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Nothing else would tell the user: there is no console.
int fail(const std::wstring &what)
{
    const DWORD error = GetLastError();
    wchar_t *reason = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, error, 0, reinterpret_cast<wchar_t *>(&reason), 0, nullptr);
    MessageBoxW(nullptr, (what + L"\n\n" + (reason ? reason : L"")).c_str(), L"Solvane",
                MB_OK | MB_ICONERROR);
    LocalFree(reason);
    return 1;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t *arguments, int)
{
    const std::wstring here = ownFolder();
    const std::wstring appData = environment(L"APPDATA");
    if (appData.empty())
        return fail(L"APPDATA names no folder.");
    const std::wstring folder = appData + L"\\Solvane";
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return fail(L"Solvane cannot make its folder " + folder + L".");
    // Only the first time: the quotes there are the user's own from then on.
    CopyFileW((here + L"Quotes.txt").c_str(), (folder + L"\\Quotes.txt").c_str(), TRUE);

    const std::wstring program = here + L"solvane.exe";
    std::wstring command = L"\"" + program + L"\"";
    if (*arguments)
        command += L" " + std::wstring(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                        nullptr, folder.c_str(), &startup, &process))
        return fail(L"Solvane cannot start " + program + L".");
    // Windows lets the program the user just started take the foreground; this one passes that
    // on, for a window of its own or for the running copy it shows.
    AllowSetForegroundWindow(process.dwProcessId);
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
