#include "graphics/printer.h"

#include <algorithm>
#include <cmath>

#include "graphics/pdfwriter.h"
#include "rtl/files.h"
#include "rtl/mathfn.h"
#include "rtl/streams.h"

namespace zef {

namespace {

constexpr double kMmPerInch = 25.4;
constexpr int32_t kMaxResolution = 9600;
constexpr double kMaxPaperMm = 10000;

int32_t PixelsOf(double Mm, int32_t Dpi) { return std::max(1, RoundInt(Mm / kMmPerInch * Dpi)); }

void SetFontResolution(TFont& Font, int32_t Dpi) {
  const int32_t Size = Font.Size();
  Font.SetPixelsPerInch(Dpi);
  Font.SetSize(Size);
}

} // namespace

TPrinter::TPrinter() {
  FCanvas.SetPrinterCanvas(true);
  SetFontResolution(FCanvas.Font(), FResolution);
}

TPrinter::~TPrinter() {
  if (Printing()) CloseDocument(false);
}

void TPrinter::CheckPrinting(bool Expected) const {
  if (Printing() == Expected) return;
  throw EPrinter(Expected ? "Printing not in progress" : "Printing in progress");
}

int32_t TPrinter::PageWidth() const {
  return PixelsOf(FOrientation == poLandscape ? FPaperHeight : FPaperWidth, FResolution);
}

int32_t TPrinter::PageHeight() const {
  return PixelsOf(FOrientation == poLandscape ? FPaperWidth : FPaperHeight, FResolution);
}

void TPrinter::SetResolution(int32_t Dpi) {
  CheckPrinting(false);
  if (Dpi < 1 || Dpi > kMaxResolution)
    throw EPrinter("Invalid printer resolution " + std::to_string(Dpi) + " (1.." +
                   std::to_string(kMaxResolution) + " dpi)");
  FResolution = Dpi;
  SetFontResolution(FCanvas.Font(), Dpi);
}

void TPrinter::SetPaperSize(double WidthMm, double HeightMm) {
  CheckPrinting(false);
  const auto Valid = [](double V) { return std::isfinite(V) && V >= 1 && V <= kMaxPaperMm; };
  if (!Valid(WidthMm) || !Valid(HeightMm))
    throw EPrinter("Invalid paper size (each side 1..10000 mm)");
  FPaperWidth = WidthMm;
  FPaperHeight = HeightMm;
}

void TPrinter::SetOrientation(TPrinterOrientation Value) {
  CheckPrinting(false);
  FOrientation = Value;
}

void TPrinter::BeginDoc() {
  CheckPrinting(false);
  auto Page = std::make_unique<TBitmap>(PageWidth(), PageHeight()); // white
  auto File = std::make_unique<TFileStream>(FFileName, fmCreate);
  FOpenFileName = FFileName;
  FFile = std::move(File);
  FPage = std::move(Page);
  try {
    FWriter = std::make_unique<pdf::TPdfWriter>(*FFile, FTitle);
  } catch (...) {
    CloseDocument(false);
    throw;
  }
  FCanvas.SetTarget(FPage.get());
  FPageNumber = 1;
  FAborted = false;
}

// Runs Action on the document in progress; when it fails, the document is given up.
template <class TAction> void TPrinter::Guarded(TAction&& Action) {
  try {
    Action();
  } catch (...) {
    CloseDocument(false);
    throw;
  }
}

void TPrinter::WritePage() {
  const double Wpt = (FOrientation == poLandscape ? FPaperHeight : FPaperWidth) * 72 / kMmPerInch;
  const double Hpt = (FOrientation == poLandscape ? FPaperWidth : FPaperHeight) * 72 / kMmPerInch;
  FWriter->AddPage(FPage->Bits(), FPage->Width(), FPage->Height(), Wpt, Hpt);
}

void TPrinter::NewPage() {
  CheckPrinting(true);
  Guarded([this] { WritePage(); });
  std::fill_n(FPage->Bits(),
              static_cast<std::size_t>(FPage->Width()) * static_cast<std::size_t>(FPage->Height()),
              uint32_t(clWhite));
  ++FPageNumber;
}

void TPrinter::EndDoc() {
  CheckPrinting(true);
  Guarded([this] {
    WritePage();
    FWriter->Finish();
  });
  CloseDocument(true);
}

void TPrinter::Abort() {
  CheckPrinting(true);
  CloseDocument(false);
  FAborted = true;
}

void TPrinter::CloseDocument(bool Complete) {
  FCanvas.SetTarget(nullptr);
  FWriter.reset();
  FFile.reset(); // closes the file
  FPage.reset();
  FPageNumber = 0;
  if (!Complete) DeleteFile(FOpenFileName);
  FOpenFileName.clear();
}

// ---- The current printer ------------------------------------------------------------------

namespace {

std::unique_ptr<TPrinter>& CurrentPrinter() {
  static std::unique_ptr<TPrinter> P;
  return P;
}

} // namespace

TPrinter& Printer() {
  auto& P = CurrentPrinter();
  if (!P) P = std::make_unique<TPrinter>();
  return *P;
}

std::unique_ptr<TPrinter> SetPrinter(std::unique_ptr<TPrinter> NewPrinter) {
  auto& P = CurrentPrinter();
  std::swap(P, NewPrinter);
  return NewPrinter;
}

} // namespace zef
