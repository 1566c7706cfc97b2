#include "bench/BookGenerator.h"

#include "common/Gbk.h"

#include <QFile>
#include <QtEndian>

namespace {

// Common characters, all within GB2312.
const QString& CommonHanzi()
{
    static const QString text = QStringLiteral(
        "的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可她里后"
        "小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已老从动两长知"
        "民样现分将外但身些与高意进把法此实回二理美点月明其种声全工己话儿者向情部正名定女问力机给等几很业最间新"
        "什打便位因重被走电四第门相次东政海口使教西再平真听世气信北少关并内加化由却代军产入先山五太水万市眼体别"
        "处总才场师书比住员九笑性通目华报立马命张活难神数件安表原车白应路期叫死常提感金何更反合放做系计或司利受"
        "光王果亲界及今京务制解各任至清物台象记边共风战干接它许八特觉望直服毛林题建南度统色字请交爱让认算论百吃"
        "义科怎元社术结六功指思非流每青管夫连远资队跟带花快条院变联言权往展该领传近留红治决周保达办运武半候七必"
        "城父强步完革深区即求品士转量空甚众技轻程告江语英基派满式李息写呢识极令黄德收脸钱党倒未持取设始版双历越"
        "史商千片容研像找友孩站广改议形委早房音火际则首单据导影失拿网香似斯专石若兵弟谁校读志飞观争究包组造落视"
        "济喜离虽坏兴切团亚推云雨雪夜春秋冬夏剑刀客侠楼桥河湖月星灯窗门墙村镇");
    return text;
}

const QString LineEnd = QStringLiteral("\r\n");

} // namespace

TBookGenerator::TBookGenerator(uint32_t seed) : FRandom(seed) {}

uint32_t TBookGenerator::Below(uint32_t n)
{
    // Not std::uniform_int_distribution: its results differ between libraries.
    return uint32_t((uint64_t(FRandom()) * n) >> 32);
}

QChar TBookGenerator::Hanzi()
{
    const QString& hanzi = CommonHanzi();
    return hanzi[Below(uint32_t(hanzi.size()))];
}

QString TBookGenerator::Heading()
{
    ++FChapter;
    QString line = QStringLiteral("第") + QString::number(FChapter) + QStringLiteral("章 ");
    const uint32_t length = 2 + Below(7);
    for (uint32_t i = 0; i < length; ++i)
        line += Hanzi();
    return line + LineEnd;
}

QString TBookGenerator::Paragraph()
{
    static const QString endings = QStringLiteral("。。。！？");
    const uint32_t target = 50 + Below(351);
    QString line = QStringLiteral("　　");
    line.reserve(target + 8);
    uint32_t written = 0;
    while (written < target) {
        const bool speech = Below(6) == 0;
        if (speech) {
            line += u'“';
            ++written;
        }
        // A sentence of a few clauses; now and then a number in ASCII digits,
        // which puts double-byte characters on odd offsets.
        const uint32_t clauses = 1 + Below(4);
        for (uint32_t c = 0; c < clauses && written < target; ++c) {
            if (c > 0) {
                line += u'，';
                ++written;
            }
            if (Below(25) == 0) {
                const QString number = QString::number(1 + Below(2000));
                line += number;
                written += uint32_t(number.size());
            }
            const uint32_t clause = 4 + Below(13);
            for (uint32_t i = 0; i < clause; ++i)
                line += Hanzi();
            written += clause;
        }
        line += endings[Below(uint32_t(endings.size()))];
        ++written;
        if (speech) {
            line += u'”';
            ++written;
        }
    }
    return line + LineEnd;
}

QString TBookGenerator::NextLine()
{
    if (FBlankDue) {
        FBlankDue = false;
        return LineEnd;
    }
    if (FParagraphsLeft == 0) {
        FParagraphsLeft = 20 + int(Below(41));
        FBlankDue = Below(2) == 0;
        return Heading();
    }
    --FParagraphsLeft;
    FBlankDue = Below(12) == 0;
    return Paragraph();
}

namespace {

QByteArray Encoded(const QString& text, TBookEncoding encoding)
{
    switch (encoding) {
    case TBookEncoding::Gbk:
        return ToGbk(text);
    case TBookEncoding::Utf16Le: {
        QByteArray bytes(text.size() * 2, Qt::Uninitialized);
        qToLittleEndian<char16_t>(text.utf16(), text.size(), bytes.data());
        return bytes;
    }
    case TBookEncoding::Utf8:
        return text.toUtf8();
    }
    return {};
}

QByteArray Mark(TBookEncoding encoding)
{
    switch (encoding) {
    case TBookEncoding::Utf16Le:
        return QByteArray("\xFF\xFE", 2);
    case TBookEncoding::Utf8:
        return QByteArray("\xEF\xBB\xBF", 3);
    case TBookEncoding::Gbk:
        break;
    }
    return {};
}

} // namespace

QByteArray MakeBook(qint64 targetBytes, TBookEncoding encoding, uint32_t seed)
{
    TBookGenerator generator(seed);
    QByteArray book = Mark(encoding);
    book.reserve(targetBytes + 4096);
    while (book.size() < targetBytes)
        book += Encoded(generator.NextLine(), encoding);
    return book;
}

TBookResult WriteBook(const QString& fileName, qint64 targetBytes, TBookEncoding encoding, uint32_t seed)
{
    TBookResult result;
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.Error = file.errorString();
        return result;
    }
    TBookGenerator generator(seed);
    QByteArray pending = Mark(encoding);
    qint64 total = pending.size();
    auto flush = [&] {
        if (file.write(pending) != pending.size())
            return false;
        pending.clear();
        return true;
    };
    while (total < targetBytes) {
        const QByteArray line = Encoded(generator.NextLine(), encoding);
        pending += line;
        total += line.size();
        if (pending.size() >= (1 << 20) && !flush()) {
            result.Error = file.errorString();
            return result;
        }
    }
    if (!flush() || !file.flush()) {
        result.Error = file.errorString();
        return result;
    }
    result.Bytes = total;
    result.Ok = true;
    return result;
}
