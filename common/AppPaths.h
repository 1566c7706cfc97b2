#pragma once
// Where the program's files are. ProgramDir is the folder of the executable
// (the pictures shipped with it). StateDir is where the settings, histories
// and bookmarks live: the program folder while it can be written, otherwise
// the user's application data folder, created when first asked for. Both end
// with the platform's separator and use it throughout, so a file name can be
// appended directly. The choice of StateDir is made once per run.
//
// Tests point both folders elsewhere with SetAppDirsForTesting; there is no
// environment variable or other outside switch.

#include <QString>

QString ProgramDir();
QString StateDir();

// Until called again with empty strings, ProgramDir and StateDir answer these
// folders (a trailing separator is added when missing). StateDir is not created.
void SetAppDirsForTesting(const QString& programDir, const QString& stateDir);

// The folder with the platform's separators and exactly one trailing
// separator; empty stays empty.
QString WithTrailingSeparator(const QString& folder);

// The rule behind StateDir: programDir when a file can be created in it,
// otherwise fallbackDir, which is created when missing. Both answers carry a
// trailing separator; empty when neither folder is usable.
QString ChooseStateDir(const QString& programDir, const QString& fallbackDir);
