#include "ZEF_zefbase.h"

namespace zef {

// ---- Name tables --------------------------------------------------------------------------

const std::array<const char*, 3> xmlVerticalAlignment = {"vaTop", "vaCenter", "vaBottom"};
const std::array<const char*, 3> xmlAlignment = {"taLeftJustify", "taRightJustify", "taCenter"};
const std::array<const char*, 3> xmlBkgFill = {"bfSimple", "bfStretch", "bfTile"};
const std::array<const char*, 3> xmlBoundingBox = {"bbNone", "bbFrame", "bbFaces"};
const std::array<const char*, 2> xmlColorScheme = {"csBWG", "csSystem"};
const std::array<const char*, 5> xmlFigType = {"ftNoFigs", "ftNum", "ftTime", "ftDateTime",
                                               "ftUserText"};
const std::array<const char*, 4> xmlScaleType = {"sctXB", "sctXT", "sctYL", "sctYR"};
const std::array<const char*, 3> xmlYearLength = {"ylNone", "ylYY", "ylYYYY"};
const std::array<const char*, 3> xmlDateOrder = {"doMMDDYY", "doDDMMYY", "doYYMMDD"};
const std::array<const char*, 4> xmlDateForTime = {"dtNone", "dtOnePerIrove", "dtOnePerDay",
                                                   "dtAllTicks"};
const std::array<const char*, 2> xmlShadowStyle = {"ssFlying", "ssBox"};
const std::array<const char*, 6> xmlFrameStyle = {"fsNone",   "fsSimple",   "fsLowered",
                                                  "fsRaised", "fsEmbossed", "fsEngraved"};
const std::array<const char*, 3> xmlTimeFormat = {"tfHHMMSS", "tfHHhMM", "tfAMPM"};
const std::array<const char*, 4> xmlDirection = {"dirUpward", "dirDownward", "dirLeftward",
                                                 "dirRightward"};
const std::array<const char*, 5> xmlLanguage = {"lgUnknown", "lgEnglish", "lgGerman", "lgFrench",
                                                "lgSpanish"};
const std::array<const char*, 7> xmlVarKind = {"rnum", "dnum", "snum", "inum",
                                               "lnum", "bool", "strg"};
const std::array<const char*, 4> xmlMouseBoxState = {"msNormal", "msFirstCorner", "msRectDraw",
                                                     "msFinished"};
const std::array<const char*, 19> xmlMouseActMode = {
    "maNone",       "maPan",         "maPanHoriz",    "maPanVert",    "maPanGrid",
    "maRubberBand", "maZoom",        "maZoomWind",    "maZoomWindPos", "maZoomDrag",
    "maDragCrossH", "maDragLabel",   "maRotate",      "maRotAndZoom", "maRotXOnly",
    "maRotZOnly",   "maSelectRect",  "maDrawMTrace",  "maZoomPanColors"};
const std::array<const char*, 2> xmlZoomState = {"zsNormal", "zsDrawWin"};
const std::array<const char*, 6> xmlCrossHMode = {"chOff",  "chHoriz",    "chVert",
                                                  "chBoth", "chCrossBox", "chBox"};
const std::array<const char*, 5> xmlTxtLblMode = {"tlOff", "tlsimple", "tlBox", "tlUnderline",
                                                  "tlShadow"};
const std::array<const char*, 4> xmlTxtLblAttachMode = {"tlamNone", "tlamXOnly", "tlamYOnly",
                                                        "tlamBoth"};
const std::array<const char*, 4> xmlFontStyle = {"fsBold", "fsItalic", "fsUnderline",
                                                 "fsStrikeOut"};

// ---- Constant tables ----------------------------------------------------------------------

const std::array<char, 6> CSVDELIMITERS = {'\0', ' ', ';', ',', ':', '\t'};
const std::array<const char*, 6> CSVDELIMITERIDS = {"undefined", "blank", "semicolon",
                                                    "comma",     "colon", "tab"};
const std::array<const char*, 6> DistModeId = {"Jaccard coefficient", "Manhattan",
                                               "Euclidean",           "squared Euclidean",
                                               "Dice coefficient",    "user defined"};

const TOffsetArray<const char*, 160, 255> HTMLLat1Entities = {{
    "&nbsp;",   "&iexcl;",  "&cent;",   "&pound;",  "&curren;", "&yen;",    "&brvbar;",
    "&sect;",   "&uml;",    "&copy;",   "&ordf;",   "&laquo;",  "&not;",    "&shy;",
    "&reg;",    "&macr;",   "&deg;",    "&plusmn;", "&sup2;",   "&sup3;",   "&acute;",
    "&micro;",  "&para;",   "&middot;", "&cedil;",  "&sup1;",   "&ordm;",   "&raquo;",
    "&frac14;", "&frac12;", "&frac34;", "&iquest;", "&Agrave;", "&Aacute;", "&Acirc;",
    "&Atilde;", "&Auml;",   "&Aring;",  "&AElig;",  "&Ccedil;", "&Egrave;", "&Eacute;",
    "&Ecirc;",  "&Euml;",   "&Igrave;", "&Iacute;", "&Icirc;",  "&Iuml;",   "&ETH;",
    "&Ntilde;", "&Ograve;", "&Oacute;", "&Ocirc;",  "&Otilde;", "&Ouml;",   "&times;",
    "&Oslash;", "&Ugrave;", "&Uacute;", "&Ucirc;",  "&Uuml;",   "&Yacute;", "&THORN;",
    "&szlig;",  "&agrave;", "&aacute;", "&acirc;",  "&atilde;", "&auml;",   "&aring;",
    "&aelig;",  "&ccedil;", "&egrave;", "&eacute;", "&ecirc;",  "&euml;",   "&igrave;",
    "&iacute;", "&icirc;",  "&iuml;",   "&eth;",    "&ntilde;", "&ograve;", "&oacute;",
    "&ocirc;",  "&otilde;", "&ouml;",   "&divide;", "&oslash;", "&ugrave;", "&uacute;",
    "&ucirc;",  "&uuml;",   "&yacute;", "&thorn;",  "&yuml;",
}};

const std::array<const char*, 5> ISO639_2Char = {"??", "en", "de", "fr", "es"};
const std::array<const char*, 5> ISO639_3Char = {"???", "eng", "ger", "fre", "spa"};

// ---- Language tables ----------------------------------------------------------------------

const TLanguageTable LanguageID = {{
    {"???", "???", "???", "???", "???"},
    {"???", "English", "German", "French", "Spanish"},
    {"???", "englisch", "deutsch", "französisch", "spanisch"},
    {"???", "anglais", "allemand", "français", "espagnol"},
    {"???", "inglés", "alemán", "francés", "español"},
}};

const TMonthNames MonthShort = {{
    {{"M01", "M02", "M03", "M04", "M05", "M06", "M07", "M08", "M09", "M10", "M11", "M12"}},
    {{"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"}},
    {{"Jän", "Feb", "Mär", "Apr", "Mai", "Jun", "Jul", "Aug", "Sep", "Okt", "Nov", "Dez"}},
    {{"jan", "fév", "mar", "avr", "mai", "juin", "jul", "aoû", "sep", "oct", "nov", "déc"}},
    {{"Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"}},
}};

const TMonthNames MonthLong = {{
    {{"M01", "M02", "M03", "M04", "M05", "M06", "M07", "M08", "M09", "M10", "M11", "M12"}},
    {{"January", "February", "March", "April", "May", "June", "July", "August", "September",
      "October", "November", "December"}},
    {{"Jänner", "Februar", "März", "April", "Mai", "Juni", "Juli", "August", "September",
      "Oktober", "November", "Dezember"}},
    {{"janvier", "février ", "mars", "avril", "mai", "juin", "juillet", "août", "septembre",
      "octobre", "novembre", "décembre"}},
    {{"enero", "febrero", "marzo", "abril", "mai", "junio", "julio", "agosto", "septiembre",
      "octubre", "noviembre", "diciembre"}},
}};

const TWeekDayNames WeekDayShort = {{
    {{"D01", "D02", "D03", "D04", "D05", "D06", "D07"}},
    {{"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"}},
    {{"Mo", "Di", "Mi", "Do", "Fr", "Sa", "So"}},
    {{"lun", "mar", "mer", "jeu", "ven", "sam", "dim"}},
    {{"lun", "mar", "mie", "jue", "vie", "sab", "dom"}},
}};

const TWeekDayNames WeekDayLong = {{
    {{"D01", "D02", "D03", "D04", "D05", "D06", "D07"}},
    {{"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"}},
    {{"Montag", "Dienstag", "Mittwoch", "Donnerstag", "Freitag", "Samstag", "Sonntag"}},
    {{"lundi", "mardi", "mercredi", "jeudi", "vendredi", "samedi", "dimanche"}},
    {{"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"}},
}};

const TNumberWords NumWords = {{
    {"N00", "N01", "N02", "N03", "N04", "N05", "N06", "N07", "N08", "N09", "N10", "N11", "N12"},
    {"zero", "one", "two", "three", "four", "five", "six", "seven", "eight", "nine", "ten",
     "eleven", "twelve"},
    {"null", "eins", "zwei", "drei", "vier", "fünf", "sechs", "sieben", "acht", "neun", "zehn",
     "elf", "zwölf"},
    {"zéro", "celui", "deux", "trois", "quatre", "cinq", "six", "sept", "huit", "neuf", "dix",
     "onze", "douze"},
    {"cero", "uno", "dos", "tres", "cuatro", "cinco", "seis", "siete", "ocho", "nueve", "diez",
     "once", "doce"},
}};

// ---- Errors -------------------------------------------------------------------------------

std::string ComponentMessage(const std::string& Name, const std::string& Text) {
  return "Component \"" + Name + "\": " + Text;
}

// ---- TCrossHair ---------------------------------------------------------------------------

void TCrossHair::Changed() {
  if (OnChange) OnChange(this);
}

void TCrossHair::SetPosX(double Value) { FPosX = Value; Changed(); }
void TCrossHair::SetPosY(double Value) { FPosY = Value; Changed(); }
void TCrossHair::SetColor(TColor Value) { FColor = Value; Changed(); }
void TCrossHair::SetMode(TCrossHMode Value) { FMode = Value; Changed(); }
void TCrossHair::SetLineType(TPenStyle Value) { FLineType = Value; Changed(); }
void TCrossHair::SetLineWid(int32_t Value) { FLineWid = Value; Changed(); }

void TCrossHair::SetLayer(int32_t Value) {
  FLayer = Value <= 0 ? 1 : (Value >= 3 ? 2 : Value);
  Changed();
}

void TCrossHair::SetPos(double XPos, double YPos) {
  if (XPos == FPosX && YPos == FPosY) return;
  FPosX = XPos;
  FPosY = YPos;
  Changed();
}

void TCrossHair::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TCrossHair*>(&Source)) {
    FPosX = S->FPosX;
    FPosY = S->FPosY;
    FColor = S->FColor;
    FMode = S->FMode;
    FLineType = S->FLineType;
    FLineWid = S->FLineWid;
    FLayer = S->FLayer;
    OnChange = S->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- TDTLabel -----------------------------------------------------------------------------

void TDTLabel::Changed() {
  if (OnChange) OnChange(this);
}

void TDTLabel::SetTimeFormat(TTimeFormat Value) { FTimeFormat = Value; Changed(); }
void TDTLabel::SetDateOrder(TDateOrder Value) { FDateOrder = Value; Changed(); }

namespace {
template <class T>
void SetIfChanged(T& Field, T Value, TDTLabel& Label) {
  if (Field == Value) return;
  Field = Value;
  Label.Changed();
}
} // namespace

void TDTLabel::SetDateSeparator(char Value) { SetIfChanged(FDateSeparator, Value, *this); }
void TDTLabel::SetTimeSeparator(char Value) { SetIfChanged(FTimeSeparator, Value, *this); }
void TDTLabel::SetYearLength(TYearLength Value) { SetIfChanged(FYearLength, Value, *this); }
void TDTLabel::SetMonthName(bool Value) { SetIfChanged(FMonthName, Value, *this); }
void TDTLabel::SetDateForTime(TDateForTime Value) { SetIfChanged(FDateForTime, Value, *this); }

void TDTLabel::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TDTLabel*>(&Source)) {
    FTimeFormat = S->FTimeFormat;
    FDateSeparator = S->FDateSeparator;
    FTimeSeparator = S->FTimeSeparator;
    FYearLength = S->FYearLength;
    FMonthName = S->FMonthName;
    FDateOrder = S->FDateOrder;
    FDateForTime = S->FDateForTime;
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Helpers ------------------------------------------------------------------------------

TCSVDelimiters ResolveCSVDelimiter(char Delimiter) {
  for (int D = csvBlank; D <= csvTab; ++D)
    if (CSVDELIMITERS[static_cast<std::size_t>(D)] == Delimiter) return static_cast<TCSVDelimiters>(D);
  return csvUnknown;
}

} // namespace zef
