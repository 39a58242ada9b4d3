// Internal to the graphics layer, not part of its API: a PDF 1.4 writer for TPrinter. Each
// page is one RGB image (Flate-compressed) scaled to the whole page. Pages are written to
// the stream as they are added, so only the page being added is ever held in full; the
// page tree, catalog, document information, cross-reference table and trailer follow in
// Finish. Byte offsets count from the stream position at construction.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zef {

class TStream;

namespace pdf {

class TPdfWriter {
public:
  // Writes the header to Stream (not owned; it must outlive the writer). Title goes into
  // the document information (UTF-8; empty for none).
  TPdfWriter(TStream& Stream, std::string Title);
  TPdfWriter(const TPdfWriter&) = delete;
  TPdfWriter& operator=(const TPdfWriter&) = delete;

  // Writes a page of WidthPt x HeightPt points (1/72 inch) showing the Width x Height
  // pixels $00BBGGRR (rows top to bottom) stretched over the whole page.
  void AddPage(const uint32_t* Pixels, int32_t Width, int32_t Height, double WidthPt,
               double HeightPt);
  int32_t PageCount() const { return static_cast<int32_t>(FPages.size()); }
  // Writes the objects that refer to every page and the cross-reference table; nothing
  // may be added afterwards.
  void Finish();

private:
  int32_t NewObject();              // reserves the next object number
  void BeginObject(int32_t Number); // records its offset and writes "N 0 obj"
  void Put(const std::string& Text);
  void PutBytes(const void* Data, std::size_t Count);

  TStream& FStream;
  std::string FTitle;
  int64_t FOffset = 0;                 // bytes written so far
  std::vector<int64_t> FObjectOffsets; // by object number - 1; -1 until written
  std::vector<int32_t> FPages;         // object numbers of the page objects
  bool FFinished = false;
};

} // namespace pdf
} // namespace zef
