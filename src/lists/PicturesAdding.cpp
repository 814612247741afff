// SPDX-License-Identifier: GPL-3.0-or-later
// Step 1: adding pictures through the open dialog or by dropping files on the
// picture list, and the refresh of everything that follows the picture count.
#include "lists/PicturesPage.h"

#include "common/Paths.h"
#include "common/SizeText.h"
#include "imaging/PicSize.h"
#include "ui/BusyHost.h"
#include "ui/Dialogs.h"
#include "ui/DocumentModel.h"
#include "ui/ListRows.h"
#include "ui/Messages.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>

#include <array>
#include <exception>
#include <utility>

namespace {

// The open dialog's filter entries: description, pattern.
constexpr std::array<std::pair<const char*, const char*>, 27> kFilterEntries = {{
    {QT_TRANSLATE_NOOP("FrmGif", "Popular Images(*.bmp,*.gif,*.jpg,*.png,*.ico)"), "*.bmp;*.gif;*.jpg;*.png;*.ico"},
    {QT_TRANSLATE_NOOP("FrmGif", "All Supported Image Files"),
     "*.bmp;*.dib;*.emf;*.gif;*.ico;*.jpg;*.jpeg;*.pbm;*.pcd;*.pcx;*.pgm;*.png;*.ppm;*.psd;*.psp;*rle;"
     "*.sgi;*.tga;*.vda;*.vst;*.wbmp;*.wmf"},
    {QT_TRANSLATE_NOOP("FrmGif", "GIF Files (*.gif)"), "*.gif"},
    {QT_TRANSLATE_NOOP("FrmGif", "Bitmap (*.bmp)"), "*.bmp"},
    {QT_TRANSLATE_NOOP("FrmGif", "JPG/JPEG Files (*.jpg;*.jpeg)"), "*.jpg;*.jpeg"},
    {QT_TRANSLATE_NOOP("FrmGif", "PNG Files (*.png)"), "*.png"},
    {QT_TRANSLATE_NOOP("FrmGif", "Device Independent Bitmap (*.dib)"), "*.dib"},
    {QT_TRANSLATE_NOOP("FrmGif", "Enhanced Meta Files (*.emf)"), "*.emf"},
    {QT_TRANSLATE_NOOP("FrmGif", "ICB Files (*.icb)"), "*.icb"},
    {QT_TRANSLATE_NOOP("FrmGif", "ICON Files (*.ico)"), "*.ico"},
    {QT_TRANSLATE_NOOP("FrmGif", "Portable Bitmap Files (*.pbm)"), "*.pbm"},
    {QT_TRANSLATE_NOOP("FrmGif", "Photo CD Files (*.pcd)"), "*.pcd"},
    {QT_TRANSLATE_NOOP("FrmGif", "PCX Files (*.pcx)"), "*.pcx"},
    {QT_TRANSLATE_NOOP("FrmGif", "PGM Files (*.pgm)"), "*.pgm"},
    {QT_TRANSLATE_NOOP("FrmGif", "Portable Network Graphics (*.png)"), "*.png"},
    {QT_TRANSLATE_NOOP("FrmGif", "PPM Files (*.ppm)"), "*.ppm"},
    {QT_TRANSLATE_NOOP("FrmGif", "Photo Shop Files (*.psd)"), "*.psd"},
    {QT_TRANSLATE_NOOP("FrmGif", "Paint Shop Files (*.psp)"), "*.psp"},
    {QT_TRANSLATE_NOOP("FrmGif", "RLE Files (*.rle)"), "*.rle"},
    {QT_TRANSLATE_NOOP("FrmGif", "SGI Files (*.sgi)"), "*.sgi"},
    {QT_TRANSLATE_NOOP("FrmGif", "Targa Files (*.tga)"), "*.tga"},
    {QT_TRANSLATE_NOOP("FrmGif", "Tagged Image Format Files (*.tif;*.tiff)"), "*.tif;*.tiff"},
    {QT_TRANSLATE_NOOP("FrmGif", "VDA Files (*.vda)"), "*.vda"},
    {QT_TRANSLATE_NOOP("FrmGif", "VST Files (*.vst)"), "*.vst"},
    {QT_TRANSLATE_NOOP("FrmGif", "WBMP Files (*.wbmp)"), "*.wbmp"},
    {QT_TRANSLATE_NOOP("FrmGif", "Windows Meta Files (*.wmf)"), "*.wmf"},
    {QT_TRANSLATE_NOOP("FrmGif", "All Files(*.*)"), "*.*"},
}};

const QStringList& KnownPictureExtensions()
{
    static const QStringList known =
        QStringLiteral("BMP;JPG;JPEG;GIF;PNG;DIB;EMF;ICB;ICO;PBM;PCD;PCX;PGM;PPM;PSD;PSP;RLE;SGI;TGA;TIF;"
                       "TIFF;VDA;VST;WBMP;WMF")
            .split(QLatin1Char(';'));
    return known;
}

// The hourglass for as long as a batch runs, whichever way it ends.
class BusyPointer {
public:
    BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QApplication::restoreOverrideCursor(); }
    Q_DISABLE_COPY_MOVE(BusyPointer)
};

QString ListFullMessage()
{
    return QCoreApplication::translate("FrmGif",
                                       "The picture list is full: it holds at most %1 pictures. The "
                                       "remaining files were not added.")
        .arg(PicturesPage::kMaxPictures);
}

} // namespace

void PicturesPage::cmdAddImg_Click() { cmdAdd_Click(); }

void PicturesPage::cmdAdd_Click()
{
    Dialogs::OpenRequest request;
    request.title = QCoreApplication::translate("FrmGif", "Add Graphic Files");
    request.filter = BuildPictureFilter();
    request.multiSelect = true;
    request.fileMustExist = true;
    const std::optional<QString> picked = Dialogs::OpenFiles(window(), request);
    if (picked)
        AddPickedFiles(*picked);
    // A cancelled dialog still refreshes.
    ShowCount();
    RefreshListControls();
}

bool PicturesPage::AddPickedFiles(const QString& fileNames)
{
    const QStringList pieces = fileNames.split(QChar(0));
    const QString& head = pieces.front();
    bool full = false;
    {
        // Closing the window meanwhile stops the batch after the current file.
        const BusyHost::Scope scope(window_);
        const BusyPointer busy;
        QCoreApplication::processEvents();
        Q_EMIT ListChanging();
        QCoreApplication::processEvents();

        // A failing file is dropped and the next one goes on.
        auto addOne = [this](const QString& fileText, const QString& folder) {
            try {
                AddPictureFile(fileText, folder);
            } catch (const std::exception&) {
            }
        };
        if (pieces.size() == 1) {
            full = Count() >= kMaxPictures;
            if (!full)
                addOne(head, QString());
        } else {
            for (qsizetype i = 1; i < pieces.size(); ++i) {
                if (Count() >= kMaxPictures) {
                    full = true;
                    break;
                }
                addOne(pieces[i], head);
                QCoreApplication::processEvents();
                if (window_.IsClosing())
                    break;
            }
        }
    }
    if (full)
        Messages::Info(window(), ListFullMessage());
    return !full;
}

void PicturesPage::lstPic_DropFiles(const QStringList& paths)
{
    // Dropped files are added as if picked in the open dialog. A drop can mix
    // folders (a search view), so each run of one folder is one answer.
    qsizetype start = 0;
    while (start < paths.size()) {
        const QString folder = QFileInfo(paths[start]).absolutePath();
        qsizetype end = start + 1;
        while (end < paths.size() && QFileInfo(paths[end]).absolutePath() == folder)
            ++end;
        if (!AddPickedFiles(Dialogs::JoinPickedFiles(paths.mid(start, end - start))))
            break;
        start = end;
    }
    ShowCount();
    RefreshListControls();
}

QString PicturesPage::BuildPictureFilter()
{
    QStringList parts;
    for (const auto& [description, pattern] : kFilterEntries)
        parts << QCoreApplication::translate("FrmGif", description) << QLatin1String(pattern);
    return parts.join(QLatin1Char('|'));
}

void PicturesPage::AddPictureFile(const QString& fileText, const QString& folder)
{
    // Positions are 16-bit: never grow past the last one.
    if (Count() >= kMaxPictures)
        return;
    const Paths::FolderAndName where = Paths::SplitFileText(fileText, folder);
    const QString dimensions = GetPicSize(Paths::JoinFolder(where.folder, where.name));
    if (dimensions.isEmpty())
        return;
    if (document_.Rows().IsPictureListed(where.name, where.folder))
        return;
    AddPictureRow({where.name, PictureTypeText(where.name), ParseSizeText(dimensions), where.folder});
}

QString PicturesPage::PictureTypeText(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QCoreApplication::translate("FrmGif", "Unknown file");
    const QString extension = fileName.mid(dot + 1).toUpper();
    if (KnownPictureExtensions().contains(extension))
        return QCoreApplication::translate("FrmGif", "%1 image").arg(extension);
    if (extension.size() <= 4)
        return QCoreApplication::translate("FrmGif", "%1 file").arg(extension);
    return {};
}

void PicturesPage::AddPictureRow(const PictureRow& picture)
{
    document_.AddFrameRow(picture, frameDefaults_(picture.name));
}

void PicturesPage::RefreshListControls()
{
    Q_EMIT SizeListChanged(document_.Rows().SizeList());
    Q_EMIT CountChanged(Count());
}

QString PicturesPage::GetPicSize(const QString& path) { return ::GetPicSize(path); }
