// The main window's settings: loading them into the window, measuring the
// body font, preparing the paper, and writing them back.

#include "app/ControlTag.h"
#include "app/UnitFolvane.h"
#include "app/model/SettingsStore.h"
#include "app/view/PagePublicMsg.h"
#include "app/view/PageRenderer.h"
#include "app/view/Paper.h"
#include "common/AppPaths.h"

#include <QLabel>
#include <QLocale>
#include <QSlider>
#include <QTimer>

#include <cmath>

namespace {

const QString FooterAddress = QStringLiteral("http://www.quillmere.com");

} // namespace

void TFrmFolvane::LoadSettings()
{
    const TSettings settings = LoadSettingsFile(StateDir() + QLatin1String(SettingsFileName)).Settings;

    FHisFileCount = settings.HisFileCount;
    FHisFolderCount = settings.HisFolderCount;
    FClearFileHis = settings.ClearFileHis;
    FClearFolderHis = settings.ClearFolderHis;
    FAutoLocation = settings.AutoLocation;
    FAutoOpenNext = settings.AutoOpenNext;
    FSmoothFont = settings.SmoothFont;
    FShowMarkInPage = settings.ShowMarkInPage;
    FAAFont.SetQuality(FSmoothFont ? TAAFont::QualitySmooth : TAAFont::QualityNone);
    ScrollBoxPages->SetBackgroundColor(QColor(RgbFromColorRef(settings.ViewerColor)));

    PagePublicMsg.FileName.clear();
    PagePublicMsg.FooterText = FooterAddress;
    PagePublicMsg.PageColor = settings.PageColor;
    PagePublicMsg.UseBg = settings.UseBg;
    PagePublicMsg.BgFile = settings.BgFile;
    PagePublicMsg.LineSpacing = settings.LineSpacing;
    TimerScroll->setInterval(settings.ScrollSpeed);

    TLineFont& body = FLineFonts[1];
    body = settings.TextFont;
    if (!FontInstalled(body.Name))
        body.Name = QString::fromUtf16(DefaultFontName);
    body.MaxBytes = MaxLineBytes;
    MeasureBodyFont();
    FLineFonts[2] = body;

    MeasurePageFurniture(PagePublicMsg, FAAFont);

    PagePublicMsg.PaperBitmap = QImage();
    PagePublicMsg.BgBitmap = QImage();
    PreparePaper(true);
    PagePublicMsg.MarkBitmap = LoadMarkBitmap(ProgramDir());

    SetTrackBarQuietly(TrackBarFontSize, body.Size);
    SetTrackBarQuietly(TrackBarHJJ, PagePublicMsg.LineSpacing);
    SetTrackBarQuietly(TrackBarSpeed, TimerScroll->interval());
}

void TFrmFolvane::SaveSettings()
{
    TSettings settings;
    settings.HisFileCount = FHisFileCount;
    settings.HisFolderCount = FHisFolderCount;
    settings.ClearFileHis = FClearFileHis;
    settings.ClearFolderHis = FClearFolderHis;
    settings.AutoLocation = FAutoLocation;
    settings.AutoOpenNext = FAutoOpenNext;
    settings.SmoothFont = FSmoothFont;
    settings.ShowMarkInPage = FShowMarkInPage;
    settings.ViewerColor = ColorRefFromRgb(ScrollBoxPages->BackgroundColor().rgb());
    settings.PageColor = PagePublicMsg.PageColor;
    settings.UseBg = PagePublicMsg.UseBg;
    settings.BgFile = PagePublicMsg.BgFile;
    settings.LineSpacing = PagePublicMsg.LineSpacing;
    settings.ScrollSpeed = TrackBarSpeed->value();
    settings.TextFont = FLineFonts[1];
    // A settings folder that cannot be written must not keep the reader from closing.
    SaveSettingsFile(StateDir() + QLatin1String(SettingsFileName), settings);
}

void TFrmFolvane::PreparePaper(bool reload)
{
    ::PreparePaper(PagePublicMsg, FLineFonts[1], reload, ProgramDir());
}

void TFrmFolvane::MeasureBodyFont()
{
    TLineFont& body = FLineFonts[1];
    FMeasureCanvas = FAAFont.Font(TTextFont{body.Name, body.Size});
    MeasureLineFont(body, FAAFont);
}

void TFrmFolvane::SetTrackBarQuietly(QSlider* trackBar, int position)
{
    SetTag(trackBar, -1);
    const bool moved = trackBar->value() != std::clamp(position, trackBar->minimum(), trackBar->maximum());
    trackBar->setValue(position);
    // The label shows the new value even when the position did not move.
    if (!moved)
        emit trackBar->valueChanged(trackBar->value());
    SetTag(trackBar, 0);
}

void TFrmFolvane::TrackBarFontSizeChange()
{
    if (Tag(TrackBarFontSize) >= 0) {
        FLineFonts[1].Size = TrackBarFontSize->value();
        MeasureBodyFont();
        RelayoutPages();
    }
    Label1->setText(QString::number(TrackBarFontSize->value()));
}

void TFrmFolvane::TrackBarHJJChange()
{
    if (Tag(TrackBarHJJ) >= 0) {
        PagePublicMsg.LineSpacing = TrackBarHJJ->value();
        RelayoutPages();
    }
    Label2->setText(QString::number(TrackBarHJJ->value()));
}

void TFrmFolvane::TrackBarSpeedChange()
{
    if (Tag(TrackBarSpeed) >= 0)
        TimerScroll->setInterval(TrackBarSpeed->value());
    // Tenths of a second, ties to even, in the shortest form: 500 is "0.5", 1000 is "1".
    const double seconds = std::nearbyint(TrackBarSpeed->value() / 100.0) / 10.0;
    Label3->setText(QLocale().toString(seconds, 'g', QLocale::FloatingPointShortest) + QStringLiteral("Sec."));
}
