#pragma once
// The desktop's own shell: the file's associated program, an "Open With"
// choice and a properties sheet. On Windows these are the system's; elsewhere
// the associated program comes from the desktop, and the choice of a program
// and the properties sheet are dialogs of ours.

#include "app/library/Shell.h"

#include <QPointer>
#include <QString>
#include <QWidget>

class TPlatformShell : public TShell {
public:
    // Dialogs and shell windows belong to owner, or to the active window when none is given.
    explicit TPlatformShell(QWidget* owner = nullptr);

    bool OpenFile(const QString& path) override;
    void OpenWith(const QString& path) override;
    void ShowProperties(const QString& path) override;

private:
    QWidget* Owner() const;
    QString LastProgram();
    void RememberProgram(const QString& program);

    QPointer<QWidget> FOwner;
    QString FLastProgram;
    bool FLastProgramLoaded = false;
};
