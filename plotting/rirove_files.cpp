// Chart files: the binary data and annotation files (a header record, the item records and
// the long texts), copying annotations between charts, and the text listing of items.
#include <cstring>
#include <new>

#include "ZEF_rirove.h"
#include "ZEF_stringl.h"
#include "ZEF_streams.h"
#include "rtl/numconv.h"
#include "rtl/streams.h"
#include "rtl/strings.h"

namespace zef {

namespace {

constexpr int32_t kMaxLongTexts = 50;
constexpr std::size_t kTagLength = 12;
const char kDataFormat[] = "[DATAFORMAT]";
const char kAnnoFormat[] = "[ANNOFORMAT]";

bool IsTextKind(TrcItem K) { return K == tkText || K == tkTextOfs; }

// The header record: a cleared record carrying the format text and the two counts.
TrcChartItem HeaderRecord(const char* FormatTag, int32_t NumItems, int32_t NumTexts) {
  TrcChartItem H;
  H.FillColor = 0x00FFFFFF;
  H.ShadowColor = 0x00808080;
  H.HiLightColor = 0x00FFFFFF;
  H.LWid = -2;
  H.Layer = 1;
  H.Text[0] = static_cast<uint8_t>(kTagLength);
  std::memcpy(&H.Text[1], FormatTag, kTagLength);
  H.Param1 = NumItems;
  H.Param2 = NumTexts;
  return H;
}

bool HeaderMatches(const TrcChartItem& H, const char* FormatTag) {
  return H.Text[0] == kTagLength && std::memcmp(&H.Text[1], FormatTag, kTagLength) == 0 &&
         H.LWid < 0;
}

// One byte per UTF-16 code unit of Text: its low byte.
std::string LowBytesOfUtf16(const std::string& Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (std::size_t I = 0; I < Text.size();) {
    const char32_t C = NextCodePoint(Text, I);
    if (C > 0xFFFF) {
      const char32_t V = C - 0x10000;
      Out.push_back(static_cast<char>((0xD800 + (V >> 10)) & 0xFF));
      Out.push_back(static_cast<char>((0xDC00 + (V & 0x3FF)) & 0xFF));
    } else {
      Out.push_back(static_cast<char>(C & 0xFF));
    }
  }
  return Out;
}

} // namespace

// ---- Binary files -----------------------------------------------------------------------

void TCustomRIrove::SaveStore(const TStore& S, const std::string& FName, const char* FormatTag) {
  TFileStream F(FName, fmCreate);
  std::vector<uint8_t> Buf(kChartItemSize * (S.Items.size() + 1));
  ChartItemToBytes(HeaderRecord(FormatTag, S.Count(), S.NumLongTexts), Buf.data());
  for (std::size_t I = 0; I < S.Items.size(); ++I)
    ChartItemToBytes(S.Items[I], Buf.data() + kChartItemSize * (I + 1));
  F.WriteBuffer(Buf.data(), static_cast<int64_t>(Buf.size()));
  for (int32_t I = 0; I < S.NumLongTexts; ++I)
    WriteLnStream(F, LowBytesOfUtf16(S.LongTexts[static_cast<std::size_t>(I)]));
}

void TCustomRIrove::SaveData(const std::string& FName) { SaveStore(*FData, FName, kDataFormat); }
void TCustomRIrove::SaveAnno(const std::string& FName) { SaveStore(FAnnos, FName, kAnnoFormat); }

// A text item referring to a long text takes the next free slot, or keeps only its short
// text once all slots are in use.
void TCustomRIrove::AddLongTextSlot(TStore& S, TrcChartItem& It) {
  if (!IsTextKind(It.ItemKind) || It.LWid == 0) return;
  if (S.NumLongTexts < kMaxLongTexts) It.LWid = ++S.NumLongTexts;
  else It.LWid = 0;
}

// Everything is read and checked before the container is touched, so a failing load
// leaves the chart as it was. Counts that are negative or exceed what the file holds make
// the load fail; long-text lines missing at the end of the file are simply absent.
int32_t TCustomRIrove::LoadStore(TStore& S, const std::string& FName, const char* FormatTag,
                                 bool AppendIt, bool Counted) {
  std::vector<TrcChartItem> Items;
  std::vector<std::string> Lines;
  try {
    TFileStream F(FName, fmOpenRead);
    uint8_t Raw[kChartItemSize];
    if (F.Read(Raw, kChartItemSize) != static_cast<int64_t>(kChartItemSize)) return -1;
    const TrcChartItem H = ChartItemFromBytes(Raw);
    if (!HeaderMatches(H, FormatTag)) return -2;
    const int32_t N = H.Param1;
    const int32_t L = H.Param2;
    const int64_t Rest = F.Size() - F.Position();
    if (N < 0 || L < 0 || static_cast<int64_t>(N) * static_cast<int64_t>(kChartItemSize) > Rest)
      return -1;
    if (AppendIt && static_cast<int64_t>(S.Count()) + N > INT32_MAX) return -1;
    std::vector<uint8_t> Buf(static_cast<std::size_t>(N) * kChartItemSize);
    if (F.Read(Buf.data(), static_cast<int64_t>(Buf.size())) != static_cast<int64_t>(Buf.size()))
      return -1;
    Items.reserve(static_cast<std::size_t>(N));
    for (int32_t I = 0; I < N; ++I)
      Items.push_back(ChartItemFromBytes(Buf.data() + kChartItemSize * static_cast<std::size_t>(I)));
    // Every complete line costs at least its two line-end bytes, which bounds the loop.
    for (int32_t I = 0; I < L; ++I) {
      bool Eof = false;
      std::string Line = ReadLnStream(F, Eof, 4);
      if (Eof) break;
      if (Lines.size() < static_cast<std::size_t>(kMaxLongTexts))
        Lines.push_back(Latin1ToUtf8(Line));
    }
  } catch (const Exception&) {
    return -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }

  TStore New;
  if (AppendIt) New = S;
  New.Alloc = New.Count() + static_cast<int32_t>(Items.size());
  New.Items.reserve(static_cast<std::size_t>(New.Alloc));
  const int32_t Base = New.NumLongTexts;
  for (TrcChartItem& It : Items) {
    AddLongTextSlot(New, It);
    if (Counted && It.ItemKind < kNumItemKinds) ++New.KindCount[It.ItemKind];
    New.Items.push_back(It);
  }
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    const int64_t Slot = Base + static_cast<int64_t>(I) + 1;
    if (Slot <= kMaxLongTexts) New.LongTexts[static_cast<std::size_t>(Slot - 1)] = Lines[I];
  }
  std::swap(S, New);
  ShowGraf();
  return static_cast<int32_t>(Items.size());
}

int32_t TCustomRIrove::LoadData(const std::string& FName, bool AppendIt) {
  return LoadStore(*FData, FName, kDataFormat, AppendIt, true);
}

int32_t TCustomRIrove::LoadAnno(const std::string& FName, bool AppendIt) {
  return LoadStore(FAnnos, FName, kAnnoFormat, AppendIt, false);
}

// ---- Copying annotations ------------------------------------------------------------------

void TCustomRIrove::CopyAnnoFrom(const TCustomRIrove& SrcChart,
                                 const std::vector<uint8_t>& ClassFilter, bool AppendIt) {
  const TStore& Src = SrcChart.FAnnos;
  std::vector<TrcChartItem> Taken;
  for (const TrcChartItem& It : Src.Items)
    if (ClassFilter.empty() ||
        std::find(ClassFilter.begin(), ClassFilter.end(), It.ItemClass) != ClassFilter.end())
      Taken.push_back(It);
  TStore New;
  if (AppendIt) New = FAnnos;
  New.Alloc = New.Count() + static_cast<int32_t>(Taken.size());
  New.Items.reserve(static_cast<std::size_t>(New.Alloc));
  for (TrcChartItem It : Taken) {
    const int32_t SrcSlot = It.LWid;
    AddLongTextSlot(New, It);
    if (It.LWid != 0)
      New.LongTexts[static_cast<std::size_t>(It.LWid - 1)] =
          SrcSlot >= 1 && SrcSlot <= kMaxLongTexts
              ? Src.LongTexts[static_cast<std::size_t>(SrcSlot - 1)]
              : std::string();
    New.Items.push_back(It);
  }
  std::swap(FAnnos, New);
  ShowGraf();
}

// ---- Listing ------------------------------------------------------------------------------

namespace {

std::string Num(double v, int32_t Digits) { return Trim(SigDigStr(v, 10, Digits)); }
std::string N(double v) { return Num(v, 5); }

std::string Hex(uint32_t v, int Digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string Out(static_cast<std::size_t>(Digits), '0');
  for (int I = Digits - 1; I >= 0; --I, v >>= 4) Out[static_cast<std::size_t>(I)] = kDigits[v & 15];
  return Out;
}

std::string D(int64_t v) { return std::to_string(v); }
std::string Pair(double a, double b) { return "[" + N(a) + "/" + N(b) + "]"; }

const char* KindName(TrcItem K) {
  switch (K) {
  case tkMarkAt: return "tkMarkAt";
  case tkLine: return "tkLine";
  case tkLineto: return "tkLineTo";
  case tkRect: return "tkRect";
  case tkRectFrame: return "tkRectFrame";
  case tk3DBar: return "tk3DBar";
  case tkText: return "tkText";
  case tkMoveTo: return "tkMoveTo";
  case tkEllipse: return "tkEllipse";
  case tkMoveRelPix: return "tkMoveRelPix";
  case tkLineRelPix: return "tkLineRelPix";
  case tkArrow: return "tkArrow";
  case tkDoubleArrow: return "tkDoubleArrow";
  case tkTextOfs: return "tkTextOfs";
  case tkRectRelPix: return "tkRectRelPix";
  case tkMarkEBar: return "tkMarkEBar";
  case tkLineOffs: return "tkLineOffs";
  case tkArc: return "tkArc";
  case tkLineRelPixOrig: return "tkLineRelPixOrig";
  case tkCursorVert: return "tkCursorVert";
  case tkCursorHoriz: return "tkCursorHoriz";
  default: return "";
  }
}

void TextParts(const TrcChartItem& It, std::vector<std::string>& P) {
  std::string T = "     text: \"" + ReduceStringToAZ09(ChartItemText(It)) + "\"";
  if (It.LWid > 0) T += " (abbrev.)";
  P.push_back(T);
  P.push_back("     size: " + D(It.Param1));
  P.push_back("    align: " + D(It.Param3));
}

// The kind-specific parts.
void DetailParts(const TrcChartItem& It, std::vector<std::string>& P) {
  const std::string LW = "linewidth: " + D(It.LWid);
  const std::string Fill = "fillcolor: " + Hex(It.FillColor, 8);
  const std::string Transp = "  transp.: " + BoolToStr(It.Transp, 0);
  switch (It.ItemKind) {
  case tkMarkAt: P.push_back(" marktype: " + D(It.Param3)); break;
  case tkLine: P.insert(P.end(), {LW, " endpoint: " + Pair(It.x2, It.y2)}); break;
  case tkRect: P.insert(P.end(), {LW, "   corner: " + Pair(It.x2, It.y2), Fill, Transp}); break;
  case tkRectFrame: {
    P.insert(P.end(), {LW, "   corner: " + Pair(It.x2, It.y2), Fill});
    static const char* const kFrames[] = {"rbLowered", "rbRaised", "rbEmbossed", "rbEngraved"};
    if (It.FrameStyle >= fsLowered && It.FrameStyle <= fsEngraved)
      P.push_back(std::string("frametype: ") + kFrames[It.FrameStyle - fsLowered]);
    P.push_back("shadowcol: " + Hex(It.ShadowColor, 8));
    P.push_back("hilitecol: " + Hex(It.HiLightColor, 8));
    break;
  }
  case tk3DBar:
    P.insert(P.end(), {LW, " endpoint: " + Pair(It.x2, It.y2), Fill, "    depth: " + D(It.Param2),
                       "    angle: " + D(It.Param1)});
    break;
  case tkText: TextParts(It, P); break;
  case tkEllipse:
    P.insert(P.end(), {LW, " halfaxes: " + N(It.x2) + " " + N(It.y2), Fill, Transp});
    break;
  case tkArrow:
  case tkDoubleArrow:
    P.insert(P.end(), {LW, "    arrow: " + Pair(It.x2, It.y2), Fill, Transp,
                       " headsize: " + D(It.Param1)});
    break;
  case tkTextOfs:
    TextParts(It, P);
    P.push_back(" offset x: '" + Num(It.x2, 0) + "'");
    P.push_back(" offset y: '" + Num(It.y2, 0) + "'");
    break;
  case tkRectRelPix:
    P.insert(P.end(), {LW, "    dx/dy: " + D(It.Param1) + "/" + D(It.Param2), Fill, Transp});
    break;
  case tkMarkEBar:
    P.insert(P.end(), {LW, "   errors: " + Pair(It.x2, It.y2), " marktype: " + D(It.Param3),
                       "direction: " + D(It.Param1)});
    break;
  case tkLineOffs:
    P.insert(P.end(), {LW, " endpoint: " + Pair(It.x2, It.y2),
                       "   offset: " + Pair(It.Param1, It.Param2)});
    break;
  case tkArc:
    P.insert(P.end(), {LW, " halfaxes: " + N(It.x2) + " " + N(It.y2),
                       "   angles: " + Num(It.Param1 / 1e8, 8) + " " + Num(It.Param2 / 1e8, 8)});
    break;
  case tkLineRelPixOrig:
    P.insert(P.end(), {LW, "    dx/dy: " + Num(It.x2, 0) + "/" + Num(It.y2, 0)});
    break;
  default: break;
  }
}

} // namespace

std::string ItemDescription(const TrcChartItem& Item, int32_t Flags) {
  std::vector<std::string> P;
  if (Flags & 1) P.push_back(std::string("elemtype: ") + KindName(Item.ItemKind));
  if (Flags & 2) {
    std::string Pos;
    if (Item.ItemKind == tkCursorVert) Pos = " position: [" + N(Item.x) + "]";
    else if (Item.ItemKind == tkCursorHoriz) Pos = " position: [" + N(Item.y) + "]";
    else if (Item.ItemKind == tkEllipse) Pos = "   center: " + Pair(Item.x, Item.y);
    else Pos = " startpnt: " + Pair(Item.x, Item.y);
    if (Item.CoordMode == cmAllScreen || Item.CoordMode == cmScreenMainWorldSec)
      Pos += " (screen coords)";
    P.push_back(Pos);
    P.push_back(" endpoint: " + Pair(Item.x2, Item.y2));
  }
  if (Flags & 8) P.push_back("      tag: " + Hex(static_cast<uint32_t>(Item.Tag), 8));
  if (Flags & 4) {
    P.push_back("    color: " + Hex(Item.Color, 8));
    P.push_back(" penstyle: " + Hex(Item.PenStyle, 2));
  }
  if (Flags & 16) P.push_back(" classnum: " + D(Item.ItemClass));
  if (Flags == -1) DetailParts(Item, P);
  std::string Out = (Flags & 1) ? std::string() : std::string("\r\n");
  for (std::size_t I = 0; I < P.size(); ++I) {
    if (I > 0) Out += "\r\n";
    Out += P[I];
  }
  return Out;
}

void TCustomRIrove::SaveDataASC(const std::string& FName) {
  try {
    std::string Text;
    for (int32_t I = 0; I < FData->Count(); ++I)
      Text += "\r\n------ item " + D(I) + " ------\r\n  " +
              ItemDescription(FData->Items[static_cast<std::size_t>(I)], -1) + "\r\n";
    TFileStream F(FName, fmCreate);
    const std::string Bytes = Utf8ToLatin1(Text);
    F.WriteBuffer(Bytes.data(), static_cast<int64_t>(Bytes.size()));
  } catch (const Exception&) {
  }
}

} // namespace zef
