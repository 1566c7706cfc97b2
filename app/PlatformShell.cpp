#include "app/PlatformShell.h"

#include "app/Prompter.h"
#include "app/library/FileProperties.h"
#include "app/library/OpenWithStore.h"
#include "common/AppPaths.h"
#include "dialogs/UnitFileProperties.h"
#include "dialogs/UnitOpenWith.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QProcess>
#include <QUrl>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <shellapi.h>

#include <string>
#endif

TPlatformShell::TPlatformShell(QWidget* owner)
    : FOwner(owner)
{
}

QWidget* TPlatformShell::Owner() const
{
    if (FOwner)
        return FOwner;
    return QApplication::activeWindow();
}

#ifdef _WIN32

// The wide-character calls: a path the ANSI code page cannot spell still reaches the shell intact.
namespace {

std::wstring Wide(const QString& text)
{
    return QDir::toNativeSeparators(text).toStdWString();
}

HWND OwnerHandle(QWidget* owner)
{
    return owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
}

QString GetSystemDir()
{
    wchar_t buffer[MAX_PATH];
    const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return QString::fromWCharArray(buffer, static_cast<int>(length));
}

} // namespace

bool TPlatformShell::OpenFile(const QString& path)
{
    const HWND owner = OwnerHandle(Owner());
    const std::wstring file = Wide(path);
    const auto code
        = reinterpret_cast<INT_PTR>(ShellExecuteW(owner, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (code > 32)
        return true;
    // No usable association: the system's Open With dialog instead.
    if (code == SE_ERR_ACCESSDENIED || code == SE_ERR_ASSOCINCOMPLETE || code == SE_ERR_NOASSOC) {
        const std::wstring parameters = L"shell32.dll,OpenAs_RunDLL " + file;
        const std::wstring systemDir = GetSystemDir().toStdWString();
        ShellExecuteW(owner, nullptr, L"RUNDLL32.EXE", parameters.c_str(), systemDir.c_str(), SW_HIDE);
    }
    return false;
}

void TPlatformShell::OpenWith(const QString& path)
{
    const std::wstring parameters = L"shell32.dll,OpenAs_RunDLL " + Wide(path);
    ShellExecuteW(OwnerHandle(Owner()), L"open", L"rundll32.exe", parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void TPlatformShell::ShowProperties(const QString& path)
{
    const std::wstring file = Wide(path);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.lpVerb = L"Properties";
    info.lpFile = file.c_str();
    ShellExecuteExW(&info);
}

#else

bool TPlatformShell::OpenFile(const QString& path)
{
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    // As the Windows shell does for a type without a program: let the user choose one.
    OpenWith(path);
    return false;
}

void TPlatformShell::OpenWith(const QString& path)
{
    const std::optional<QString> program = ChooseProgram(Owner(), path, LastProgram(), &ResolveProgram);
    if (!program)
        return;
    RememberProgram(*program);
    if (!QProcess::startDetached(*program, {path}))
        TQtPrompter().Error(Owner(), QStringLiteral("无法启动程序\r\n") + *program);
}

void TPlatformShell::ShowProperties(const QString& path)
{
    const TFileProperties properties = ReadFileProperties(path);
    if (!properties.Exists) {
        TQtPrompter().Notice(Owner(), QStringLiteral("文件不存在\r\n") + path);
        return;
    }
    ShowFilePropertiesDialog(Owner(), properties);
}

#endif

QString TPlatformShell::LastProgram()
{
    if (!FLastProgramLoaded) {
        FLastProgramLoaded = true;
        FLastProgram = LoadOpenWithProgram(StateDir() + QLatin1String(OpenWithFileName));
    }
    return FLastProgram;
}

void TPlatformShell::RememberProgram(const QString& program)
{
    FLastProgram = program;
    FLastProgramLoaded = true;
    // Not being able to keep the choice for the next run is no reason to refuse this one.
    SaveOpenWithProgram(StateDir() + QLatin1String(OpenWithFileName), program);
}
