// zef-gallery: shows every component family of the suite, page by page.
//   zef-gallery                   a window on a desktop; without a display, PNG files in
//                                 ./gallery-out
//   zef-gallery --window [PAGE]   shows the pages in a window (starting with PAGE)
//   zef-gallery --png DIR         writes one PNG per page into DIR
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gallery.h"
#include "graphics/canvas.h"
#include "graphics/colors.h"
#include "rtl/exceptions.h"
#include "rtl/files.h"

namespace gallery {

std::vector<TPage>& Pages() {
  static std::vector<TPage> P;
  return P;
}

bool AddPage(TPage Page) {
  Pages().push_back(std::move(Page));
  return true;
}

int DrawPageFrame(zef::TBitmap& Bmp, const std::string& Title) {
  using namespace zef;
  TCanvas& C = Bmp.Canvas();
  C.Brush().SetColor(RGB(250, 250, 248));
  C.Brush().SetStyle(bsSolid);
  C.FillRect({0, 0, Bmp.Width(), Bmp.Height()});
  C.Font().SetName("DejaVu Sans");
  C.Font().SetHeight(-18);
  C.Font().SetStyle({fsBold});
  C.Font().SetColor(RGB(30, 40, 60));
  C.Brush().SetStyle(bsClear);
  C.TextOut(16, 10, Title);
  C.Pen().SetColor(RGB(180, 185, 195));
  C.MoveTo(16, 40);
  C.LineTo(Bmp.Width() - 16, 40);
  C.Font().SetStyle({});
  C.Font().SetHeight(-12);
  C.Brush().SetStyle(bsSolid);
  return 50;
}

} // namespace gallery

int main(int argc, char** argv) {
  std::string OutDir = "gallery-out";
  if (argc == 1 && (std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY"))) {
    const int Result = gallery::RunWindow("");
    if (Result != gallery::kNoWindow) return Result;
    std::fprintf(stderr, "zef-gallery: writing PNG files instead\n");
  }
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--png") == 0 && I + 1 < argc) {
      OutDir = argv[++I];
    } else if (std::strcmp(argv[I], "--window") == 0) {
      const int Result = gallery::RunWindow(I + 1 < argc ? argv[I + 1] : "");
      return Result == gallery::kNoWindow ? 1 : Result;
    } else {
      std::fprintf(stderr, "usage: zef-gallery [--png DIR | --window [PAGE]]\n");
      return 2;
    }
  }
  try {
    if (!zef::ForceDirectories(OutDir)) {
      std::fprintf(stderr, "zef-gallery: cannot create %s\n", OutDir.c_str());
      return 1;
    }
    for (const auto& Page : gallery::Pages()) {
      zef::TBitmap Bmp(Page.Width, Page.Height);
      Page.Draw(Bmp);
      const std::string File = zef::IncludeTrailingPathDelimiter(OutDir) + Page.Name + ".png";
      Bmp.SaveToFile(File);
      std::printf("%s\n", File.c_str());
    }
  } catch (const zef::Exception& E) {
    std::fprintf(stderr, "zef-gallery: %s\n", E.Message().c_str());
    return 1;
  }
  return 0;
}
