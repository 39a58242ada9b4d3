// The shared vocabulary of the suite: enumerations, records, array and callback types,
// the name tables used by the tagged-text files, the constant and language tables, the
// suite's error classes, the progress state of lengthy numeric routines, and the two small
// settings classes that charts embed (TCrossHair, TDTLabel).
//
// Contents
//   1. Enumerations          5. Constant and language tables
//   2. Records               6. Errors
//   3. Array types           7. Progress state
//   4. Callback types        8. TCrossHair, TDTLabel, ResolveCSVDelimiter
//                            9. Mark symbols, frames and canvas utilities
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classes/object.h"
#include "graphics/gtypes.h"
#include "rtl/exceptions.h"
#include "rtl/progress.h"
#include "rtl/types.h"

namespace zef {

class TVariant;
class TCanvas;
class TBitmap;

// ---- 1. Enumerations ----------------------------------------------------------------------
// Byte-sized, numbered from 0 in the order given; stored by ordinal in memory and by name
// (the xml... tables below) in files, so the order never changes.

enum TBkgFill : uint8_t { bfSimple, bfStretch, bfTile };
enum TBoundingBox : uint8_t { bbNone, bbFrame, bbFaces };
enum TColorScheme : uint8_t { csBWG, csSystem };
enum TDecPSep : uint8_t { dsSystem, dsDot, dsComma, dsBoth };
enum TFigType : uint8_t { ftNoFigs, ftNum, ftTime, ftDateTime, ftUserText };
enum TScaleType : uint8_t { sctXB, sctXT, sctYL, sctYR };
enum TVerticalAlignment : uint8_t { vaTop, vaCenter, vaBottom };
enum TYearLength : uint8_t { ylNone, ylYY, ylYYYY };
enum TDateOrder : uint8_t { doMMDDYY, doDDMMYY, doYYMMDD };
enum TDateForTime : uint8_t { dtNone, dtOnePerIrove, dtOnePerDay, dtAllTicks };
enum TShadowStyle : uint8_t { ssFlying, ssBox };
enum TFrameStyle : uint8_t { fsNone, fsSimple, fsLowered, fsRaised, fsEmbossed, fsEngraved };
enum TDistMode : uint8_t { dmJaccard, dmManhattan, dmEuclid, dmEuclidSqr, dmDice, dmUserDef };
enum TTimeFormat : uint8_t { tfHHMMSS, tfHHhMM, tfAMPM };
enum TDirection : uint8_t { dirUpward, dirDownward, dirLeftward, dirRightward };
enum TOrientation : uint8_t { orVert, orHoriz };
enum TEdgeOp : uint8_t { eopMin, eopMax, eopSum, eopMean };
enum TAxis : uint8_t { atXAxis, atYAxis, atZAxis };
enum TDims : uint8_t { dimX, dimY, dimL, dimT };
enum TTriState : uint8_t { tsFalse, tsTrue, tsUndefined };
enum TCrossHMode : uint8_t { chOff, chHoriz, chVert, chBoth, chCrossBox, chBox };
enum TTxtLblAttachMode : uint8_t { tlamNone, tlamXOnly, tlamYOnly, tlamBoth };
enum TTxtLblMode : uint8_t { tlOff, tlsimple, tlBox, tlUnderline, tlShadow };
enum TDegreeFormat : uint8_t { dfDeg, dfDegMin, dfDegMinSec, dfNumeric };
enum TCSVDelimiters : uint8_t { csvUnknown, csvBlank, csvSemicolon, csvComma, csvColon, csvTab };
enum TZoomPanMode : uint8_t { zpmPan, zpmColZoomLeft, zpmColZoomRight };
enum TLanguage : uint8_t { lgUnknown, lgEnglish, lgGerman, lgFrench, lgSpanish };
enum TVarKind : uint8_t { rnum, dnum, snum, inum, lnum, Bool, strg };
enum TMouseBoxState : uint8_t { msNormal, msFirstCorner, msRectDraw, msFinished };
enum TMouseActMode : uint8_t {
  maNone, maPan, maPanHoriz, maPanVert, maPanGrid, maRubberBand, maZoom, maZoomWind,
  maZoomWindPos, maZoomDrag, maDragCrossH, maDragLabel, maRotate, maRotAndZoom, maRotXOnly,
  maRotZOnly, maSelectRect, maDrawMTrace, maZoomPanColors
};
enum TZoomState : uint8_t { zsNormal, zsDrawWin };

// ---- 2. Records ---------------------------------------------------------------------------

// A trivial record (so that TRectDouble can overlay it): TPointDouble{} is (0, 0).
struct TPointDouble {
  double X;
  double Y;
  friend bool operator==(const TPointDouble&, const TPointDouble&) = default;
};

// Left/Top/Right/Bottom, also addressable as the corner points TopLeft and BottomRight,
// which share the same storage.
struct TRectDouble {
  union {
    struct {
      double Left, Top, Right, Bottom;
    };
    struct {
      TPointDouble TopLeft, BottomRight;
    };
  };
  TRectDouble() : Left(0), Top(0), Right(0), Bottom(0) {}
  TRectDouble(double ALeft, double ATop, double ARight, double ABottom)
      : Left(ALeft), Top(ATop), Right(ARight), Bottom(ABottom) {}
  friend bool operator==(const TRectDouble& A, const TRectDouble& B) {
    return A.Left == B.Left && A.Top == B.Top && A.Right == B.Right && A.Bottom == B.Bottom;
  }
};

struct TColoredPoint {
  double X = 0;
  double Y = 0;
  uint16_t Flag = 0;
  TColor Color = 0;
};

// A cell index in four dimensions (the letters match TDims).
struct TCellPosition4D {
  int32_t X = 0;
  int32_t Y = 0;
  int32_t L = 0;
  int32_t T = 0;
};

// Four screen points, index 0 to 3.
using TQuad = std::array<TPoint, 4>;

// ---- 3. Array types -----------------------------------------------------------------------

using TPDblArray = std::vector<TPointDouble>;
using TPIntArray = std::vector<TPoint>;
using TSingleArray = std::vector<float>;
using TDoubleArray = std::vector<double>;
using TDouble2DArray = std::vector<TDoubleArray>;
using TDouble3DArray = std::vector<TDouble2DArray>;
using TDouble4DArray = std::vector<TDouble3DArray>;
using TIntArray = std::vector<int32_t>;
using TInt2DArray = std::vector<TIntArray>;
using TInt3DArray = std::vector<TInt2DArray>;
using TInt4DArray = std::vector<TInt3DArray>;
using TBoolArray = std::vector<bool>;
using TBool2DArray = std::vector<TBoolArray>;
using TStrArray = std::vector<std::string>;
using TStr2DArray = std::vector<TStrArray>;
using TVariantArray = std::vector<TVariant>;
using TBytes = std::vector<uint8_t>;
using TBuf4096 = std::array<uint8_t, 4096>;
using TBuf16K = std::array<uint8_t, 16384>;
// An open byte buffer addressed through a pointer (index 0 to 2147483646).
using TDataBuffer = uint8_t*;

// ---- 4. Callback types --------------------------------------------------------------------
// Events receive the sender first; reference parameters may be changed by the handler.

using TSortExchgEvent = std::function<void(TObject* Sender, uint8_t ExchgWhat, int32_t index1,
                                           int32_t index2, int32_t first, int32_t last)>;
using TZoomPanEvent = std::function<void(TObject* Sender)>;
using TSelectRectEvent = std::function<void(TObject* Sender, int32_t Layer, double LoX,
                                            double LoY, double HiX, double HiY)>;
using TOnPercentDoneEvent = std::function<void(TObject* Sender, int32_t PercentDone)>;
// The handler sets Abort to request an abort.
using TOnCheckAbortEvent = std::function<void(TObject* Sender, bool& Abort)>;
using TOnRubberBandActionEvent = std::function<void(TObject* Sender, TPoint APoint)>;
// FeedBackProcType (a plain procedure of StateCnt) comes with the progress state.
using TFeedbackProc = void (*)(TObject* Sender, double StateCnt, double PercentDone);

// ---- 5. Constant and language tables ------------------------------------------------------
// Name tables hold the value names of the enumerations, indexed by the enumeration.

extern const std::array<const char*, 3> xmlVerticalAlignment;
extern const std::array<const char*, 3> xmlAlignment;  // of TAlignment
extern const std::array<const char*, 3> xmlBkgFill;
extern const std::array<const char*, 3> xmlBoundingBox;
extern const std::array<const char*, 2> xmlColorScheme;
extern const std::array<const char*, 5> xmlFigType;
extern const std::array<const char*, 4> xmlScaleType;
extern const std::array<const char*, 3> xmlYearLength;
extern const std::array<const char*, 3> xmlDateOrder;
extern const std::array<const char*, 4> xmlDateForTime;
extern const std::array<const char*, 2> xmlShadowStyle;
extern const std::array<const char*, 6> xmlFrameStyle;
extern const std::array<const char*, 3> xmlTimeFormat;
extern const std::array<const char*, 4> xmlDirection;
extern const std::array<const char*, 5> xmlLanguage;
extern const std::array<const char*, 7> xmlVarKind;  // "bool" in lower case for Bool
extern const std::array<const char*, 4> xmlMouseBoxState;
extern const std::array<const char*, 19> xmlMouseActMode;
extern const std::array<const char*, 2> xmlZoomState;
extern const std::array<const char*, 6> xmlCrossHMode;
extern const std::array<const char*, 5> xmlTxtLblMode;
extern const std::array<const char*, 4> xmlTxtLblAttachMode;
extern const std::array<const char*, 4> xmlFontStyle;  // of TFontStyle

// The delimiter character of each TCSVDelimiters value (csvUnknown is character 0).
extern const std::array<char, 6> CSVDELIMITERS;
extern const std::array<const char*, 6> CSVDELIMITERIDS;
extern const std::array<const char*, 6> DistModeId;
// HTML 4 entity references of the character codes 160..255 ("&nbsp;" .. "&yuml;").
extern const TOffsetArray<const char*, 160, 255> HTMLLat1Entities;
extern const std::array<const char*, 5> ISO639_2Char;
extern const std::array<const char*, 5> ISO639_3Char;

// Language tables as UTF-8 text. LanguageID[written in][named]; months are indexed 1..12,
// week days 1..7 (Monday first), numbers 0..12.
using TLanguageTable = std::array<std::array<const char*, 5>, 5>;
using TMonthNames = std::array<TOffsetArray<const char*, 1, 12>, 5>;
using TWeekDayNames = std::array<TOffsetArray<const char*, 1, 7>, 5>;
using TNumberWords = std::array<std::array<const char*, 13>, 5>;

extern const TLanguageTable LanguageID;
extern const TMonthNames MonthShort;
extern const TMonthNames MonthLong;
extern const TWeekDayNames WeekDayShort;
extern const TWeekDayNames WeekDayLong;
extern const TNumberWords NumWords;

// ---- 6. Errors ----------------------------------------------------------------------------
// EZEFError is the base of every exception class of the suite; each unit that raises errors
// has its own direct descendant. Messages about a component read
// "Component \"" + Name + "\": " + text (see ComponentMessage); others begin with the class.

ZEF_DECLARE_EXCEPTION(EZEFError, Exception);
ZEF_DECLARE_EXCEPTION(EZEFColArrayError, EZEFError);
ZEF_DECLARE_EXCEPTION(EZEFStringlError, EZEFError);
ZEF_DECLARE_EXCEPTION(EZEFDStructError, EZEFError);
ZEF_DECLARE_EXCEPTION(EZEFFileSysError, EZEFError);
ZEF_DECLARE_EXCEPTION(EZEFCpuIdError, EZEFError);

// "Component \"" + Name + "\": " + Text.
std::string ComponentMessage(const std::string& Name, const std::string& Text);

// ---- 7. Progress state --------------------------------------------------------------------
// ProcStat, LastProcStat, AbortMathProc, MathFeedBackProc and MathProcStep() come from
// rtl/progress.h (the numerics library reports through the same state). ProcStat starts at 0.

// ---- 8. Settings classes and helpers ------------------------------------------------------

// The cross-hair of a chart. Its owner creates it and sets every value; it has no defaults
// of its own.
class TCrossHair : public TPersistent {
public:
  double PosX() const { return FPosX; }
  double PosY() const { return FPosY; }
  TColor Color() const { return FColor; }
  int32_t Layer() const { return FLayer; }
  TCrossHMode Mode() const { return FMode; }
  TPenStyle LineType() const { return FLineType; }
  int32_t LineWid() const { return FLineWid; }

  void SetPosX(double Value);
  void SetPosY(double Value);
  void SetColor(TColor Value);
  // Values of 0 or less become 1, values of 3 or more become 2.
  void SetLayer(int32_t Value);
  void SetMode(TCrossHMode Value);
  void SetLineType(TPenStyle Value);
  void SetLineWid(int32_t Value);
  // Sets both coordinates and notifies once, only when at least one of them changes.
  void SetPos(double XPos, double YPos);

  void Changed();
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  double FPosX = 0;
  double FPosY = 0;
  TColor FColor = 0;
  int32_t FLayer = 1;
  TCrossHMode FMode = chOff;
  TPenStyle FLineType = psSolid;
  int32_t FLineWid = 1;
};

// How a scale writes date and time tick labels.
class TDTLabel : public TPersistent {
public:
  TTimeFormat TimeFormat() const { return FTimeFormat; }
  char DateSeparator() const { return FDateSeparator; }
  char TimeSeparator() const { return FTimeSeparator; }
  TYearLength YearLength() const { return FYearLength; }
  bool MonthName() const { return FMonthName; }
  TDateOrder DateOrder() const { return FDateOrder; }
  TDateForTime DateForTime() const { return FDateForTime; }

  void SetTimeFormat(TTimeFormat Value);      // always notifies
  void SetDateSeparator(char Value);          // notifies on change
  void SetTimeSeparator(char Value);          // notifies on change
  void SetYearLength(TYearLength Value);      // notifies on change
  void SetMonthName(bool Value);              // notifies on change
  void SetDateOrder(TDateOrder Value);        // always notifies
  void SetDateForTime(TDateForTime Value);    // notifies on change

  void Changed();
  // Copies the settings; the change handler stays this label's own.
  void Assign(const TPersistent& Source) override;

  TNotifyEvent OnChange;

private:
  TTimeFormat FTimeFormat = tfHHMMSS;
  char FDateSeparator = '.';
  char FTimeSeparator = ':';
  TYearLength FYearLength = ylYYYY;
  bool FMonthName = false;
  TDateOrder FDateOrder = doYYMMDD;
  TDateForTime FDateForTime = dtOnePerIrove;
};

// The TCSVDelimiters value whose character equals Delimiter; csvUnknown when none does.
TCSVDelimiters ResolveCSVDelimiter(char Delimiter);

// ---- 9. Mark symbols, frames and canvas utilities -----------------------------------------

// Draws mark Mark centred at (X, Y) in the canvas's pen colour. 0..51 are geometric marks
// (pattern marks as pixels on screen and as lines on a printer canvas), 200..209 the digits
// "0".."9", any other value the Latin-1 character of that code. The brush colour is kept for
// marks 0..51; open marks leave the brush style solid.
void DrawMarkOnCanvas(TCanvas& Canvas, uint8_t Mark, int32_t X, int32_t Y);
// A (2 Margin + 7)-pixel square bitmap in BackgroundColor with the mark in its centre;
// Margin is clamped to 0..255.
std::unique_ptr<TBitmap> CreateMarkAsBitmap(uint8_t Mark, TColor MarkColor, TColor BackgroundColor,
                                            int32_t Margin);
// The outline (Left, Top) - (Left, Bottom) - (Right, Bottom) - (Right, Top) - (Left, Top) in
// the current pen.
void DrawRectangle(TCanvas& Canvas, int32_t Left, int32_t Top, int32_t Right, int32_t Bottom);
// A simple or three-dimensional frame; the colours are highlight, light, shadow, dark
// shadow and the simple-frame colour. The pen colour is left at the last colour used.
void DrawFrame(TCanvas& Canvas, TFrameStyle Style, int32_t Left, int32_t Top, int32_t Right,
               int32_t Bottom, TColor Highlight, TColor Light, TColor Shadow, TColor DarkShadow,
               TColor SimpleColor);
// Copies the bitmap onto the printer's canvas with its top-left corner at (X, Y).
void PrintBitmap(const TBitmap& Bitmap, int32_t X, int32_t Y);
// Whether an installed font is an outline (TrueType-class) font; an unknown name raises
// EZEFError.
bool FontIsTrueType(const std::string& FontName);
// Sets the canvas font to Size points at the screen's resolution (the font's own pixels per
// inch are kept).
void SetCanvasFontSizeScaled(TCanvas& Canvas, int32_t Size);

} // namespace zef

// The tagged-text files and TCustomTextLabel.
#include "zefbase_xml.h"
