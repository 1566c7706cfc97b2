#pragma once
// Message boxes and modal pickers: the one road by which the reader asks the
// user something, so tests can script the answers instead of showing dialogs.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

struct TFontChoice {
    QFont Font;
    QColor Color;
};

class TPrompter {
public:
    virtual ~TPrompter() = default;

    // "提示" with the information icon.
    virtual void Notice(QWidget* parent, const QString& text) = 0;
    // "确认" with the question icon; true for Yes.
    virtual bool Question(QWidget* parent, const QString& text) = 0;
    // "错误" with the error icon.
    virtual void Error(QWidget* parent, const QString& text) = 0;

    virtual QStringList PickOpenFiles(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter) = 0;
    virtual QString PickFolder(QWidget* parent, const QString& title, const QString& folder) = 0;
    virtual std::optional<TFontChoice> PickFont(QWidget* parent, const TFontChoice& initial) = 0;
    virtual std::optional<QColor> PickColor(QWidget* parent, const QColor& initial) = 0;
    // The count-down confirmation of a new bookmark; true when confirmed.
    virtual bool ConfirmSetMark(QWidget* parent) = 0;
    // The line-spacing dialog; the chosen spacing, or nothing when cancelled.
    virtual std::optional<int> PickLineSpacing(QWidget* parent, int lineSpacing) = 0;
};

// The real prompter: Qt dialogs with Chinese button texts.
class TQtPrompter : public TPrompter {
public:
    void Notice(QWidget* parent, const QString& text) override;
    bool Question(QWidget* parent, const QString& text) override;
    void Error(QWidget* parent, const QString& text) override;
    QStringList PickOpenFiles(QWidget* parent, const QString& title, const QString& folder,
                              const QString& filter) override;
    QString PickFolder(QWidget* parent, const QString& title, const QString& folder) override;
    std::optional<TFontChoice> PickFont(QWidget* parent, const TFontChoice& initial) override;
    std::optional<QColor> PickColor(QWidget* parent, const QColor& initial) override;
    bool ConfirmSetMark(QWidget* parent) override;
    std::optional<int> PickLineSpacing(QWidget* parent, int lineSpacing) override;
};
