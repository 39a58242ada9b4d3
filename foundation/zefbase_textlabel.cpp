// TCustomTextLabel: the settings of a free text label and its block in the tagged-text files.
#include "zefbase_xml.h"

#include <algorithm>

#include "rtl/strings.h"

namespace zef {

namespace {

constexpr std::string_view kRootTag = "custtextlbl";

// The element names of a label block, in the order the reader looks them up.
constexpr std::string_view kLabelTags[] = {"posxy",     "colors",     "shadowofs", "layer",
                                           "transparent", "visible",  "alignment", "attachmode",
                                           "font",      "style",      "caption",   "/custtextlbl"};
enum TLabelTag : uint8_t {
  ltPosXY, ltColors, ltShadowOfs, ltLayer, ltTransparent, ltVisible, ltAlignment, ltAttachMode,
  ltFont, ltStyle, ltCaption, ltEnd
};

// The index of Name in a name table (exact comparison), or -1.
template <std::size_t N>
int FindName(const std::array<const char*, N>& Table, std::string_view Name) {
  for (std::size_t I = 0; I < N; ++I)
    if (Name == Table[I]) return static_cast<int>(I);
  return -1;
}

template <class T>
void Store(T& Field, T Value, TCustomTextLabel& Label) {
  Field = std::move(Value);
  Label.Changed();
}

} // namespace

TCustomTextLabel::TCustomTextLabel() : FFont(std::make_unique<TFont>()) {}

TCustomTextLabel::~TCustomTextLabel() = default;

void TCustomTextLabel::SetTxtLblPosX(double Value) { Store(FFields.PosX, Value, *this); }
void TCustomTextLabel::SetTxtLblPosY(double Value) { Store(FFields.PosY, Value, *this); }
void TCustomTextLabel::SetTxtLblLayer(int32_t Value) {
  if (Value >= 1 && Value <= 16) Store(FFields.Layer, Value, *this);
}
void TCustomTextLabel::SetTxtLblScreenPos(TTxtLblAttachMode Value) {
  Store(FFields.AttachToData, Value, *this);
}
void TCustomTextLabel::SetTxtLblColorBkg(TColor Value) { Store(FFields.ColorBkg, Value, *this); }
void TCustomTextLabel::SetTxtLblColorBrd(TColor Value) { Store(FFields.ColorBorder, Value, *this); }
void TCustomTextLabel::SetTxtLblColorShadow(TColor Value) {
  Store(FFields.ColorShadow, Value, *this);
}
void TCustomTextLabel::SetTxtLblShadowDx(int32_t Value) { Store(FFields.ShadowDx, Value, *this); }
void TCustomTextLabel::SetTxtLblShadowDy(int32_t Value) { Store(FFields.ShadowDy, Value, *this); }
void TCustomTextLabel::SetTxtLblTranspar(bool Value) { Store(FFields.Transparent, Value, *this); }
void TCustomTextLabel::SetTxtLblAlignment(TAlignment Value) {
  Store(FFields.Alignment, Value, *this);
}
void TCustomTextLabel::SetTxtLblVertAlignment(TVerticalAlignment Value) {
  Store(FFields.VerticalAlignment, Value, *this);
}
void TCustomTextLabel::SetTxtLblFont(const TFont& Value) {
  FFont->Assign(Value);
  Changed();
}
void TCustomTextLabel::SetTxtLblMode(TTxtLblMode Value) { Store(FFields.Mode, Value, *this); }
void TCustomTextLabel::SetTxtLblCaption(const std::string& Value) {
  std::string S = Value;
  for (char& C : S)
    if (static_cast<unsigned char>(C) < 32 && C != '\n') C = ' ';
  Store(FFields.Caption, std::move(S), *this);
}
void TCustomTextLabel::SetTxtLblVisible(bool Value) { Store(FFields.Visible, Value, *this); }

void TCustomTextLabel::Changed() {
  if (OnChange) OnChange(this);
}

void TCustomTextLabel::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TCustomTextLabel*>(&Source)) {
    if (S == this) return;
    FFields = S->FFields;
    FFont->Assign(*S->FFont);
    OnChange = S->OnChange;
    return;
  }
  TPersistent::Assign(Source);
}

void TCustomTextLabel::WriteToOpenXMLFile(TTextFile& F, bool CreateHeader,
                                          const std::string& DataID, int32_t Indent) const {
  const TFields& L = FFields;
  WriteXMLBlockStart(F, CreateHeader, "TCustomTextLabel", kRootTag, DataID, Indent);
  const std::string Ind = XMLIndentation(Indent) + "  ";
  WriteLn(F, Ind + "<posxy x=" + XMLFloatStr(L.PosX) + " y=" + XMLFloatStr(L.PosY) + " />");
  WriteLn(F, Ind + "<caption>" + L.Caption + "</caption>");
  WriteLn(F, Ind + "<colors brd=" + XMLColorStr(L.ColorBorder) + " bg=" + XMLColorStr(L.ColorBkg) +
                 " shdw=" + XMLColorStr(L.ColorShadow) + " />");
  WriteLn(F, Ind + "<shadowofs dx=" + std::to_string(L.ShadowDx) +
                 " dy=" + std::to_string(L.ShadowDy) + " />");
  WriteLn(F, Ind + "<layer val=" + std::to_string(L.Layer) + " />");
  WriteLn(F, Ind + "<transparent val=" + XMLBoolStr(L.Transparent) + " />");
  WriteLn(F, Ind + "<visible val=" + XMLBoolStr(L.Visible) + " />");
  WriteLn(F, Ind + "<alignment horiz=" + xmlAlignment[L.Alignment] +
                 " vert=" + xmlVerticalAlignment[L.VerticalAlignment] + " />");
  WriteLn(F, Ind + "<attachmode val=" + xmlTxtLblAttachMode[L.AttachToData] + " />");
  std::string Styles;
  for (std::size_t I = 0; I < xmlFontStyle.size(); ++I) {
    if (!FFont->Style().Contains(static_cast<TFontStyle>(I))) continue;
    if (!Styles.empty()) Styles += ' ';
    Styles += xmlFontStyle[I];
  }
  WriteLn(F, Ind + "<font name=\"" + FFont->Name() + "\" size=" + std::to_string(FFont->Size()) +
                 " color=" + XMLColorStr(FFont->Color()) + " style=\"" + Styles + "\" />");
  WriteLn(F, Ind + "<style val=" + xmlTxtLblMode[L.Mode] + " />");
  WriteLn(F, XMLIndentation(Indent) + "</" + std::string(kRootTag) + ">");
}

void TCustomTextLabel::ApplyElement(const TXMLElement& E, TFields& L, TFont& Font) {
  const std::string& A = E.Attributes;
  switch (XMLTagIndex(E.Name, kLabelTags)) {
    case ltPosXY:
      L.PosX = XMLAttribAsFloat(A, "x");
      L.PosY = XMLAttribAsFloat(A, "y");
      break;
    case ltColors:
      L.ColorBorder = XMLAttribAsHex(A, "brd");
      L.ColorBkg = XMLAttribAsHex(A, "bg");
      L.ColorShadow = XMLAttribAsHex(A, "shdw");
      break;
    case ltShadowOfs:
      L.ShadowDx = XMLAttribAsInt(A, "dx");
      L.ShadowDy = XMLAttribAsInt(A, "dy");
      break;
    case ltLayer: L.Layer = XMLAttribAsInt(A, "val"); break;
    case ltTransparent: L.Transparent = XMLAttribAsInt(A, "val") == 1; break;
    case ltVisible: L.Visible = XMLAttribAsInt(A, "val") == 1; break;
    case ltAlignment: {
      const int H = FindName(xmlAlignment, XMLAttribute(A, "horiz"));
      if (H >= 0) L.Alignment = static_cast<TAlignment>(H);
      const int V = FindName(xmlVerticalAlignment, XMLAttribute(A, "vert"));
      if (V >= 0) L.VerticalAlignment = static_cast<TVerticalAlignment>(V);
      break;
    }
    case ltAttachMode: {
      const int M = FindName(xmlTxtLblAttachMode, XMLAttribute(A, "val"));
      if (M >= 0) L.AttachToData = static_cast<TTxtLblAttachMode>(M);
      break;
    }
    case ltFont: {
      const std::string Name = XMLAttribute(A, "name");
      if (!Name.empty()) Font.SetName(Name);
      const int32_t Size = XMLAttribAsInt(A, "size");
      if (Size != 0) Font.SetSize(Size);
      if (!XMLAttribute(A, "color").empty()) Font.SetColor(XMLAttribAsHex(A, "color"));
      TFontStyles Styles;
      for (const std::string& S : SplitString(XMLAttribute(A, "style"), ' ')) {
        const int I = FindName(xmlFontStyle, S);
        if (I >= 0) Styles.Include(static_cast<TFontStyle>(I));
      }
      Font.SetStyle(Styles);
      break;
    }
    case ltStyle: {
      const int M = FindName(xmlTxtLblMode, XMLAttribute(A, "val"));
      if (M >= 0) L.Mode = static_cast<TTxtLblMode>(M);
      break;
    }
    case ltCaption: L.Caption = E.Content; break;
    default: break;
  }
}

bool TCustomTextLabel::ReadFromOpenXMLFile(TTextFile& F, const std::string& DataID) {
  if (!FindXMLBlockStart(F, kRootTag, DataID)) return false;
  // The block is read into copies, so that a block cut short leaves the label as it was.
  TFields L = FFields;
  TFont Font;
  Font.Assign(*FFont);
  TXMLTextFileSource Source(F);
  TXMLElement E;
  while (ReadXMLElement(Source, E)) {
    if (E.Name == kLabelTags[ltEnd]) {
      FFields = std::move(L);
      FFont->Assign(Font);
      Changed();
      return true;
    }
    ApplyElement(E, L, Font);
  }
  return false;
}

} // namespace zef
