#include "app/model/SettingsStore.h"

#include "common/IniFile.h"

namespace {

const QString Viewer = QStringLiteral("VIEWER");
const QString Page = QStringLiteral("PAGE");
const QString TextFont = QStringLiteral("TEXTFONT");
const QString Color = QStringLiteral("Color");

} // namespace

TLineFont DefaultTextFont()
{
    TLineFont font;
    font.Name = QString::fromUtf16(DefaultFontName);
    font.Size = 11;
    font.Color = 0;
    font.MaxBytes = MaxLineBytes;
    return font;
}

TSettingsLoad LoadSettingsFile(const QString& path)
{
    TSettingsLoad result;
    TIniFile ini;
    result.Status = ini.load(path);

    TSettings& s = result.Settings;
    const TSettings d;
    s.HisFileCount = ini.readInteger(Viewer, QStringLiteral("HisFileCount"), d.HisFileCount);
    s.HisFolderCount = ini.readInteger(Viewer, QStringLiteral("HisFolderCount"), d.HisFolderCount);
    s.ClearFileHis = ini.readBool(Viewer, QStringLiteral("ClearFileHis"), d.ClearFileHis);
    s.ClearFolderHis = ini.readBool(Viewer, QStringLiteral("ClearFolderHis"), d.ClearFolderHis);
    s.AutoLocation = ini.readBool(Viewer, QStringLiteral("AutoLocation"), d.AutoLocation);
    s.AutoOpenNext = ini.readBool(Viewer, QStringLiteral("AutoOpenNext"), d.AutoOpenNext);
    s.SmoothFont = ini.readBool(Viewer, QStringLiteral("SmoothFont"), d.SmoothFont);
    s.ShowMarkInPage = ini.readBool(Viewer, QStringLiteral("ShowMarkInPage"), d.ShowMarkInPage);
    s.ViewerColor = ini.readInteger(Viewer, Color, d.ViewerColor);

    s.PageColor = ini.readInteger(Page, Color, d.PageColor);
    s.UseBg = ini.readBool(Page, QStringLiteral("UseBg"), d.UseBg);
    s.BgFile = ini.readString(Page, QStringLiteral("BgFile"), d.BgFile);
    s.LineSpacing = ini.readInteger(Page, QStringLiteral("LineSpacing"), d.LineSpacing);
    s.ScrollSpeed = ini.readInteger(Page, QStringLiteral("ScrollSpeed"), d.ScrollSpeed);

    TLineFont& f = s.TextFont;
    f.Name = ini.readString(TextFont, QStringLiteral("Name"), d.TextFont.Name);
    f.Size = ini.readInteger(TextFont, QStringLiteral("Size"), d.TextFont.Size);
    f.Color = ini.readInteger(TextFont, Color, d.TextFont.Color);
    f.Bold = ini.readBool(TextFont, QStringLiteral("Bold"), d.TextFont.Bold);
    f.Italic = ini.readBool(TextFont, QStringLiteral("Italic"), d.TextFont.Italic);
    f.Underline = ini.readBool(TextFont, QStringLiteral("Underline"), d.TextFont.Underline);
    f.StrikeOut = ini.readBool(TextFont, QStringLiteral("StrikeOut"), d.TextFont.StrikeOut);
    return result;
}

TSaveResult SaveSettingsFile(const QString& path, const TSettings& s)
{
    TIniFile ini;
    ini.writeInteger(Viewer, QStringLiteral("HisFileCount"), s.HisFileCount);
    ini.writeInteger(Viewer, QStringLiteral("HisFolderCount"), s.HisFolderCount);
    ini.writeBool(Viewer, QStringLiteral("ClearFileHis"), s.ClearFileHis);
    ini.writeBool(Viewer, QStringLiteral("ClearFolderHis"), s.ClearFolderHis);
    ini.writeBool(Viewer, QStringLiteral("AutoLocation"), s.AutoLocation);
    ini.writeBool(Viewer, QStringLiteral("AutoOpenNext"), s.AutoOpenNext);
    ini.writeBool(Viewer, QStringLiteral("SmoothFont"), s.SmoothFont);
    ini.writeBool(Viewer, QStringLiteral("ShowMarkInPage"), s.ShowMarkInPage);
    ini.writeInteger(Viewer, Color, s.ViewerColor);

    ini.writeInteger(Page, Color, s.PageColor);
    ini.writeBool(Page, QStringLiteral("UseBg"), s.UseBg);
    ini.writeString(Page, QStringLiteral("BgFile"), s.BgFile);
    ini.writeInteger(Page, QStringLiteral("LineSpacing"), s.LineSpacing);
    ini.writeInteger(Page, QStringLiteral("ScrollSpeed"), s.ScrollSpeed);

    const TLineFont& f = s.TextFont;
    ini.writeString(TextFont, QStringLiteral("Name"), f.Name);
    ini.writeInteger(TextFont, QStringLiteral("Size"), f.Size);
    ini.writeInteger(TextFont, Color, f.Color);
    ini.writeBool(TextFont, QStringLiteral("Bold"), f.Bold);
    ini.writeBool(TextFont, QStringLiteral("Italic"), f.Italic);
    ini.writeBool(TextFont, QStringLiteral("Underline"), f.Underline);
    ini.writeBool(TextFont, QStringLiteral("StrikeOut"), f.StrikeOut);
    return ini.save(path);
}
