#pragma once
// A reader window on a fresh program folder of its own, answering through a
// scripted prompter.

#include "FakePrompter.h"
#include "FakeShell.h"
#include "app/UnitFolvane.h"

#include <QByteArray>
#include <QMenu>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

class ReaderFixture : public testing::Test {
public:
    // 40 double-byte characters: one display line.
    static QString FullLine();
    static QString RepeatedLines(int count, const QString& line = FullLine());
    static QStringList MenuCaptions(const QMenu* menu);

protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the window, maximised and shown offscreen.
    TFrmFolvane& Start();
    // Closes the window as the close box does, and destroys it.
    void CloseWindow();

    QString StatePath(const QString& name) const { return FDir.filePath(name); }
    QString WriteFile(const QString& name, const QByteArray& bytes) const;
    QByteArray ReadFile(const QString& name) const;
    // A GBK book of the given text (UTF-8 source), CR LF line ends.
    QString WriteBook(const QString& name, const QString& text) const;
    // Lets the window lay out and paint, so the page in the middle becomes current.
    void Settle();

    template <typename T>
    T* Find(const char* name) const
    {
        T* found = FWindow->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    QTemporaryDir FDir;
    TPrompterLog FLog;
    std::deque<bool> FQuestionAnswers;
    std::deque<bool> FConfirmAnswers;
    std::deque<QStringList> FOpenFilesAnswers;
    std::deque<QString> FFolderAnswers;
    std::deque<std::optional<TFontChoice>> FFontAnswers;
    std::deque<std::optional<int>> FLineSpacingAnswers;
    int FCountDownTickMs = 0;
    std::vector<TShellCall> FShellCalls;
    std::unique_ptr<TFrmFolvane> FWindow;
};
