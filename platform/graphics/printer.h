// TPrinter: prints documents into PDF files. Each page is drawn through Canvas() onto a white
// page bitmap at the printer's resolution; a finished page is compressed into the file at
// once, so only the current page is held in full. The PDF shows every page as one image
// scaled to the paper size.
//
// The process has one current printer, Printer(); components print through
// Printer().Canvas(). SetPrinter replaces it (a test may install one of its own).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "classes/object.h"
#include "graphics/bitmap.h"
#include "graphics/canvas.h"
#include "rtl/exceptions.h"

namespace zef {

class TStream;
namespace pdf {
class TPdfWriter;
}

// Raised for printer calls in the wrong state ("Printing not in progress", "Printing in
// progress") and for invalid settings.
ZEF_DECLARE_EXCEPTION(EPrinter, Exception);

enum TPrinterOrientation : uint8_t { poPortrait, poLandscape };

class TPrinter : public TObject {
public:
  TPrinter();
  // A document still in progress is aborted.
  ~TPrinter() override;
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;

  // ---- Documents ----
  // Creates FileName and starts page 1. Raises EPrinter "Printing in progress" while
  // printing, and the stream's error (EFCreateError ...) when the file cannot be created;
  // a page too large for a bitmap raises EInvalidGraphic.
  void BeginDoc();
  // Writes the current page and starts a new, white one.
  void NewPage();
  // Writes the last page and completes the file.
  void EndDoc();
  // Ends the document without completing it and removes the file.
  void Abort();
  // NewPage, EndDoc and Abort raise EPrinter "Printing not in progress" outside a document.
  // A write error in NewPage or EndDoc ends the document, removes the file and passes the
  // stream's error on.
  bool Printing() const { return FWriter != nullptr; }
  // Whether the last document was aborted (reset by BeginDoc).
  bool Aborted() const { return FAborted; }
  // 1 for the first page of a document; 0 outside a document.
  int32_t PageNumber() const { return FPageNumber; }

  // The raster canvas on the current page (IsPrinterCanvas() is true). Outside a document
  // it has no target: it draws nothing but measures text. Its pen, brush and font keep
  // their settings from page to page and from document to document.
  TCanvas& Canvas() { return FCanvas; }

  // ---- Page setup (raise EPrinter "Printing in progress" while printing) ----
  // The page in pixels at the resolution, orientation applied: paper size in millimetres
  // / 25.4 * dots per inch, rounded, at least 1.
  int32_t PageWidth() const;
  int32_t PageHeight() const;
  // Dots per inch (default 300, 1..9600). The canvas font keeps its point size.
  int32_t Resolution() const { return FResolution; }
  void SetResolution(int32_t Dpi);
  // Portrait paper size in millimetres (default A4, 210 x 297); each side 1..10000.
  double PaperWidth() const { return FPaperWidth; }
  double PaperHeight() const { return FPaperHeight; }
  void SetPaperSize(double WidthMm, double HeightMm);
  // Landscape swaps the paper's width and height.
  TPrinterOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TPrinterOrientation Value);

  // The document title written into the PDF (UTF-8).
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // The PDF file BeginDoc creates (default "zef-print.pdf" in the current folder).
  const std::string& FileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }

private:
  void CheckPrinting(bool Expected) const;
  void WritePage();
  void CloseDocument(bool Complete); // releases file and page; removes the file unless Complete
  template <class TAction> void Guarded(TAction&& Action);

  TCanvas FCanvas;
  std::unique_ptr<TBitmap> FPage;
  std::unique_ptr<TStream> FFile;
  std::unique_ptr<pdf::TPdfWriter> FWriter;
  std::string FTitle;
  std::string FFileName = "zef-print.pdf";
  std::string FOpenFileName; // the file of the document in progress
  double FPaperWidth = 210;
  double FPaperHeight = 297;
  int32_t FResolution = 300;
  int32_t FPageNumber = 0;
  TPrinterOrientation FOrientation = poPortrait;
  bool FAborted = false;
};

// The process's current printer (created on first use with the defaults).
TPrinter& Printer();
// Makes NewPrinter the current printer and returns the previous one (null when none was
// created yet). A null NewPrinter makes the next Printer() call create a default one.
std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter);

} // namespace zef
