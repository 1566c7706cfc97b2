#include "ReaderFixture.h"

#include "common/AppPaths.h"
#include "common/Gbk.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>

void ReaderFixture::SetUp()
{
    ASSERT_TRUE(FDir.isValid());
    SetAppDirsForTesting(FDir.path(), FDir.path());
}

void ReaderFixture::TearDown()
{
    if (FWindow)
        CloseWindow();
    SetAppDirsForTesting(QString(), QString());
}

TFrmFolvane& ReaderFixture::Start()
{
    auto prompter = std::make_unique<TFakePrompter>(&FLog);
    prompter->QuestionAnswers = &FQuestionAnswers;
    prompter->ConfirmAnswers = &FConfirmAnswers;
    prompter->OpenFilesAnswers = &FOpenFilesAnswers;
    prompter->FolderAnswers = &FFolderAnswers;
    prompter->FontAnswers = &FFontAnswers;
    prompter->LineSpacingAnswers = &FLineSpacingAnswers;
    prompter->CountDownTickMs = &FCountDownTickMs;
    FWindow = std::make_unique<TFrmFolvane>(std::move(prompter), std::make_unique<TFakeShell>(&FShellCalls));
    FWindow->resize(1200, 900);
    FWindow->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(FWindow.get()));
    QCoreApplication::processEvents();
    return *FWindow;
}

void ReaderFixture::CloseWindow()
{
    FWindow->close();
    FWindow.reset();
}

QString ReaderFixture::WriteFile(const QString& name, const QByteArray& bytes) const
{
    const QString path = FDir.filePath(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

QByteArray ReaderFixture::ReadFile(const QString& name) const
{
    QFile file(FDir.filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString ReaderFixture::WriteBook(const QString& name, const QString& text) const
{
    QString crlf = text;
    crlf.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\n', QStringLiteral("\r\n"));
    return WriteFile(name, ToGbk(crlf));
}

QString ReaderFixture::FullLine()
{
    return QStringLiteral("一二三四五六七八九十").repeated(4);
}

QString ReaderFixture::RepeatedLines(int count, const QString& line)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines.join(u'\n') + u'\n';
}

QStringList ReaderFixture::MenuCaptions(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* item : menu->actions())
        texts << item->text();
    return texts;
}

void ReaderFixture::Settle()
{
    auto* area = FWindow->findChild<QAbstractScrollArea*>(QStringLiteral("ScrollBoxPages"));
    for (int i = 0; i < 4; ++i) {
        QCoreApplication::processEvents();
        area->viewport()->repaint();
    }
}
