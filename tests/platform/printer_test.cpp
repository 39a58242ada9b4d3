#include "graphics/printer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "support/temp_dir.h"

namespace zef {
namespace {

TEST(Printer, PageSizeFollowsPaperResolutionAndOrientation) {
  struct Case {
    double Wmm, Hmm;
    int Dpi;
    TPrinterOrientation O;
    int W, H;
  };
  const Case Cases[] = {
      {210, 297, 300, poPortrait, 2480, 3508}, // A4, the default
      {210, 297, 300, poLandscape, 3508, 2480},
      {210, 297, 72, poPortrait, 595, 842},
      {215.9, 279.4, 100, poPortrait, 850, 1100}, // letter
      {1, 1, 1, poPortrait, 1, 1},                // never below one pixel
  };
  for (const Case& K : Cases) {
    TPrinter P;
    P.SetPaperSize(K.Wmm, K.Hmm);
    P.SetResolution(K.Dpi);
    P.SetOrientation(K.O);
    EXPECT_EQ(P.PageWidth(), K.W) << K.Wmm << " mm at " << K.Dpi;
    EXPECT_EQ(P.PageHeight(), K.H) << K.Hmm << " mm at " << K.Dpi;
  }
  TPrinter D;
  EXPECT_EQ(D.Resolution(), 300);
  EXPECT_EQ(D.PaperWidth(), 210);
  EXPECT_EQ(D.PaperHeight(), 297);
  EXPECT_EQ(D.FileName(), "zef-print.pdf");
  EXPECT_THROW(D.SetResolution(0), EPrinter);
  EXPECT_THROW(D.SetPaperSize(0, 100), EPrinter);
}

TEST(Printer, CanvasFontKeepsItsPointSizeAtTheResolution) {
  TPrinter P;
  EXPECT_TRUE(P.Canvas().IsPrinterCanvas());
  P.Canvas().Font().SetSize(12);
  P.SetResolution(600);
  EXPECT_EQ(P.Canvas().Font().PixelsPerInch(), 600);
  EXPECT_EQ(P.Canvas().Font().Size(), 12);
  EXPECT_EQ(P.Canvas().Font().Height(), -100);
}

class PrinterDoc : public test::TempDirTest {
protected:
  void SetUp() override {
    TempDirTest::SetUp();
    P.SetResolution(20); // 165 x 234 pixels on A4: small and quick
    P.SetFileName(Path("out.pdf"));
  }
  TPrinter P;
};

// The number after Key in Text, from Start.
long long NumberAfter(const std::string& Text, const std::string& Key, std::size_t Start = 0) {
  const std::size_t I = Text.find(Key, Start);
  if (I == std::string::npos) return -1;
  return std::atoll(Text.c_str() + I + Key.size());
}

std::size_t Count(const std::string& Text, const std::string& Key) {
  std::size_t N = 0;
  for (std::size_t I = Text.find(Key); I != std::string::npos; I = Text.find(Key, I + 1)) ++N;
  return N;
}

TEST_F(PrinterDoc, WritesOnePdfPagePerPageWithCorrectCrossReferences) {
  P.SetTitle("Report (draft)");
  P.BeginDoc();
  EXPECT_TRUE(P.Printing());
  EXPECT_EQ(P.PageNumber(), 1);
  ASSERT_NE(P.Canvas().Target(), nullptr);
  EXPECT_EQ(P.Canvas().Target()->Width(), P.PageWidth());
  EXPECT_EQ(P.Canvas().Target()->Height(), P.PageHeight());
  EXPECT_EQ(P.Canvas().Pixels(3, 3), clWhite);
  P.Canvas().Brush().SetColor(clRed);
  P.Canvas().Rectangle(10, 10, 60, 40);
  P.NewPage();
  EXPECT_EQ(P.PageNumber(), 2);
  EXPECT_EQ(P.Canvas().Pixels(20, 20), clWhite); // a new page is white again
  P.NewPage();
  P.EndDoc();
  EXPECT_FALSE(P.Printing());
  EXPECT_EQ(P.PageNumber(), 0);
  EXPECT_EQ(P.Canvas().Target(), nullptr);

  const std::string Pdf = Get("out.pdf");
  ASSERT_EQ(Pdf.rfind("%PDF-1.4\n", 0), 0u);
  EXPECT_EQ(Pdf.substr(Pdf.size() - 6), "%%EOF\n");
  EXPECT_EQ(Count(Pdf, "/Type /Page "), 3u);
  EXPECT_EQ(NumberAfter(Pdf, "/Count "), 3);
  EXPECT_EQ(Count(Pdf, "/MediaBox [0 0 595.276 841.89]"), 3u); // A4 in points
  EXPECT_NE(Pdf.find("/Title (Report \\(draft\\))"), std::string::npos);
  EXPECT_EQ(NumberAfter(Pdf, "/Width "), P.PageWidth());
  EXPECT_EQ(NumberAfter(Pdf, "/Height "), P.PageHeight());

  // The cross-reference table: every entry points at its "N 0 obj".
  const long long XRef = NumberAfter(Pdf, "startxref\n");
  ASSERT_GT(XRef, 0);
  ASSERT_EQ(Pdf.compare(std::size_t(XRef), 5, "xref\n"), 0);
  const long long Size = NumberAfter(Pdf, "xref\n0 ");
  EXPECT_EQ(NumberAfter(Pdf, "/Size "), Size);
  const std::size_t Table = Pdf.find('\n', std::size_t(XRef) + 5) + 1;
  EXPECT_EQ(Pdf.substr(Table, 20), "0000000000 65535 f \n");
  for (long long N = 1; N < Size; ++N) {
    const std::string Entry = Pdf.substr(Table + 20 * std::size_t(N), 20);
    ASSERT_EQ(Entry.substr(10), " 00000 n \n") << N;
    const std::string Obj = std::to_string(N) + " 0 obj\n";
    EXPECT_EQ(Pdf.compare(std::size_t(std::atoll(Entry.c_str())), Obj.size(), Obj), 0)
        << "object " << N;
  }

  // Each image stream is as long as its length object says and ends the stream there.
  std::vector<std::string> Images;
  for (std::size_t I = Pdf.find("/Subtype /Image"); I != std::string::npos;
       I = Pdf.find("/Subtype /Image", I + 1)) {
    const long long LenObj = NumberAfter(Pdf, "/Length ", I);
    const long long Len = NumberAfter(Pdf, "\n" + std::to_string(LenObj) + " 0 obj\n");
    const std::size_t Data = Pdf.find("stream\n", I) + 7;
    ASSERT_GT(Len, 0);
    EXPECT_EQ(uint8_t(Pdf[Data]), 0x78); // a zlib stream
    EXPECT_EQ(Pdf.compare(Data + std::size_t(Len), 11, "\nendstream\n"), 0);
    Images.push_back(Pdf.substr(Data, std::size_t(Len)));
  }
  ASSERT_EQ(Images.size(), 3u);
  EXPECT_NE(Images[0], Images[1]); // the drawing
  EXPECT_EQ(Images[1], Images[2]); // two blank pages
}

TEST_F(PrinterDoc, LandscapePagesAndUnicodeTitles) {
  P.SetOrientation(poLandscape);
  P.SetTitle("Mes\xC3\xBCre");
  P.BeginDoc();
  P.EndDoc();
  const std::string Pdf = Get("out.pdf");
  EXPECT_NE(Pdf.find("/MediaBox [0 0 841.89 595.276]"), std::string::npos);
  EXPECT_NE(Pdf.find("/Title <FEFF004D0065007300FC00720065>"), std::string::npos);
  EXPECT_EQ(NumberAfter(Pdf, "/Width "), P.PageWidth());
  EXPECT_GT(P.PageWidth(), P.PageHeight());
}

TEST_F(PrinterDoc, CallsOutOfOrderRaise) {
  const auto Message = [](const auto& Call) {
    try {
      Call();
    } catch (const EPrinter& E) { return E.Message(); }
    return std::string("no exception");
  };
  EXPECT_EQ(Message([&] { P.NewPage(); }), "Printing not in progress");
  EXPECT_EQ(Message([&] { P.EndDoc(); }), "Printing not in progress");
  EXPECT_EQ(Message([&] { P.Abort(); }), "Printing not in progress");
  P.BeginDoc();
  EXPECT_EQ(Message([&] { P.BeginDoc(); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P.SetResolution(100); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P.SetPaperSize(100, 100); }), "Printing in progress");
  EXPECT_EQ(Message([&] { P.SetOrientation(poLandscape); }), "Printing in progress");
  EXPECT_TRUE(P.Printing()); // the document goes on
  P.EndDoc();
}

TEST_F(PrinterDoc, AbortRemovesTheFile) {
  P.BeginDoc();
  P.NewPage();
  EXPECT_TRUE(std::filesystem::exists(Path("out.pdf")));
  P.Abort();
  EXPECT_FALSE(P.Printing());
  EXPECT_TRUE(P.Aborted());
  EXPECT_FALSE(std::filesystem::exists(Path("out.pdf")));
  P.BeginDoc();
  EXPECT_FALSE(P.Aborted());
  P.EndDoc();
  EXPECT_TRUE(std::filesystem::exists(Path("out.pdf")));
}

TEST_F(PrinterDoc, UnwritableFileRaisesTheStreamError) {
  P.SetFileName(Path("missing/out.pdf"));
  EXPECT_THROW(P.BeginDoc(), EFCreateError);
  EXPECT_FALSE(P.Printing());
  EXPECT_EQ(P.Canvas().Target(), nullptr);
}

TEST(Printer, GlobalPrinterCanBeReplaced) {
  TPrinter& Default = Printer();
  EXPECT_EQ(&Printer(), &Default);
  auto Mine = std::make_unique<TPrinter>();
  TPrinter* Raw = Mine.get();
  std::unique_ptr<TPrinter> Old = SetPrinter(std::move(Mine));
  EXPECT_EQ(Old.get(), &Default);
  EXPECT_EQ(&Printer(), Raw);
  EXPECT_TRUE(Printer().Canvas().IsPrinterCanvas());
  SetPrinter(std::move(Old));
  EXPECT_EQ(&Printer(), &Default);
}

} // namespace
} // namespace zef
