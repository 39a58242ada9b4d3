// The scale's transform and its tick drawing: linear, logarithmic, time and date-time ticks,
// their label texts and places, and the unit caption.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "ZEF_Scale.h"
#include "ZEF_math1.h"
#include "rtl/datetime.h"
#include "rtl/mathfn.h"
#include "rtl/numconv.h"

namespace zef {

namespace {

// No axis needs more tick steps than this; the cap keeps ranges that floating point cannot
// resolve into distinct positions from walking for ages.
constexpr int kMaxTickSteps = 20000;
// The platform's date range: 0001-01-01 .. the last millisecond of 9999-12-31.
constexpr double kMinDate = -693593;
constexpr double kMaxDate = 2958465.99999;

// Fixed or scientific text of a number label: Decimals -1 is the scientific form with one
// mantissa decimal and a two-digit exponent (asterisks when the exponent needs more); the
// text is cut to 14 characters. With SnapZero a position within 1e-14 of the range width
// from 0 reads as 0 (ticks computed at 0 often miss it by a rounding error).
std::string NumberText(long double Pos, int Decimals, double Low, double High, bool SnapZero) {
  const double S = std::fabs(High - Low);
  std::string T;
  if (SnapZero && std::fabs(Pos / (High - Low)) < 1e-14) {
    if (S > 100000) return Decimals != 0 ? "0.0" : "0";
    Pos = 0;
  }
  if (Decimals == -1) {
    T = SciStr(Pos, 10);  // " d.dE+dddd"
    if (T.size() >= 4 && T.compare(T.size() - 4, 2, "00") == 0)
      T.erase(T.size() - 4, 2);
    else
      T.assign(T.size(), '*');
  } else {
    T = FixedStr(Pos, 0, Decimals);
  }
  if (T.size() > 14) T.resize(14);
  return T;
}

// Automatic decimals of linear labels from the width of the range.
int LinearDecimals(int32_t DecPlaces, double Low, double High) {
  if (DecPlaces >= -1) return DecPlaces;
  const double S = std::fabs(High - Low);
  if (S >= 1000000 || S <= 0.0001) return -1;
  if (S >= 100) return 0;
  return static_cast<int>(2 - Round(std::log(S) / 2.5));
}

// A date-time value in the platform's convention for days before 1899-12-30 (integral
// part the day, fraction the time of day counted forward).
double ToPlatformDate(double V) {
  if (std::fabs(V) < 1e-8) return 0;
  if (V < 0 && V != std::floor(V)) return std::floor(V) - (V - std::trunc(V)) - 1;
  return V;
}

// FormatDateTime of a walk position; empty outside the platform's dates.
std::string DateText(std::string_view Format, double V) {
  if (!(V >= kMinDate && V <= kMaxDate)) return {};
  return FormatDateTime(Format, ToPlatformDate(V));
}

// A separator as a literal of FormatDateTime.
std::string Literal(char Sep) {
  if (Sep == 0) return {};
  return Sep == '"' ? std::string("'\"'") : std::string("\"") + Sep + "\"";
}

void DecodeDay(double Day, int& Year, int& Month, int& DayOfMonth) {
  uint16_t Y = 1, M = 1, D = 1;
  DecodeDate(std::floor(Day), Y, M, D);
  Year = Y;
  Month = M;
  DayOfMonth = D;
}

} // namespace

// Draws the ticks of one scale onto one canvas: the state of one DrawHorizScale or
// DrawVertScale call.
class TTickDrawer {
public:
  TTickDrawer(TScale& Scale, TCanvas& Canvas, int32_t Axis)
      : S(Scale), C(Canvas), Horiz(Scale.IsHoriz()), Axis(Axis),
        Dir(Scale.FScaleType == sctXT || Scale.FScaleType == sctYL ? 1 : -1),
        Low(Scale.FRangeLow), High(Scale.FRangeHigh),
        MinTicks(Scale.FMinTicks == 0 ? 0 : std::clamp(Scale.FMinTicks, 2, 20)),
        TickDivisor(std::max(MinTicks, 1)) {}

  // Draws the whole scale with its base line at Axis: ticks in the scale colour with a clear
  // brush, then the caption; the canvas's brush style and font colour are restored.
  static void Run(TScale& Scale, TCanvas& Canvas, int32_t Axis);

private:
  void Draw();
  // A tick line from the base line towards the labels, then OnScaleTickDrawn.
  void TickLine(double Pos, int32_t Len);
  // OnBeforeTickLabel, then the text at the label place of Pos; Line 1 is the date line
  // one text height further out.
  void Label(double Pos, std::string Text, int Line = 0);
  // Text at the label place of a pixel along the axis.
  void PlaceText(int32_t P, const std::string& Text, int Line);
  // The text of the next labelled tick with user texts or the inscription applied.
  std::string Decorate(std::string Text);
  int32_t ShortLen() const { return 4; }
  int32_t LabelLen() const { return Horiz ? 7 : 6; }

  void LinearTicks();
  bool LogTicks();
  bool TimeTicks();
  void DateTimeTicks();
  void ClockTicks(int Unit, const std::array<int, 6>& Steps, const std::array<int, 6>& Shorts,
                  const std::string& Format, double q);
  void DayTicks(double q);
  void MonthTicks();
  void YearTicks();
  std::string DayText(double Pos, bool DateLine) const;
  void Caption();

  TScale& S;
  TCanvas& C;
  const bool Horiz;
  const int32_t Axis;
  const int32_t Dir;  // +1 when ticks point down or right
  const double Low;
  const double High;
  const int32_t MinTicks;
  const int32_t TickDivisor;  // MinTicks as a divisor, never 0
  int32_t Labelled = 0;       // labelled ticks so far (fields of UserTickText)
};

void TTickDrawer::Run(TScale& Scale, TCanvas& Canvas, int32_t Axis) {
  const TBrushStyle OldBrush = Canvas.Brush().Style();
  const TColor OldFontColor = Canvas.Font().Color();
  Canvas.Brush().SetStyle(bsClear);
  Canvas.Font().SetColor(Scale.FColorScale);
  TTickDrawer(Scale, Canvas, Axis).Draw();
  Canvas.Font().SetColor(OldFontColor);
  Canvas.Brush().SetStyle(OldBrush);
}

void TTickDrawer::Draw() {
  S.FTickPos.clear();
  if (S.FLabelType == ftDateTime)
    DateTimeTicks();
  else if (S.FLabelType == ftTime) {
    if (!TimeTicks()) LinearTicks();
  } else if (!S.FLogarithmic || !LogTicks())
    LinearTicks();
  Caption();
}

void TTickDrawer::TickLine(double Pos, int32_t Len) {
  const int32_t P = S.ConvertToPixelCoords(Pos);
  if (Horiz) {
    C.MoveTo(P, Axis);
    C.LineTo(P, RoundInt(int64_t{Axis} + Dir * Len));
  } else {
    C.MoveTo(Axis, P);
    C.LineTo(RoundInt(int64_t{Axis} + Dir * Len), P);
  }
  if (S.OnScaleTickDrawn)
    S.OnScaleTickDrawn(&S, C, S.FScaleType, Pos, Horiz ? P : Axis, Horiz ? Axis : P);
}

void TTickDrawer::Label(double Pos, std::string Text, int Line) {
  if (S.OnBeforeTickLabel) S.OnBeforeTickLabel(&S, S.FScaleType, Pos, Text);
  if (!Text.empty()) PlaceText(S.ConvertToPixelCoords(Pos), Text, Line);
}

void TTickDrawer::PlaceText(int32_t P, const std::string& Text, int Line) {
  // 64-bit sums, saturated: pixel positions may lie anywhere in the 32-bit range.
  const int64_t W = C.TextWidth(Text);
  const int64_t H = C.TextHeight(Text);
  if (Horiz) {
    const int64_t Half = W / 2;
    int64_t X = std::max<int64_t>(P - Half, 2);
    if (P + Half >= S.Width() - 2) X = S.Width() - 2 * Half - 2;
    const int64_t A = Axis;
    const int64_t Y = S.FScaleType == sctXT ? A + 7 + Line * H : A - H - 7 - Line * H;
    C.TextOut(RoundInt(X), RoundInt(Y), Text);
  } else {
    const int64_t A = Axis;
    const int64_t Y = P - C.TextHeight("0") / 2 - Line * H;
    C.TextOut(RoundInt(S.FScaleType == sctYL ? A + 8 : A - 8 - W), RoundInt(Y), Text);
  }
}

std::string TTickDrawer::Decorate(std::string Text) {
  ++Labelled;
  if (S.FLabelType == ftUserText) {
    const std::string& U = S.FUserTickText;
    std::size_t Start = 0;
    for (int32_t Field = 1; Field < Labelled; ++Field) {
      Start = U.find('|', Start);
      if (Start == std::string::npos) return {};
      ++Start;
    }
    return U.substr(Start, U.find('|', Start) - Start);
  }
  if (Text.empty() || S.FScaleInscript.empty()) return Text;
  std::string Result = S.FScaleInscript;
  const std::size_t Amp = Result.find('&');
  if (Amp == std::string::npos) return Result + Text;
  return Result.replace(Amp, 1, Text);
}

// ---- Linear ticks -------------------------------------------------------------------------

void TTickDrawer::LinearTicks() {
  long double First = 0, Dist = 0;
  uint16_t Sub = 1;
  CalcScalePars(MinTicks, Low, High, First, Dist, Sub);
  if (!std::isfinite(Dist) || !std::isfinite(First) || Dist == 0) return;
  Sub = std::max<uint16_t>(Sub, 1);
  const long double Sgn = High > Low ? 1 : -1;
  const long double Step = std::fabs(Dist);
  if (S.FShortTicks) {
    const long double Short = Dist / Sub;
    for (int I = 0; I < kMaxTickSteps; ++I) {
      const long double Pos = First + (I - Sub) * Short;
      if ((Pos - High) * Sgn > 0.001L * Step / Sub) break;
      if (Sgn * Pos >= Sgn * Low - 1e-9L * Step / Sub) {
        TickLine(static_cast<double>(Pos), ShortLen());
        S.RecordTick(static_cast<double>(Pos));
      }
    }
  }
  const int Decimals = LinearDecimals(S.FDecPlaces, Low, High);
  for (int I = 0; I < kMaxTickSteps; ++I) {
    const long double Pos = First + I * Dist;
    if ((Pos - High) * Sgn > 0.001L * Step) break;
    TickLine(static_cast<double>(Pos), LabelLen());
    if (!S.FShortTicks) S.RecordTick(static_cast<double>(Pos));
    if (S.FLabelType == ftNoFigs) continue;
    std::string Text = NumberText(Pos, Decimals, Low, High, true);
    if (Decimals == 0 && std::fabs(Pos - std::nearbyint(Pos)) > 1e-6L) Text.clear();
    Label(static_cast<double>(Pos), Decorate(std::move(Text)));
  }
}

// ---- Logarithmic ticks --------------------------------------------------------------------

bool TTickDrawer::LogTicks() {
  const double Lo = std::min(Low, High), Hi = std::max(Low, High);
  if (!(Lo > 0) || !std::isfinite(Hi)) return false;
  const double D = std::fabs(std::log10(High / Low));
  if (!(D >= 1)) return false;
  int Decimals = S.FDecPlaces;
  if (Decimals == -2) {
    if (Hi - Lo >= 1000000 || Hi - Lo <= 0.0001)
      Decimals = -1;
    else if (Lo >= 1)
      Decimals = 0;
    else
      Decimals = static_cast<int>(1 - Round(std::log10(std::fabs(Lo))));
  }
  // Collect the ticks of the decades from Lo up, then draw them from RangeLow on.
  struct TLogTick {
    double Pos;
    int Mult;  // 1..9: the multiple of the decade
    int Exponent;
  };
  std::vector<TLogTick> Ticks;
  const bool Fill = MinTicks > D + 0.5;
  for (int E = static_cast<int>(Floor(std::log10(Lo * 0.999999999))), N = 0;
       N < 700 && Hi >= 0.999999999 * std::pow(10.0, E); ++E, ++N) {
    const double B = std::pow(10.0, E);
    for (int M = 1; M <= (Fill ? 9 : 1); ++M) {
      const double Pos = M * B;
      if (Pos >= Lo * (1 - 1e-9) && Pos <= Hi * (1 + 1e-9)) Ticks.push_back({Pos, M, E});
    }
  }
  if (Low > High) std::reverse(Ticks.begin(), Ticks.end());
  for (const TLogTick& T : Ticks) {
    const bool IsLabelled = T.Mult == 1 || (Decimals != -3 && (T.Mult == 2 || T.Mult == 5));
    if (!IsLabelled) {
      if (!Horiz || S.FShortTicks) {
        TickLine(T.Pos, Horiz ? ShortLen() : 6);
        if (S.FShortTicks) S.RecordTick(T.Pos);
      }
      continue;
    }
    TickLine(T.Pos, LabelLen());
    S.RecordTick(T.Pos);
    if (S.FLabelType == ftNoFigs) continue;
    std::string Text;
    if (Decimals == -3) {
      Text = IntToStr(T.Exponent);
    } else {
      Text = NumberText(T.Pos, Decimals, Low, High, false);
      if (S.FDecPlaces == -2 && Text.find('.') != std::string::npos &&
          Text.find('E') == std::string::npos) {
        Text.erase(Text.find_last_not_of('0') + 1);
        if (Text.back() == '.') Text.pop_back();
      }
      if (Decimals == 0 && std::fabs(T.Pos - std::nearbyint(T.Pos)) > 1e-6) Text.clear();
    }
    Label(T.Pos, Decorate(std::move(Text)));
  }
  return true;
}

// ---- Time ticks (seconds) -----------------------------------------------------------------

bool TTickDrawer::TimeTicks() {
  static constexpr std::array<double, 28> Steps = {
      0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 20,
      30, 60, 120, 180, 300, 600, 1200, 1800, 3600, 7200, 14400, 21600, 43200, 86400};
  static constexpr std::array<int, 28> Divisions = {5, 4, 5, 5, 4, 5, 5, 4, 5, 5, 4, 5, 5, 4,
                                                    6, 6, 6, 6, 5, 5, 6, 6, 6, 4, 4, 6, 6, 6};
  const double q = std::fabs(High - Low) / TickDivisor;
  if (!std::isfinite(q)) return false;
  int Index = 0;  // 1-based into the table
  while (Index < 28 && Steps[Index] <= q) ++Index;
  if (Index == 0 || Index == 28) return false;
  const double Step = High >= Low ? Steps[Index - 1] : -Steps[Index - 1];
  const double Short = Step / Divisions[Index - 1];
  const double First = std::floor(Low / Step / 0.999999999) * Step;
  const double Tol = 1e-9 * std::fabs(High - Low);
  const double WinLo = std::min(Low, High) - Tol, WinHi = std::max(Low, High) + Tol;
  const int64_t Count = std::min<int64_t>(Trunc((High - Low) / Short) + 5, kMaxTickSteps);
  for (int64_t I = 0; I <= Count; ++I) {
    const double Pos = First + static_cast<double>(I) * Short;
    if (Pos < WinLo || Pos > WinHi) continue;
    const double Ratio = Pos / Step;
    const bool IsLabelled = std::fabs(Ratio - std::nearbyint(Ratio)) < 0.01;
    if (!IsLabelled) {
      if (S.FShortTicks) {
        TickLine(Pos, ShortLen());
        S.RecordTick(Pos);
      }
      continue;
    }
    TickLine(Pos, LabelLen());
    S.RecordTick(Pos);
    if (S.FLabelType == ftNoFigs) continue;
    // Whole milliseconds (whole seconds for steps of a second and more), then the fields.
    const bool WithMs = Index <= 9;
    const int64_t Ms = WithMs ? Round(std::fabs(Pos) * 1000) : Round(std::fabs(Pos)) * 1000;
    std::string Text = Pos < 0 && Ms > 0 ? "-" : " ";
    Text += Format("%.2d:%.2d:%.2d", {Ms / 3600000, Ms / 60000 % 60, Ms / 1000 % 60});
    if (WithMs) Text += Format(".%.3d", {Ms % 1000});
    Label(Pos, std::move(Text));
  }
  return true;
}

// ---- Date-time ticks (days) ---------------------------------------------------------------

std::string TTickDrawer::DayText(double Pos, bool DateLine) const {
  const TDTLabel& F = S.FDateFormat;
  const std::string M = F.MonthName() ? "mmm" : "mm";
  const std::string Y = F.YearLength() == ylNone ? "" : (F.YearLength() == ylYY ? "yy" : "yyyy");
  const std::string Sep = Literal(F.DateSeparator());
  std::string Fmt;
  if (DateLine) {
    switch (F.DateOrder()) {
      case doDDMMYY: Fmt = "dd" + Sep + M + (Y.empty() ? "" : Sep + Y); break;
      case doYYMMDD: Fmt = (Y.empty() ? "" : Y + Sep) + M + Sep + "dd"; break;
      case doMMDDYY: Fmt = M + Sep + "dd" + (Y.empty() ? "" : Sep + Y); break;
    }
  } else {
    switch (F.DateOrder()) {
      case doDDMMYY: Fmt = "dd" + Sep + M + Sep + Y; break;
      case doYYMMDD: Fmt = Y + Sep + M + Sep + "dd"; break;
      case doMMDDYY: Fmt = M + Sep + "dd" + Sep + Y; break;
    }
  }
  return DateText(Fmt, Pos);
}

void TTickDrawer::DateTimeTicks() {
  const double q = (High - Low) / TickDivisor;
  const auto Message = [&](const std::string& Text) {
    PlaceText(S.ConvertToPixelCoords((Low + High) / 2), Text, 0);
  };
  if (!(High >= Low) || !(Low >= -693593) || !(High <= 3000000)) {
    Message("invalid DateTime scale");
    return;
  }
  if (Low > kMaxDate) return;  // no calendar date lies there
  const TTimeFormat TF = S.FDateFormat.TimeFormat();
  const std::string Sep = Literal(S.FDateFormat.TimeSeparator());
  static constexpr std::array<int, 6> HourSteps = {1, 2, 3, 6, 8, 12};
  static constexpr std::array<int, 6> HourShorts = {1, 1, 1, 2, 2, 3};
  static constexpr std::array<int, 6> MinSteps = {1, 2, 5, 10, 20, 30};
  static constexpr std::array<int, 6> MinShorts = {1, 1, 1, 2, 5, 10};
  if (q <= 1.1574e-5) {
    Message("DateTime range is below 1 second");
  } else if (q <= 6.9444e-4) {
    const std::string Fmt = TF == tfHHMMSS ? "hh" + Sep + "nn" + Sep + "ss"
                            : TF == tfHHhMM ? "h\"h\"nn" + Sep + "ss"
                                            : "h" + Sep + "nn.ssam/pm";
    ClockTicks(86400, MinSteps, MinShorts, Fmt, q);
  } else if (q <= 0.041667) {
    const std::string Fmt = TF == tfHHMMSS ? "hh" + Sep + "nn"
                            : TF == tfHHhMM ? "h\"h\"nn"
                                            : "h" + Sep + "nnam/pm";
    ClockTicks(1440, MinSteps, MinShorts, Fmt, q);
  } else if (q <= 1) {
    const std::string Fmt = TF == tfHHMMSS ? "hh" + Sep + "nn" : TF == tfHHhMM ? "h\"h\"" : "ham/pm";
    ClockTicks(24, HourSteps, HourShorts, Fmt, q);
  } else if (q <= 30) {
    DayTicks(q);
  } else if (q <= 366) {
    MonthTicks();
  } else {
    YearTicks();
  }
}

void TTickDrawer::ClockTicks(int Unit, const std::array<int, 6>& Steps,
                             const std::array<int, 6>& Shorts, const std::string& Format,
                             double q) {
  int Ix = 0;
  while (Ix + 1 < 6 && Steps[Ix + 1] <= q * Unit) ++Ix;
  const int64_t Step = Steps[Ix];
  const int64_t Short = S.FShortTicks ? Shorts[Ix] : Step;
  // Positions are whole units counted from midnight of Low's day.
  const double Day0 = std::floor(Low);
  const double Offset = (Low - Day0) * Unit;
  int64_t N = Ceil(Offset / static_cast<double>(Step) - 1e-9) * Step;
  if (S.FShortTicks)
    while (N > Offset + 1e-9) N -= Short;
  const TDateForTime DateLines = S.FDateFormat.DateForTime();
  double LastDay = std::nan("");
  bool FirstLabel = true;
  for (int I = 0; I < kMaxTickSteps; ++I, N += Short) {
    const double Pos = Day0 + static_cast<double>(N) / Unit;
    if (!(Pos - High < 1e-8) || Pos > kMaxDate) break;
    if (Pos < Low - 1e-8) continue;
    const bool IsLabelled = !S.FShortTicks || N % Step == 0;
    TickLine(Pos, IsLabelled ? LabelLen() : ShortLen());
    S.RecordTick(Pos);
    if (!IsLabelled || S.FLabelType == ftNoFigs) continue;
    Label(Pos, DateText(Format, Pos));
    // The day of a tick at midnight may be decoded a hair early; the text's rounding to the
    // millisecond decides, as for the label.
    const double Day = std::floor(Pos + 0.5 / 86400000);
    const bool WithDate = DateLines == dtAllTicks || (DateLines == dtOnePerIrove && FirstLabel) ||
                          (DateLines == dtOnePerDay && Day != LastDay);
    if (WithDate) Label(Pos, DayText(Pos, true), 1);
    LastDay = Day;
    FirstLabel = false;
  }
}

void TTickDrawer::DayTicks(double q) {
  static constexpr std::array<int, 6> Steps = {1, 2, 3, 7, 14, 28};
  int Ix = 0;
  while (Ix + 1 < 6 && Steps[Ix + 1] <= q) ++Ix;
  const int64_t Step = Steps[Ix];
  const int64_t Walk = S.FShortTicks ? (Step <= 7 ? 1 : 7) : Step;
  int Year = 1, Month = 1, Dom = 1;
  DecodeDay(Low, Year, Month, Dom);
  const double Jan1 = EncodeDate(Year, 1, 1);
  int64_t N = Trunc(Low - Jan1) / Step * Step;  // days since that 1 January
  for (int I = 0; I < kMaxTickSteps; ++I, N += Walk) {
    const double Pos = Jan1 + static_cast<double>(N);
    if (Pos - High >= 1e-8 || Pos > kMaxDate) break;
    if (Pos < Low) continue;
    const bool IsLabelled = N % Step == 0;
    TickLine(Pos, IsLabelled ? LabelLen() : ShortLen());
    S.RecordTick(Pos);
    if (IsLabelled && S.FLabelType != ftNoFigs) Label(Pos, DayText(Pos, false));
  }
}

void TTickDrawer::MonthTicks() {
  static constexpr std::array<int, 5> Steps = {1, 2, 3, 4, 6};
  const double q = (High - Low) / 30.4375 / TickDivisor;
  int Ix = 0;
  while (Ix + 1 < 5 && Steps[Ix + 1] <= q) ++Ix;
  const int Step = Steps[Ix];
  int Year = 1, Month = 1, Dom = 1;
  DecodeDay(Low, Year, Month, Dom);
  if (!S.FShortTicks)
    while (Step > 1 && Month % Step != 1) {
      if (++Month > 12) {
        Month = 1;
        ++Year;
      }
    }
  const TDTLabel& F = S.FDateFormat;
  const std::string M = F.MonthName() ? "mmm" : "mm";
  const std::string Y = F.YearLength() == ylNone ? "" : (F.YearLength() == ylYY ? "yy" : "yyyy");
  const std::string Sep = Literal(F.DateSeparator());
  const std::string Fmt = F.DateOrder() == doYYMMDD ? Y + Sep + M : M + Sep + Y;
  const int Advance = S.FShortTicks ? 1 : Step;
  for (int I = 0; I < kMaxTickSteps && Year <= 9999; ++I) {
    const double Pos = EncodeDate(Year, Month, 1);
    if (Pos - High >= 1e-8) break;
    if (Pos >= Low) {
      const bool IsLabelled = !S.FShortTicks || Step == 1 || Month % Step == 1;
      TickLine(Pos, IsLabelled ? LabelLen() : ShortLen());
      S.RecordTick(Pos);
      if (IsLabelled && S.FLabelType != ftNoFigs) Label(Pos, DateText(Fmt, Pos));
    }
    Month += Advance;
    if (Month > 12) {
      Month -= 12;
      ++Year;
    }
  }
}

void TTickDrawer::YearTicks() {
  const double y = std::max((High - Low) / 365.25 / TickDivisor, 1.0);
  const double Decade = std::pow(10.0, std::floor(std::log10(y)));
  const double M = y / Decade;
  const int f = M >= 5 ? 5 : (M >= 2 ? 2 : 1);
  const int64_t g = std::max<int64_t>(Round(Decade * f), 1);
  const int64_t Walk =
      !S.FShortTicks || g <= 1 ? g : std::max<int64_t>(Round(f == 5 ? g / 5.0 : g / 2.0), 1);
  int LowYear = 1, Month = 1, Dom = 1;
  DecodeDay(Low, LowYear, Month, Dom);
  int64_t Year = (LowYear + Walk - 1) / Walk * Walk;
  if (Year == LowYear && Low > EncodeDate(LowYear, 1, 1)) Year += Walk;
  const TYearLength YL = S.FDateFormat.YearLength();
  for (int I = 0; I < kMaxTickSteps && Year <= 9999; ++I, Year += Walk) {
    const double Pos = EncodeDate(static_cast<int>(Year), 1, 1);
    if (Pos - High >= 1e-8) break;
    if (Pos < Low) continue;
    const bool IsLabelled = !S.FShortTicks || Year % g == 0;
    TickLine(Pos, IsLabelled ? LabelLen() : ShortLen());
    S.RecordTick(Pos);
    if (!IsLabelled || S.FLabelType == ftNoFigs) continue;
    std::string Text;
    if (YL == ylYY)
      Text = DateText("yy", Pos);
    else if (YL == ylYYYY)
      Text = IntToStr(Year);
    Label(Pos, std::move(Text));
  }
}

// ---- Unit caption -------------------------------------------------------------------------

void TTickDrawer::Caption() {
  if (S.FCaption.empty()) return;
  int64_t X = 0, Y = 0;
  if (Horiz) {
    const int64_t Span = int64_t{S.Width()} - S.FMarginLeft - S.FMarginRight;
    X = int64_t{S.FCaptionPosX} + (S.FCaptionAnchor == uaSclTopLft   ? S.FMarginLeft
                                   : S.FCaptionAnchor == uaSclCenter ? S.FMarginLeft + Span / 2
                                                                     : S.Width() - S.FMarginRight);
    Y = int64_t{S.FCaptionPosY} + Axis;
  } else {
    const int64_t Span = int64_t{S.Height()} - S.FMarginTop - S.FMarginBottom;
    Y = int64_t{S.FCaptionPosY} + (S.FCaptionAnchor == uaSclTopLft   ? S.FMarginTop
                                   : S.FCaptionAnchor == uaSclCenter ? S.FMarginTop + Span / 2
                                                                     : S.Height() - S.FMarginBottom);
    X = int64_t{S.FCaptionPosX} + Axis;
  }
  const int64_t W = C.TextWidth(S.FCaption);
  if (S.FCaptionAlignment == taRightJustify)
    X -= W;
  else if (S.FCaptionAlignment == taCenter)
    X -= W / 2;
  C.TextOut(RoundInt(X), RoundInt(Y), S.FCaption);
}

// ---- TScale: transform and drawing entry points -------------------------------------------

void TScale::CalcTransform() {
  if (IsLoading() || FRangeLow == FRangeHigh) return;
  const bool H = IsHoriz();
  const int64_t n = H ? int64_t{Width()} - FMarginLeft - FMarginRight - 1
                      : int64_t{Height()} - FMarginTop - FMarginBottom - 1;
  if (n <= 0) {
    FK = 0;
    FD = Width() / 2.0;
    return;
  }
  double Lo = FRangeLow, Hi = FRangeHigh;
  if (FLogarithmic) {
    if (!(Lo > 0 && Hi > 0)) return;
    Lo = std::log(Lo);
    Hi = std::log(Hi);
  }
  if (H) {
    FK = static_cast<double>(n) / (Hi - Lo);
    FD = FMarginLeft - FK * Lo;
  } else {
    FK = static_cast<double>(n) / (Lo - Hi);
    FD = FMarginTop - FK * Hi;
  }
}

int32_t TScale::ConvertToPixelCoords(double Value) const {
  double P;
  if (FLogarithmic) {
    if (Value <= 1e-100) {
      const bool Ascending = FRangeHigh >= FRangeLow;
      if (IsHoriz()) return Ascending ? 0 : Width();
      return Ascending ? Height() : 0;
    }
    P = FK * std::log(Value) + FD;
  } else {
    P = FK * Value + FD;
  }
  return RoundInt(std::clamp(P, -2147483647.0, 2147483647.0));
}

double TScale::ConvertPixelToScale(int32_t PixelCoord) const {
  if (FK == 0) return Center();
  const double V = (PixelCoord - FD) / FK;
  return FLogarithmic ? std::exp(V) : V;
}

void TScale::DrawHorizScale(TCanvas& Canvas, int32_t y0) {
  if (IsHoriz()) TTickDrawer::Run(*this, Canvas, y0);
}

void TScale::DrawVertScale(TCanvas& Canvas, int32_t x0) {
  if (!IsHoriz()) TTickDrawer::Run(*this, Canvas, x0);
}

void TScale::RecordTick(double Pos) {
  if (FTickPos.size() < static_cast<std::size_t>(MaxRecordedTicks)) FTickPos.push_back(Pos);
}

double TScale::TickPos(int32_t ix) const {
  return ix >= 1 && ix <= NumTicks() ? FTickPos[ix - 1] : 0;
}

} // namespace zef
