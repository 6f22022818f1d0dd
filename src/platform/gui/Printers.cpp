#include "platform/gui/Printers.h"

#include "GUIApplication.h"

#include <QImage>
#include <QPageSize>
#include <QPrinter>

namespace kv {

namespace {

QPrinter* RequirePrinter(QPrinter* printer)
{
    RequireGUIApplication("Printing");
    return printer;
}

std::unique_ptr<QPrinter> PDFPrinter(const std::filesystem::path& pdfFile, int dotsPerInch)
{
    RequireGUIApplication("Printing");
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(QString::fromStdString(pdfFile.string()));
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setResolution(dotsPerInch);
    return printer;
}

} // namespace

TPrinter::TPrinter() : owned_(RequirePrinter(new QPrinter(QPrinter::HighResolution))), printer_(owned_.get()) {}

TPrinter::TPrinter(const std::filesystem::path& pdfFile, int dotsPerInch)
    : owned_(PDFPrinter(pdfFile, dotsPerInch)), printer_(owned_.get())
{
}

TPrinter::TPrinter(QPrinter& printer) : printer_(RequirePrinter(&printer)) {}

TPrinter::~TPrinter()
{
    if (printing_)
        painter_.end();
}

int32_t TPrinter::PageWidth() const { return printer_->width(); }

int32_t TPrinter::PageHeight() const { return printer_->height(); }

void TPrinter::BeginDoc(const std::string& title)
{
    if (printing_)
        throw EKorvelaError("A print job is already running");
    printer_->setDocName(QString::fromStdString(title));
    printer_->setCreator(QStringLiteral("Korvela3D"));
    page_ = TBitmap(PageWidth(), PageHeight(), pf24bit);
    ClearPage();
    if (!painter_.begin(printer_)) {
        page_ = TBitmap();
        const QString name = printer_->outputFileName().isEmpty() ? printer_->printerName() : printer_->outputFileName();
        throw EKorvelaError("Cannot start printing on " + (name.isEmpty() ? std::string("the printer") : name.toStdString()));
    }
    printing_ = true;
}

TCanvas& TPrinter::Canvas()
{
    if (!printing_)
        throw EKorvelaError("The printer's canvas exists only while a document is printed");
    return canvas_;
}

void TPrinter::NewPage()
{
    Canvas();
    SendPage();
    printer_->newPage();
    ClearPage();
}

void TPrinter::EndDoc()
{
    Canvas();
    SendPage();
    painter_.end();
    printing_ = false;
    page_ = TBitmap();
}

void TPrinter::ClearPage()
{
    TCanvas blank(page_);
    blank.Brush.Color = clWhite;
    blank.FillRect({0, 0, page_.Width(), page_.Height()});
}

void TPrinter::SendPage()
{
    // The smallest rectangle around everything that is not white.
    int32_t left = page_.Width(), right = -1, top = -1, bottom = -1;
    for (int32_t y = 0; y < page_.Height(); ++y) {
        const uint8_t* row = page_.ScanLine(y);
        int32_t first = -1, last = -1;
        for (int32_t x = 0; x < page_.Width(); ++x)
            if (row[3 * x] != 0xFF || row[3 * x + 1] != 0xFF || row[3 * x + 2] != 0xFF) {
                if (first < 0)
                    first = x;
                last = x;
            }
        if (first < 0)
            continue;
        top = top < 0 ? y : top;
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (top < 0)
        return;
    const QImage part(page_.ScanLine(top) + size_t(left) * 3, right - left + 1, bottom - top + 1,
                      qsizetype(page_.RowBytes()), QImage::Format_BGR888);
    painter_.drawImage(QPoint(left, top), part);
}

} // namespace kv
