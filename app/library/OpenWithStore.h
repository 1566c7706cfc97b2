#pragma once
// The program last chosen for opening a listed file with a program of the
// user's choice, kept across runs in one small state file: a single line in
// the narrow code page, rewritten atomically.

#include "common/AtomicFile.h"

#include <QString>

inline constexpr char OpenWithFileName[] = "OpenWith.dat";

// Empty when the file is missing, unreadable or blank.
QString LoadOpenWithProgram(const QString& path);
TSaveResult SaveOpenWithProgram(const QString& path, const QString& program);

// The absolute path of the executable that text names: an executable file, or
// a command found on the search path. Empty when it names neither.
QString ResolveProgram(const QString& text);
