#include "app/KVImageLib.h"

#include "platform/BMPFile.h"
#include "platform/Canvas.h"
#include "platform/KVError.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Printers.h"

#include <QCheckBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <filesystem>

namespace kv {

TPrinterSurface::TPrinterSurface(std::unique_ptr<TPrinter> printer) : Printer_(std::move(printer)) {}

TPrinterSurface::TPrinterSurface(std::unique_ptr<TPrinter> printer, std::unique_ptr<QPrinter> qtPrinter)
    : QtPrinter_(std::move(qtPrinter)), Printer_(std::move(printer))
{
}

TPrinterSurface::~TPrinterSurface() = default;

int32_t TPrinterSurface::PageWidth() const
{
    return Printer_->PageWidth();
}

int32_t TPrinterSurface::PageHeight() const
{
    return Printer_->PageHeight();
}

void TPrinterSurface::BeginDoc(const std::string& title)
{
    Printer_->BeginDoc(title);
}

void TPrinterSurface::CopyRect(const TRect& dest, const TBitmap& source, const TRect& sourceRect)
{
    Printer_->Canvas().CopyRect(dest, source, sourceRect, cmSrcCopy);
}

void TPrinterSurface::EndDoc()
{
    Printer_->EndDoc();
}

TPrinterChooser DesktopPrinterChooser(QWidget* parent)
{
    auto fitToPage = std::make_shared<bool>(true);
    return [parent, fitToPage]() -> TPrintChoice {
        auto qtPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
        QPrintDialog dialog(qtPrinter.get(), parent);
        auto* options = new QWidget;
        options->setWindowTitle(QStringLiteral("Picture"));
        auto* fitChk = new QCheckBox(QStringLiteral("Fit To Page"), options);
        fitChk->setObjectName(QStringLiteral("FitToPageChk"));
        fitChk->setChecked(*fitToPage);
        auto* layout = new QVBoxLayout(options);
        layout->addWidget(fitChk);
        layout->addStretch();
        dialog.setOptionTabs({options});
        if (dialog.exec() != QDialog::Accepted)
            return {};
        *fitToPage = fitChk->isChecked();
        auto printer = std::make_unique<TPrinter>(*qtPrinter);
        return {std::make_unique<TPrinterSurface>(std::move(printer), std::move(qtPrinter)), *fitToPage};
    };
}

TBitmap GrabRect(const TBitmap& picture, int32_t x, int32_t y, int32_t w, int32_t h)
{
    const int32_t left = std::clamp(x, 0, picture.Width());
    const int32_t top = std::clamp(y, 0, picture.Height());
    const int32_t width = std::clamp(w, 0, picture.Width() - left);
    const int32_t height = std::clamp(h, 0, picture.Height() - top);
    if (width == 0 || height == 0)
        throw EKorvelaError("The page shows no picture to take.");
    TBitmap part(width, height, pf24bit);
    TCanvas canvas(part);
    canvas.CopyRect({0, 0, width, height}, picture, {left, top, left + width, top + height});
    return part;
}

TImageOutput::TImageOutput(QWidget* parent, TAppServices services, TPrinterChooser choosePrinter)
    : Parent_(parent), Services_(std::move(services)), ChoosePrinter_(std::move(choosePrinter)),
      ChooseImageDlg_(new TChooseImageDlg(parent))
{
    for (int type = 0; type < ImageTypeCount; ++type)
        ChooseImageDlg_->SetAvailable(TImageType(type), false);
}

void TImageOutput::SetGrabber(TImageType type, TImageGrabber grabber)
{
    ChooseImageDlg_->SetAvailable(type, bool(grabber));
    Grabbers_[size_t(type)] = std::move(grabber);
}

std::optional<TImageType> TImageOutput::ChooseImage()
{
    if (Services_.RunDialog(*ChooseImageDlg_) != QDialog::Accepted)
        return std::nullopt;
    const TImageType type = ChooseImageDlg_->ImageType();
    if (!Grabbers_[size_t(type)])
        return std::nullopt; // no page offers a picture at all
    return type;
}

TBitmap TImageOutput::Grab(TImageType type, TImageUse use) const
{
    BringToFront();
    return Grabbers_[size_t(type)](use);
}

void TImageOutput::BringToFront() const
{
    if (Parent_) {
        Parent_->window()->raise();
        Parent_->window()->activateWindow();
    }
}

bool TImageOutput::SaveImage()
{
    const std::optional<TImageType> type = ChooseImage();
    if (!type)
        return false;
    TFileRequest request;
    request.Title = QStringLiteral("Save Image As BMP");
    request.Filter = QStringLiteral("Bitmap Files (*.BMP *.bmp);;All Files (*)");
    request.DefaultExtension = QStringLiteral("BMP");
    const QString fileName = Services_.Files.SaveFile(request);
    if (fileName.isEmpty())
        return false;
    return RunCommand(Services_.Messages, [&] {
        SaveBMPFile(std::filesystem::path(fileName.toStdString()), Grab(*type, iuSave));
    });
}

bool TImageOutput::CopyImage()
{
    const std::optional<TImageType> type = ChooseImage();
    if (!type)
        return false;
    return RunCommand(Services_.Messages, [&] { PutClipboardBitmap(Grab(*type, iuCopy)); });
}

bool TImageOutput::PrintImage()
{
    const std::optional<TImageType> type = ChooseImage();
    if (!type)
        return false;
    bool printed = false;
    RunCommand(Services_.Messages, [&] {
        TPrintChoice choice = ChoosePrinter_ ? ChoosePrinter_() : TPrintChoice{};
        if (!choice.Printer)
            return;
        const TBitmap picture = Grab(*type, iuPrint);
        PrintBitmap(*choice.Printer, picture, nullptr, choice.FitToPage, choice.FitToPage);
        printed = true;
    });
    return printed;
}

} // namespace kv
