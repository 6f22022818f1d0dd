#pragma once
// A print job with a canvas: the program draws a page onto our canvas as onto any bitmap, and the
// page goes to the printer (or a PDF file) when the next page starts or the document ends.
//
// The page canvas is a white 24-bit bitmap of the printable area at the printer's resolution, one
// bitmap pixel per printer pixel (A4 at 300 pixels per inch takes about 26 MB). Only the part
// that holds anything but white is sent, so a small picture makes a small print job.
// Needs a running QGuiApplication; without one the constructors throw EKorvelaError.

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <QPainter>

#include <filesystem>
#include <memory>
#include <string>

class QPrinter;

namespace kv {

class TPrinter {
public:
    // The system's default printer.
    TPrinter();
    // A PDF file as the printer: A4 pages at the resolution.
    explicit TPrinter(const std::filesystem::path& pdfFile, int dotsPerInch = 300);
    // A printer set up elsewhere (by a print dialog); it must outlive this object.
    explicit TPrinter(QPrinter& printer);
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The printable area in printer pixels.
    int32_t PageWidth() const;
    int32_t PageHeight() const;

    bool Printing() const { return printing_; }

    // Starts a document with the title (the job's name, the PDF's title) and a blank first page.
    // Throws EKorvelaError when a document is already running or the printer cannot start.
    void BeginDoc(const std::string& title);
    // The current page's canvas; only between BeginDoc and EndDoc, else it throws EKorvelaError.
    TCanvas& Canvas();
    // Sends the current page and starts a blank one.
    void NewPage();
    // Sends the last page and finishes the document. Throws EKorvelaError when no document runs.
    void EndDoc();

private:
    void SendPage();
    void ClearPage();

    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_;
    QPainter painter_;
    TBitmap page_;
    TCanvas canvas_{page_};
    bool printing_ = false;
};

} // namespace kv
