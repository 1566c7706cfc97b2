#pragma once
// Windows animated cursors (.ani: RIFF "ACON" holding .cur/.ico frames) and a
// small animator that shows one on widgets. The reader trusts nothing in the
// file: every count, size and offset is checked against the bytes there are,
// and anything damaged yields no frames, so the caller keeps its default cursor.

#include <QByteArrayView>
#include <QCursor>
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <vector>

class QWidget;

struct TCursorFrame {
    QImage Image; // Format_ARGB32
    QPoint HotSpot;
};

// One step of the animation: which frame, and for how long (1/60 s units).
struct TCursorStep {
    int Frame = 0;
    int Jiffies = 1;
};

struct TAniCursorData {
    std::vector<TCursorFrame> Frames;
    std::vector<TCursorStep> Steps;
    QString Error; // why there are no frames; empty when the file was read

    bool isEmpty() const { return Frames.empty(); }
};

struct TCursorFrameRead {
    TCursorFrame Frame;
    QString Error;
    bool ok() const { return Error.isEmpty(); }
};

// Limits beyond which a file is taken as damaged, not as ambitious.
constexpr int MaxAniFrames = 256;
constexpr int MaxAniSteps = 4096;
constexpr int MaxCursorSide = 256;
constexpr qsizetype MaxAniFileSize = 16 * 1024 * 1024;

// Decodes one .ico/.cur resource: its largest image (BMP with AND mask, 32-bit
// with alpha, or PNG) with the hot spot (the centre for icons).
TCursorFrameRead ReadIconImage(QByteArrayView data);

TAniCursorData ReadAniCursor(QByteArrayView data);
TAniCursorData LoadAniCursor(const QString& path);

// Milliseconds of a step of jiffies.
int JiffiesToMs(int jiffies);

// Cycles an animated cursor's frames on the widgets it is attached to.
class TAnimatedCursor : public QObject {
    Q_OBJECT
public:
    explicit TAnimatedCursor(QObject* parent = nullptr);

    // Reads the file; returns why it has no frames, empty on success. A failed
    // load leaves no frames.
    QString Load(const QString& path);
    void SetData(const TAniCursorData& data);

    bool HasFrames() const { return !FCursors.empty(); }
    int StepCount() const { return static_cast<int>(FSteps.size()); }
    int CurrentStep() const { return FStep; }
    // The frame on show; the arrow when there are no frames.
    QCursor Cursor() const;

    // Without frames, Attach leaves the widget's cursor alone. Detach before
    // giving the widget another cursor for a while (e.g. while dragging).
    void Attach(QWidget* widget);
    void Detach(QWidget* widget);

    // Moves to the next step at once (the timer does this by itself).
    void Advance();

private:
    void Show();
    void Schedule();

    std::vector<QCursor> FCursors;
    std::vector<TCursorStep> FSteps;
    std::vector<QPointer<QWidget>> FWidgets;
    QTimer FTimer;
    int FStep = 0;
};
