#include "dialogs/UnitConfim.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace {

// A blue question mark in a white speech bubble, on a transparent ground.
QPixmap QuestionBubble()
{
    QPixmap pixmap(33, 33);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath bubble;
    bubble.addEllipse(QRectF(2.5, 2.5, 28, 23));
    QPainterPath tail;
    tail.moveTo(9, 21);
    tail.lineTo(6, 31);
    tail.lineTo(16, 24);
    tail.closeSubpath();
    painter.setPen(QPen(QColor(90, 110, 130), 1));
    painter.setBrush(Qt::white);
    painter.drawPath(bubble.united(tail));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(19);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(30, 100, 200));
    painter.drawText(QRectF(2.5, 2.5, 28, 23), Qt::AlignCenter, QStringLiteral("?"));
    return pixmap;
}

} // namespace

TFrmConfim::TFrmConfim(QWidget* parent, int tickMs)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmConfim"));
    setWindowTitle(QStringLiteral("确认"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    setFixedSize(262, 106);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(24, 20, 33, 33);
    Image1->setPixmap(QuestionBubble());

    Label1 = new QLabel(QStringLiteral("确实要在本页设书签吗？"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(70, 28, 180, 18);

    RzButton1 = new QPushButton(QStringLiteral("3秒后自动确定(&O)"), this);
    RzButton1->setObjectName(QStringLiteral("RzButton1"));
    RzButton1->setGeometry(40, 70, 120, 25);
    RzButton1->setDefault(true);
    connect(RzButton1, &QPushButton::clicked, this, &QDialog::accept);

    RzButton2 = new QPushButton(QStringLiteral("取消(&C)"), this);
    RzButton2->setObjectName(QStringLiteral("RzButton2"));
    RzButton2->setGeometry(168, 70, 75, 25);
    connect(RzButton2, &QPushButton::clicked, this, &QDialog::reject);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(tickMs);
    connect(Timer1, &QTimer::timeout, this, &TFrmConfim::Timer1Timer);

    FormCreate();
    Timer1->start();
}

void TFrmConfim::FormCreate()
{
    setFont(QFont(QStringLiteral("宋体"), 9));
    FCountDown = 3;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TFrmConfim::Timer1Timer()
{
    --FCountDown;
    if (FCountDown < 1) {
        Timer1->stop();
        accept();
        return;
    }
    RzButton1->setText(QString::number(FCountDown) + QStringLiteral("秒后自动确定(&O)"));
}

bool ConfirmSetMark(QWidget* parent)
{
    TFrmConfim dialog(parent);
    return dialog.exec() == QDialog::Accepted;
}
