// The chart's life cycle, the containers' queries and edits, classes and layers, data
// sharing between charts, the joint layers and the text labels.
#include <algorithm>
#include <limits>

#include "ZEF_math1.h"
#include "ZEF_rirove.h"
#include "controls/forms.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

bool IsTextKind(TrcItem K) { return K == tkText || K == tkTextOfs; }

// The selector rule of the marking commands.
bool Selects(TrcItem ItemID, TrcItem Kind) {
  return ItemID == tkEverything || (ItemID == tkNotMoveTo && Kind != tkMoveTo) || ItemID == Kind;
}

// Kinds whose second value pair is a point (or half axes) transformed with the first.
bool HasSecondPoint(TrcItem K) {
  return K == tkLine || K == tkRect || K == tkRectFrame || K == tk3DBar || K == tkEllipse ||
         K == tkArrow || K == tkDoubleArrow || K == tkLineOffs || K == tkArc;
}

// Kinds whose second pair counts in FindMinMax.
bool SecondPointCounts(TrcItem K) {
  return K == tkLine || K == tkRect || K == tkRectFrame || K == tk3DBar || K == tkArrow ||
         K == tkDoubleArrow || K == tkLineOffs;
}

void InfoBox(const std::string& Msg) { MessageDlg(Msg, mtInformation, TMsgDlgButtons{mbOK}); }

} // namespace

void TCustomRIrove::TStore::Clear() {
  Items.clear();
  Items.shrink_to_fit();
  Alloc = 0;
  KindCount.fill(0);
  LastShown = 0;
  LongTexts.fill(std::string());
  NumLongTexts = 0;
}

// ---- Life cycle ---------------------------------------------------------------------------

TCustomRIrove::TCustomRIrove(TComponent* AOwner)
    : TCustomControl(AOwner),
      FOwnData(std::make_shared<TStore>()),
      FData(FOwnData),
      FJointLayers(std::make_unique<TJointLayers>(this)),
      FBackGroundImg(std::make_unique<TBakGndImg>()) {
  const auto Repaint = [this](TObject* Sender) { StyleChanged(Sender); };
  FJointLayers->OnChange = Repaint;
  FBackGroundImg->OnChange = Repaint;
  for (auto& L : FTextLabels) {
    L = std::make_unique<TTextLabel>();
    L->OnChange = Repaint;
  }
  for (auto& C : FCrossHair) {
    C = std::make_unique<TCrossHair>();
    C->OnChange = Repaint;
  }
  const auto ScaleChange = [this](TObject* Sender) { ScalePropsChanged(Sender); };
  for (int L = 0; L < 2; ++L) {
    FScaleX[L] = std::make_unique<TScalePropsHoriz>();
    FScaleY[L] = std::make_unique<TScalePropsVert>();
    FScaleX[L]->OnChange = ScaleChange;
    FScaleY[L]->OnChange = ScaleChange;
    for (auto* P : {&FPainterX[L], &FPainterY[L]}) {
      *P = std::make_unique<TScale>(nullptr);
      (*P)->SetIsHelperComponent(true);
      (*P)->SetTransparent(true);
      (*P)->SetFrameStyle(fsNone);
    }
    FPainterX[L]->SetName("RC_FScale_X_" + IntToStr(L + 1));
    FPainterY[L]->SetName("RC_FScale_Y_" + IntToStr(L + 1));
  }
  FImageBmp.SetSize(10, 10);
  TControl::SetBounds(0, 0, 400, 300);
  LoadChartCursors();
  ResetComp();
}

TCustomRIrove::~TCustomRIrove() {
  *FAlive = false;
  // Users fall back to their own containers; nobody keeps a pointer to this chart.
  for (TCustomRIrove* U : FDataUsers) U->OwnerGone();
  FDataUsers.clear();
  if (FDataOwner != nullptr) DetachFromOwner(false);
}

void TCustomRIrove::ResetComp() {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  if (FDataOwner != nullptr) DetachFromOwner(false);
  FOwnData->Clear();
  FAnnos.Clear();
  FAllocSize = 1000;
  FDataColor = clBlack;
  FPenStyle = psSolid;
  FLineWidth = 1;
  FFillColor = 0xC0C0C0;
  FTransparentItems = false;
  FDataTag = 0;
  FClassDefault = 0;
  FTextBkStyle = tbClear;
  FTextAlignment = taCenter;
  FAnnoMode = false;
  FActiveLayer = 1;
  FClassVisible.fill(true);
  FAnnoClassVisible.fill(true);
  FLayerVisible = {true, true};
  FMouseAffectsLayer = {true, false};
  FJointLayers->Reset();
  for (auto& L : FTextLabels) {
    L->SetTxtLblPosX(0);
    L->SetTxtLblPosY(0);
    L->SetTxtLblLayer(1);
    L->SetTxtLblScreenPos(tlamBoth);
    L->SetTxtLblAlignment(taCenter);
    L->SetTxtLblVertAlignment(vaBottom);
    L->SetTxtLblColorBkg(clWhite);
    L->SetTxtLblColorBrd(clBlack);
    L->SetTxtLblShadowDx(3);
    L->SetTxtLblShadowDy(3);
    L->SetTxtLblColorShadow(0x808080);
    L->SetTxtLblTranspar(false);
    L->SetTxtLblCaption("");
    L->SetTxtLblFont(Font());
    L->SetTxtLblVisible(false);
    L->SetTxtLblMode(tlOff);
  }
  for (auto& C : FCrossHair) {
    C->SetMode(chOff);
    C->SetColor(clBlack);
    C->SetLayer(1);
    C->SetLineType(psSolid);
    C->SetLineWid(1);
    C->SetPos(0, 0);
  }
  FMTrace.clear();

  for (int L = 0; L < 2; ++L) {
    for (TScaleProps* P : {static_cast<TScaleProps*>(FScaleX[L].get()),
                           static_cast<TScaleProps*>(FScaleY[L].get())}) {
      const TNotifyEvent Handler = P->OnChange;
      P->OnChange = nullptr;
      P->SetLogarithmic(false);
      P->StoreRange(0, 1);
      P->SetMinRange(1e-10);
      P->SetLabelType(ftNum);
      P->SetDecPlaces(-2);
      P->SetMinTicks(3);
      P->SetShortTicks(true);
      P->SetScaleInscript("");
      P->SetUserTickText("");
      P->SetCaption("");
      P->SetColorScale(L == 0 ? clBlack : 0x000080);
      P->SetFont(Font());
      P->SetMouseAction(maNone);
      P->OnChange = Handler;
    }
  }
  FScaleX[0]->SetScaleType(sctXT);
  FScaleX[1]->SetScaleType(sctXB);
  FScaleY[0]->SetScaleType(sctYR);
  FScaleY[1]->SetScaleType(sctYL);
  FConfine = TRectDouble();
  FIsometric = false;
  FMouseAction = maNone;
  FMouseOpts = TMouseOptions();
  FZoomState = zsNormal;
  FShadowWidth = 0;

  FWindColor = clBtnFace;
  FChartColor = 0xFFFFFF;
  FChartFrameColor = 0x000000;
  FGridStyle = gsNone;
  FGridColor = 0x000000;
  FGridDx = FGridDy = 0;
  FShadowStyle = ssFlying;
  FShadowColor = clGrayText;
  FShadowBakColor = clBtnFace;
  FCaption.clear();
  FCaptionTrim = 100;
  {
    TBakGndImg Defaults;
    Defaults.OnChange = FBackGroundImg->OnChange;
    FBackGroundImg->Assign(Defaults);
  }
  FAnnoBelowChart = false;
  FAnnoTextOnTop = true;
  FAnnosVisible = true;
  FAutoRedraw = true;
  FAvoidDuplicateMarks = false;
  FMinDupMarkDist = 1;
  FTextFont.Assign(Font());
  SetStandardLayout(rcl_X1Bottom_Y1Left);
  ClearZoomHistory();
  FSuppressPaint = WasSuppressed;
}

void TCustomRIrove::Assign(const TPersistent& Source) {
  const auto* Src = dynamic_cast<const TCustomRIrove*>(&Source);
  if (Src == nullptr) {
    TCustomControl::Assign(Source);
    return;
  }
  if (Src == this) return;
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  // The copy keeps its own data: sharing is a link between charts, not a setting.
  if (FDataOwner != nullptr) DetachFromOwner(false);
  *FOwnData = *Src->FData;
  FAnnos = Src->FAnnos;
  for (TStore* S : {FOwnData.get(), &FAnnos}) {
    S->Alloc = (S->Count() / FAllocSize + 1) * FAllocSize;
    S->Items.reserve(static_cast<std::size_t>(S->Alloc));
  }
  FAllocSize = Src->FAllocSize;
  FDataColor = Src->FDataColor;
  FPenStyle = Src->FPenStyle;
  FLineWidth = Src->FLineWidth;
  FFillColor = Src->FFillColor;
  FTransparentItems = Src->FTransparentItems;
  FDataTag = Src->FDataTag;
  FClassDefault = Src->FClassDefault;
  FTextBkStyle = Src->FTextBkStyle;
  FTextAlignment = Src->FTextAlignment;
  FAnnoMode = Src->FAnnoMode;
  FActiveLayer = Src->FActiveLayer;
  FClassVisible = Src->FClassVisible;
  FAnnoClassVisible = Src->FAnnoClassVisible;
  FLayerVisible = Src->FLayerVisible;
  FMouseAffectsLayer = Src->FMouseAffectsLayer;
  FMTrace = Src->FMTrace;

  // Settings objects copy their values; their change handlers stay wired to this chart.
  const auto CopyKeepingHandler = [](auto& Dest, const auto& From) {
    const TNotifyEvent Handler = Dest.OnChange;
    Dest.Assign(From);
    Dest.OnChange = Handler;
  };
  CopyKeepingHandler(*FJointLayers, *Src->FJointLayers);
  for (int I = 0; I < 30; ++I) CopyKeepingHandler(*FTextLabels[I], *Src->FTextLabels[I]);
  for (int I = 0; I < 4; ++I) CopyKeepingHandler(*FCrossHair[I], *Src->FCrossHair[I]);
  for (int L = 0; L < 2; ++L) {
    CopyKeepingHandler(*FScaleX[L], *Src->FScaleX[L]);
    CopyKeepingHandler(*FScaleY[L], *Src->FScaleY[L]);
  }
  CopyKeepingHandler(*FBackGroundImg, *Src->FBackGroundImg);
  FZoomRing = Src->FZoomRing;
  FZoomPos = Src->FZoomPos;
  FConfine = Src->FConfine;
  FIsometric = Src->FIsometric;
  FLayout = Src->FLayout;
  FMouseAction = Src->FMouseAction;
  FMouseOpts = Src->FMouseOpts;
  FLRim = Src->FLRim;
  FRRim = Src->FRRim;
  FTRim = Src->FTRim;
  FBRim = Src->FBRim;
  FShadowWidth = Src->FShadowWidth;

  FWindColor = Src->FWindColor;
  FChartColor = Src->FChartColor;
  FChartFrameColor = Src->FChartFrameColor;
  FGridStyle = Src->FGridStyle;
  FGridColor = Src->FGridColor;
  FGridDx = Src->FGridDx;
  FGridDy = Src->FGridDy;
  FShadowStyle = Src->FShadowStyle;
  FShadowColor = Src->FShadowColor;
  FShadowBakColor = Src->FShadowBakColor;
  FCaption = Src->FCaption;
  FCaptionPosX = Src->FCaptionPosX;
  FCaptionPosY = Src->FCaptionPosY;
  FCaptionAlignment = Src->FCaptionAlignment;
  FCaptionAnchorHoriz = Src->FCaptionAnchorHoriz;
  FCaptionAnchorVert = Src->FCaptionAnchorVert;
  FCaptionTrim = Src->FCaptionTrim;
  FAnnoBelowChart = Src->FAnnoBelowChart;
  FAnnoTextOnTop = Src->FAnnoTextOnTop;
  FAnnosVisible = Src->FAnnosVisible;
  FAutoRedraw = Src->FAutoRedraw;
  FAvoidDuplicateMarks = Src->FAvoidDuplicateMarks;
  FMinDupMarkDist = Src->FMinDupMarkDist;
  FTextFont.Assign(Src->FTextFont);
  OnBeforeRenderData = Src->OnBeforeRenderData;
  OnDataRendered = Src->OnDataRendered;
  OnScalesRendered = Src->OnScalesRendered;
  OnBeforeRenderIroveItem = Src->OnBeforeRenderIroveItem;
  OnBeforeRenderText = Src->OnBeforeRenderText;
  OnMouseMoveInChart = Src->OnMouseMoveInChart;
  OnZoomPan = Src->OnZoomPan;
  OnRubberBand = Src->OnRubberBand;
  OnSelectRect = Src->OnSelectRect;
  OnBeforeCrossHairMove = Src->OnBeforeCrossHairMove;
  OnCrossHairMove = Src->OnCrossHairMove;
  OnTextLabelMove = Src->OnTextLabelMove;
  ApplyScaleSettings();
  AdjustScaling();
  FSuppressPaint = WasSuppressed;
  RepaintNow();
}

// ---- Attributes and switches --------------------------------------------------------------

void TCustomRIrove::SetClassDefault(uint8_t Value) {
  if (Value != 255) FClassDefault = Value;
}

void TCustomRIrove::SetAnnoMode(bool Value) {
  FAnnoMode = Value;
  RepaintNow();
}

void TCustomRIrove::SetAllocSize(int32_t Value) {
  if (Value >= 1 && Value <= 1000000) FAllocSize = Value;
}

void TCustomRIrove::SetClassVisible(uint8_t Cnum, bool Value) {
  if (FClassVisible[Cnum] == Value) return;
  FClassVisible[Cnum] = Value;
  RepaintNow();
}

void TCustomRIrove::SetAnnoClassVisible(uint8_t Cnum, bool Value) {
  if (FAnnoClassVisible[Cnum] == Value) return;
  FAnnoClassVisible[Cnum] = Value;
  RepaintNow();
}

bool TCustomRIrove::LayerVisible(int32_t Layer) const {
  return Layer >= 1 && Layer <= 2 && FLayerVisible[Layer - 1];
}

void TCustomRIrove::SetLayerVisible(int32_t Layer, bool Value) {
  if (Layer < 1 || Layer > 2 || FLayerVisible[Layer - 1] == Value) return;
  FLayerVisible[Layer - 1] = Value;
  RepaintNow();
}

bool TCustomRIrove::MouseAffectsLayer(int32_t Layer) const {
  return Layer >= 1 && Layer <= 2 && FMouseAffectsLayer[Layer - 1];
}

void TCustomRIrove::SetMouseAffectsLayer(int32_t Layer, bool Value) {
  if (Layer >= 1 && Layer <= 2) FMouseAffectsLayer[Layer - 1] = Value;
}

void TCustomRIrove::SetActiveLayer(int32_t Value) {
  if (Value != 1 && Value != 2) return;
  FActiveLayer = Value;
  StyleChanged(this);
}

// ---- Container access ---------------------------------------------------------------------

int32_t TCustomRIrove::NumItems() const { return FData->Count(); }
int32_t TCustomRIrove::DataAllocated() const { return FData->Alloc; }
int32_t TCustomRIrove::LastShownIndex() const { return FData->LastShown; }

TrcChartItem TCustomRIrove::DataContainer(int32_t Idx) const {
  if (Idx < 0 || Idx >= FData->Count()) return TrcChartItem();
  return FData->Items[static_cast<std::size_t>(Idx)];
}

void TCustomRIrove::SetDataContainer(int32_t Idx, const TrcChartItem& Item) {
  if (Idx >= 0 && Idx < FData->Count()) FData->Items[static_cast<std::size_t>(Idx)] = Item;
}

TrcChartItem TCustomRIrove::AnnoContainer(int32_t Idx) const {
  if (Idx < 0 || Idx >= FAnnos.Count()) return TrcChartItem();
  return FAnnos.Items[static_cast<std::size_t>(Idx)];
}

void TCustomRIrove::SetAnnoContainer(int32_t Idx, const TrcChartItem& Item) {
  if (Idx >= 0 && Idx < FAnnos.Count()) FAnnos.Items[static_cast<std::size_t>(Idx)] = Item;
}

void TCustomRIrove::SetItemParams(int32_t Item, const TrcChartItem& ItParams) {
  if (ItParams.ItemKind == tkNone || ItParams.ItemKind == tkEverything || ItParams.ItemKind == tkNotMoveTo)
    return;
  if (Item < 0 || Item >= FData->Count()) return;
  TrcChartItem& Old = FData->Items[static_cast<std::size_t>(Item)];
  --FData->KindCount[Old.ItemKind];
  ++FData->KindCount[ItParams.ItemKind];
  Old = ItParams;
}

int32_t TCustomRIrove::ItemCount(TrcItem Kind) const {
  return Kind < kNumItemKinds ? FData->KindCount[Kind] : 0;
}

TrcItem TCustomRIrove::TypeOfFirstItem() const {
  return FData->Items.empty() ? tkNone : FData->Items.front().ItemKind;
}

TrcItem TCustomRIrove::TypeOfLastItem() const {
  return FData->Items.empty() ? tkNone : FData->Items.back().ItemKind;
}

std::string TCustomRIrove::LongTextOf(const TStore& S, int32_t Idx) {
  if (Idx < 0 || Idx >= S.Count()) return std::string();
  const TrcChartItem& It = S.Items[static_cast<std::size_t>(Idx)];
  if (!IsTextKind(It.ItemKind)) return std::string();
  if (It.LWid >= 1 && It.LWid <= 50) return S.LongTexts[static_cast<std::size_t>(It.LWid - 1)];
  return ChartItemText(It);
}

void TCustomRIrove::SetLongTextOf(TStore& S, int32_t Idx, const std::string& Value) {
  if (Idx < 0 || Idx >= S.Count()) return;
  TrcChartItem& It = S.Items[static_cast<std::size_t>(Idx)];
  if (!IsTextKind(It.ItemKind)) return;
  SetChartItemText(It, Value);
  if (Utf8Length(Value) <= 15) {
    It.LWid = 0;
    return;
  }
  if (It.LWid < 1 || It.LWid > S.NumLongTexts) {
    It.LWid = 0;
    if (S.NumLongTexts >= 50) return;
    It.LWid = ++S.NumLongTexts;
  }
  S.LongTexts[static_cast<std::size_t>(It.LWid - 1)] = Value;
}

std::string TCustomRIrove::DataLongText(int32_t Idx) const { return LongTextOf(*FData, Idx); }
void TCustomRIrove::SetDataLongText(int32_t Idx, const std::string& Value) {
  SetLongTextOf(*FData, Idx, Value);
}
void TCustomRIrove::SetAnnoLongText(int32_t Idx, const std::string& Value) {
  SetLongTextOf(FAnnos, Idx, Value);
}

// ---- Removing and clearing ----------------------------------------------------------------

void TCustomRIrove::RemoveFrom(TStore& S, int32_t Index, bool Counted) {
  if (Index < 0 || Index >= S.Count()) return;
  if (S.Count() == 1) {
    S.Items.clear();
    S.Alloc = 0;
    S.KindCount.fill(0);
    return;
  }
  if (Counted) --S.KindCount[S.Items[static_cast<std::size_t>(Index)].ItemKind];
  S.Items.erase(S.Items.begin() + Index);
}

void TCustomRIrove::RemoveItem(int32_t Index) { RemoveFrom(*FData, Index, true); }

void TCustomRIrove::RemoveLastItem() {
  if (FData->Count() > 0) RemoveFrom(*FData, FData->Count() - 1, true);
}

void TCustomRIrove::RemoveAnnoItem(int32_t Index) { RemoveFrom(FAnnos, Index, false); }

template <class TPred>
int32_t TCustomRIrove::RemoveWhere(TPred Pred) {
  TStore& S = *FData;
  const auto NewEnd = std::remove_if(S.Items.begin(), S.Items.end(), [&](const TrcChartItem& It) {
    if (!Pred(It)) return false;
    --S.KindCount[It.ItemKind];
    return true;
  });
  const auto Removed = static_cast<int32_t>(S.Items.end() - NewEnd);
  S.Items.erase(NewEnd, S.Items.end());
  return Removed;
}

int32_t TCustomRIrove::RemoveItemsByClass(uint8_t ClassNumber) {
  return RemoveWhere([ClassNumber](const TrcChartItem& It) { return It.ItemClass == ClassNumber; });
}

int32_t TCustomRIrove::RemoveItemsByLayer(int32_t Layer) {
  return RemoveWhere([Layer](const TrcChartItem& It) { return It.Layer == Layer; });
}

void TCustomRIrove::ClearGraf() {
  FDataBmp.SetSize(0, 0);
  FDataBmp.SetSize(DataAreaWidth() + 1, DataAreaHeight() + 1);
  FData->Clear();
  FMTrace.clear();
}

void TCustomRIrove::ClearAnnotations() {
  FAnnos.Clear();
  RepaintNow();
}

// ---- Queries ------------------------------------------------------------------------------

int32_t TCustomRIrove::Search(const TStore& S, int32_t StartIx, int32_t Tag, uint32_t TagMask,
                              int32_t ItemClass, TrcItem ItemKind) {
  if (StartIx < 0) return -1;
  const uint32_t Want = static_cast<uint32_t>(Tag) & TagMask;
  for (int32_t I = StartIx; I < S.Count(); ++I) {
    const TrcChartItem& It = S.Items[static_cast<std::size_t>(I)];
    if (TagMask != 0 && (static_cast<uint32_t>(It.Tag) & TagMask) != Want) continue;
    if (ItemKind != tkEverything && It.ItemKind != ItemKind) continue;
    if (ItemClass != 255 && It.ItemClass != ItemClass) continue;
    return I;
  }
  return -1;
}

int32_t TCustomRIrove::SearchDataItem(int32_t StartIx, int32_t Tag, uint32_t TagMask,
                                      int32_t ItemClass, TrcItem ItemKind) const {
  return Search(*FData, StartIx, Tag, TagMask, ItemClass, ItemKind);
}

int32_t TCustomRIrove::SearchAnnoItem(int32_t StartIx, int32_t Tag, uint32_t TagMask,
                                      int32_t ItemClass, TrcItem ItemKind) const {
  return Search(FAnnos, StartIx, Tag, TagMask, ItemClass, ItemKind);
}

int32_t TCustomRIrove::CountAnnos(int32_t Tag, uint32_t TagMask, int32_t ItemClass,
                                  TrcItem ItemKind) const {
  int32_t N = 0;
  for (int32_t I = Search(FAnnos, 0, Tag, TagMask, ItemClass, ItemKind); I >= 0;
       I = Search(FAnnos, I + 1, Tag, TagMask, ItemClass, ItemKind))
    ++N;
  return N;
}

int32_t TCustomRIrove::CountAnnoByClass(const std::vector<uint8_t>& ClList) const {
  std::array<int32_t, 256> PerClass{};
  for (const TrcChartItem& It : FAnnos.Items) ++PerClass[It.ItemClass];
  int32_t Sum = 0;
  for (uint8_t C : ClList) Sum += PerClass[C];
  return Sum;
}

void TCustomRIrove::FindMinMax(int32_t Layer, double RangeLoX, double RangeLoY, double RangeHiX,
                               double RangeHiY, double& MinX, double& MinY, double& MaxX,
                               double& MaxY) const {
  MinX = MinY = std::numeric_limits<double>::max();
  MaxX = MaxY = -std::numeric_limits<double>::max();
  const auto Take = [&](double X, double Y) {
    if (!(RangeLoX < X && X < RangeHiX && RangeLoY < Y && Y < RangeHiY)) return;
    MinX = std::min(MinX, X);
    MaxX = std::max(MaxX, X);
    MinY = std::min(MinY, Y);
    MaxY = std::max(MaxY, Y);
  };
  for (const TrcChartItem& It : FData->Items) {
    if (Layer != 0 && It.Layer != Layer) continue;
    if (It.ItemKind != tkMoveRelPix && It.ItemKind != tkLineRelPix) Take(It.x, It.y);
    if (SecondPointCounts(It.ItemKind)) Take(It.x2, It.y2);
  }
}

TLayerSet TCustomRIrove::FindUsedLayers() const {
  TLayerSet Used;
  for (const TrcChartItem& It : FData->Items)
    if (It.Layer >= 1 && It.Layer <= 2) Used.Include(static_cast<TLayerIndex>(It.Layer));
  return Used;
}

// ---- Bulk edits ---------------------------------------------------------------------------

void TCustomRIrove::MarkAllItems(TrcItem ItemID, uint8_t ClassNumber) {
  if (ClassNumber == 255 || ItemID == tkNone) return;
  for (TrcChartItem& It : FData->Items)
    if (Selects(ItemID, It.ItemKind)) It.ItemClass = ClassNumber;
}

int32_t TCustomRIrove::MarkItemsInWindow(double xLo, double YLo, double XHi, double YHi,
                                         TrcItem ItemID, uint8_t ClassNumber) {
  if (ClassNumber == 255) return 0;
  if (xLo > XHi) ExChange(xLo, XHi);
  if (YLo > YHi) ExChange(YLo, YHi);
  if (ItemID == tkNone) return 0;
  int32_t N = 0;
  for (TrcChartItem& It : FData->Items) {
    if (!Selects(ItemID, It.ItemKind)) continue;
    if (xLo <= It.x && It.x <= XHi && YLo <= It.y && It.y <= YHi) {
      It.ItemClass = ClassNumber;
      ++N;
    }
  }
  return N;
}

void TCustomRIrove::NewColorOfClassItems(TColor Newcol, uint8_t ClassNumber) {
  for (TrcChartItem& It : FData->Items)
    if (ClassNumber == 255 || It.ItemClass == ClassNumber) It.Color = Newcol;
}

namespace {
void ScaleOne(TrcChartItem& It, double kx, double dx, double ky, double dy) {
  It.x = dx + kx * It.x;
  It.y = dy + ky * It.y;
  if (HasSecondPoint(It.ItemKind)) {
    It.x2 = dx + kx * It.x2;
    It.y2 = dy + ky * It.y2;
  }
}
} // namespace

void TCustomRIrove::ScaleItem(int32_t Item, double kx, double dx, double ky, double dy) {
  if (Item >= 0 && Item < FData->Count())
    ScaleOne(FData->Items[static_cast<std::size_t>(Item)], kx, dx, ky, dy);
}

void TCustomRIrove::ScaleAllItems(double kx, double dx, double ky, double dy) {
  for (TrcChartItem& It : FData->Items) ScaleOne(It, kx, dx, ky, dy);
}

void TCustomRIrove::ScaleSelectedItems(double kx, double dx, double ky, double dy,
                                       uint8_t ClassNumber) {
  for (TrcChartItem& It : FData->Items)
    if (It.ItemClass == ClassNumber) ScaleOne(It, kx, dx, ky, dy);
}

// ---- Data sharing -------------------------------------------------------------------------

void TCustomRIrove::SetUseDataOf(TCustomRIrove* Value) {
  if (Value == this) {
    InfoBox("RIrove: Cannot share data with myself");
    return;
  }
  if (!FDataUsers.empty()) {
    InfoBox("RIrove: Cannot use foreign data. Other RIroves are using my own data.");
    return;
  }
  if (Value == FDataOwner) return;
  if (Value == nullptr) {
    DetachFromOwner(true);
    StyleChanged(this);
    return;
  }
  TCustomRIrove* Owner = Value->FDataOwner != nullptr ? Value->FDataOwner : Value;
  if (Owner == FDataOwner) return;
  if (Owner->FDataUsers.size() >= 4) {
    InfoBox("RIrove: Max. number of data shares exceeded");
    return;
  }
  if (FDataOwner != nullptr) DetachFromOwner(false);
  FData = Owner->FData;
  FDataOwner = Owner;
  Owner->FDataUsers.push_back(this);
  StyleChanged(this);
}

void TCustomRIrove::DetachFromOwner(bool KeepCopy) {
  if (FDataOwner == nullptr) return;
  auto& Users = FDataOwner->FDataUsers;
  Users.erase(std::remove(Users.begin(), Users.end(), this), Users.end());
  FDataOwner = nullptr;
  // The chart keeps showing the items it shared, as its own independent copy.
  if (KeepCopy) *FOwnData = *FData;
  FData = FOwnData;
}

void TCustomRIrove::OwnerGone() {
  FDataOwner = nullptr;
  FData = FOwnData;
}

// ---- Joint layers -------------------------------------------------------------------------

int32_t TJointLayers::ControlledBy(int32_t Layer, int Axis) const {
  return FBy[std::clamp(Layer, 1, 2) - 1][Axis == 0 ? 0 : 1];
}

void TJointLayers::Reset() { FBy[0][0] = FBy[0][1] = 1, FBy[1][0] = FBy[1][1] = 2; }

void TJointLayers::SetControlledBy(int32_t Layer, int Axis, int32_t Value) {
  if (Value < 1 || Value > 2)
    throw EZEFRIroveError("Destination layer " + IntToStr(Value) + " is out of range");
  int32_t& Field = FBy[Layer - 1][Axis];
  if (Value == Layer) {
    Field = Layer;
    return;
  }
  if (FBy[Value - 1][Axis] != Value)
    throw EZEFRIroveError("Destination layer " + IntToStr(Value) + " is already joined");
  std::string Joined;
  for (int32_t M = 1; M <= 2; ++M)
    if (M != Layer && FBy[M - 1][Axis] == Layer) Joined += (Joined.empty() ? "" : ", ") + IntToStr(M);
  if (!Joined.empty())
    throw EZEFRIroveError("Layer " + IntToStr(Layer) + " is joined by other layers (" + Joined + ")");
  Field = Value;
  if (FChart != nullptr) {
    const TScaleProps& X = FChart->ScalePropsX(Axis == 0 ? Value : Layer);
    const TScaleProps& Y = FChart->ScalePropsY(Axis == 1 ? Value : Layer);
    FChart->ForceRange(Layer, X.RangeLow(), Y.RangeLow(), X.RangeHigh(), Y.RangeHigh(), true,
                       false);
  }
  Changed();
}

void TJointLayers::Changed() {
  if (OnChange) OnChange(this);
}

void TJointLayers::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TJointLayers*>(&Source)) {
    std::copy(&S->FBy[0][0], &S->FBy[0][0] + 4, &FBy[0][0]);
    OnChange = S->OnChange;
    Changed();
    return;
  }
  TPersistent::Assign(Source);
}

// ---- Text labels --------------------------------------------------------------------------

TTextLabel& TCustomRIrove::TextLabels(int32_t Ix) {
  if (Ix < 1 || Ix > 30)
    throw EZEFRIroveError(ComponentMessage(Name(), "invalid index into TextLabel array"));
  return *FTextLabels[static_cast<std::size_t>(Ix - 1)];
}

void TCustomRIrove::SetTextLabels(int32_t Ix, const TTextLabel& Value) {
  TTextLabel& L = TextLabels(Ix);
  const TNotifyEvent Handler = L.OnChange;
  L.OnChange = nullptr;
  L.Assign(Value);
  L.OnChange = Handler;
  StyleChanged(this);
}

int32_t TCustomRIrove::AddTextLabel(double PosX, double PosY, TColor TxtColor,
                                    const std::string& Txt, int32_t PropertyTemplate) {
  for (int32_t I = 1; I <= 30; ++I)
    if (FTextLabels[static_cast<std::size_t>(I - 1)]->Mode() == tlOff) {
      SetTextLabel(I, PosX, PosY, TxtColor, Txt, PropertyTemplate);
      return I;
    }
  return 0;
}

void TCustomRIrove::SetTextLabel(int32_t Idx, double PosX, double PosY, TColor TxtColor,
                                 const std::string& Txt, int32_t PropertyTemplate) {
  if (Idx < 1 || Idx > 30) return;
  TTextLabel& L = *FTextLabels[static_cast<std::size_t>(Idx - 1)];
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  L.SetTxtLblPosX(PosX);
  L.SetTxtLblPosY(PosY);
  L.SetTxtLblLayer(FActiveLayer);
  if (PropertyTemplate >= 1 && PropertyTemplate <= 30) {
    const TTextLabel& T = *FTextLabels[static_cast<std::size_t>(PropertyTemplate - 1)];
    L.SetTxtLblScreenPos(T.AttachToData());
    L.SetTxtLblAlignment(T.Alignment());
    L.SetTxtLblShadowDx(T.ShadowDx());
    L.SetTxtLblShadowDy(T.ShadowDy());
    L.SetTxtLblColorShadow(T.ColorShadow());
    L.SetTxtLblColorBkg(T.ColorBkg());
    L.SetTxtLblColorBrd(T.ColorBorder());
    L.SetTxtLblTranspar(T.Transparent());
    L.SetTxtLblMode(T.Mode() == tlOff ? tlsimple : T.Mode());
  } else {
    L.SetTxtLblScreenPos(tlamBoth);
    L.SetTxtLblAlignment(taCenter);
    L.SetTxtLblShadowDx(0);
    L.SetTxtLblShadowDy(0);
    L.SetTxtLblColorShadow(0x808080);
    L.SetTxtLblColorBkg(FChartColor);
    L.SetTxtLblColorBrd(FChartFrameColor);
    L.SetTxtLblTranspar(false);
    L.SetTxtLblMode(tlsimple);
  }
  L.SetTxtLblCaption(Txt);
  L.Font().SetColor(TxtColor);
  L.SetTxtLblVisible(true);
  FSuppressPaint = WasSuppressed;
  StyleChanged(this);
}

void TCustomRIrove::HideAllTextLabels() {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  for (auto& L : FTextLabels) L->SetTxtLblVisible(false);
  FSuppressPaint = WasSuppressed;
  RepaintNow();
}

void TCustomRIrove::ClearAllTextLabels() {
  const bool WasSuppressed = FSuppressPaint;
  FSuppressPaint = true;
  for (auto& L : FTextLabels) L->SetTxtLblMode(tlOff);
  FSuppressPaint = WasSuppressed;
  RepaintNow();
}

} // namespace zef
