#pragma once
// Handing a file to the desktop: the program associated with its type, a
// program the user chooses, and a sheet of the file's properties. The window
// reaches the desktop only through this, so tests record the calls instead
// of starting programs or showing the desktop's dialogs.

#include <QString>

class TShell {
public:
    virtual ~TShell() = default;

    // Opens the file with the program associated with its type. False when
    // that failed; the real shell has then offered the choice of a program.
    virtual bool OpenFile(const QString& path) = 0;
    // Lets the user choose a program and opens the file with it.
    virtual void OpenWith(const QString& path) = 0;
    virtual void ShowProperties(const QString& path) = 0;
};
