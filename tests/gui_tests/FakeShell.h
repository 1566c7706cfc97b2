#pragma once
// A shell that records what the window hands to the desktop.

#include "app/library/Shell.h"

#include <QString>

#include <vector>

struct TShellCall {
    QString Command; // "OpenFile", "OpenWith" or "ShowProperties"
    QString Path;

    bool operator==(const TShellCall&) const = default;
};

class TFakeShell : public TShell {
public:
    explicit TFakeShell(std::vector<TShellCall>* log)
        : FLog(log)
    {
    }

    bool OpenFile(const QString& path) override
    {
        FLog->push_back({QStringLiteral("OpenFile"), path});
        return true;
    }
    void OpenWith(const QString& path) override { FLog->push_back({QStringLiteral("OpenWith"), path}); }
    void ShowProperties(const QString& path) override { FLog->push_back({QStringLiteral("ShowProperties"), path}); }

private:
    std::vector<TShellCall>* FLog;
};
