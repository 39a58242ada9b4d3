// TBitFld, TByteMatrix, TFifo, TStringAccu, TAssocArray and TRLEncoder.
#include "ZEF_dstruct.h"

#include <algorithm>
#include <bit>
#include <new>

#include "ZEF_streams.h"
#include "rtl/mathfn.h"
#include "rtl/numconv.h"
#include "rtl/strings.h"

namespace zef {

namespace {

[[noreturn]] void RaiseNoMemory(const TComponent& C) {
  throw EZEFDStructError(ComponentMessage(C.Name(), "not enough memory on heap"));
}

uint8_t Combine(uint8_t a, uint8_t b, TLogicOp Op) {
  switch (Op) {
  case loAND: return a & b;
  case loOR: return a | b;
  case loXOR: return a ^ b;
  case loANDNot: return a & static_cast<uint8_t>(~b);
  case loORNot: return a | static_cast<uint8_t>(~b);
  case loXORNot: return a ^ static_cast<uint8_t>(~b);
  }
  return a;
}

} // namespace

// ---- TBitFld --------------------------------------------------------------------------------

TBitFld::TBitFld(TComponent* AOwner) : TComponent(AOwner) {
  FBytes.assign(static_cast<std::size_t>(FSize / 8 + 2), 0);
}

void TBitFld::Assign(const TPersistent& Source) {
  if (const auto* S = dynamic_cast<const TBitFld*>(&Source)) {
    Clone(S);
    return;
  }
  TComponent::Assign(Source);
}

void TBitFld::SetSize(int32_t Value) {
  if (Value <= 0 || Value == FSize) return;
  try {
    FBytes.resize(static_cast<std::size_t>(Value / 8 + 2), 0);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory(*this);
  }
  FSize = Value;
  ClearSpareBits();
}

void TBitFld::ClearSpareBits() {
  FBytes[FSize / 8] &= static_cast<uint8_t>((2u << (FSize % 8)) - 1);
  std::fill(FBytes.begin() + FSize / 8 + 1, FBytes.end(), 0);
}

void TBitFld::Clear() { std::fill(FBytes.begin(), FBytes.end(), 0); }

void TBitFld::Clone(const TBitFld* Source) {
  if (Source == nullptr || Source == this) return;
  FBytes = Source->FBytes;
  FSize = Source->FSize;
}

bool TBitFld::GetBit(int32_t ix) const {
  return ix >= 0 && ix <= FSize && (FBytes[ix / 8] >> (ix % 8) & 1) != 0;
}

void TBitFld::SetBit(int32_t ix, bool Value) {
  if (ix < 0 || ix > FSize) return;
  const uint8_t Mask = static_cast<uint8_t>(1u << (ix % 8));
  if (Value)
    FBytes[ix / 8] |= Mask;
  else
    FBytes[ix / 8] &= static_cast<uint8_t>(~Mask);
}

void TBitFld::ToggleBit(int32_t ix) {
  if (ix >= 0 && ix <= FSize) FBytes[ix / 8] ^= static_cast<uint8_t>(1u << (ix % 8));
}

int32_t TBitFld::CountTrueBits() const {
  // Bits above Size are always clear, so whole bytes can be counted.
  int32_t N = 0;
  for (uint8_t B : FBytes) N += std::popcount(B);
  return N;
}

int32_t TBitFld::FirstTrueBit() const {
  for (std::size_t i = 0; i < FBytes.size(); ++i)
    if (FBytes[i] != 0) return static_cast<int32_t>(i * 8) + std::countr_zero(FBytes[i]);
  return -1;
}

void TBitFld::Invert() {
  for (uint8_t& B : FBytes) B = static_cast<uint8_t>(~B);
  ClearSpareBits();
}

void TBitFld::FillRandom(int32_t n) {
  // Indices round(r * Size) are drawn until enough bits have changed; every draw that hits
  // a bit already in the wanted state is repeated.
  auto Draw = [this] { return static_cast<int32_t>(Round(Random() * FSize)); };
  if (n > FSize / 2) {
    for (int32_t i = 0; i <= FSize; ++i) SetBit(i, true);
    for (int32_t Cleared = 0; Cleared < FSize - n;) {
      const int32_t ix = Draw();
      if (GetBit(ix)) {
        SetBit(ix, false);
        ++Cleared;
      }
    }
  } else {
    Clear();
    for (int32_t Set = 0; Set < n;) {
      const int32_t ix = Draw();
      if (!GetBit(ix)) {
        SetBit(ix, true);
        ++Set;
      }
    }
  }
}

void TBitFld::RandomFill(double Percent) {
  if (!(Percent >= 0)) Percent = 0;
  Percent = std::min(Percent, 100.0);
  FillRandom(static_cast<int32_t>(Round(Percent * 0.01 * FSize)));
}

void TBitFld::RandomFill(int32_t NBits) { FillRandom(std::clamp(NBits, 0, FSize)); }

void TBitFld::MakeListOfBits(TIntArray& BitList, bool State) const {
  BitList.clear();
  for (int32_t i = 0; i <= FSize; ++i)
    if (GetBit(i) == State) BitList.push_back(i);
}

void TBitFld::CombineWith(const TBitFld& SecondBArray, TLogicOp Operation) {
  if (SecondBArray.FSize != FSize) return;
  for (std::size_t i = 0; i < FBytes.size(); ++i)
    FBytes[i] = Combine(FBytes[i], SecondBArray.FBytes[i], Operation);
  ClearSpareBits();
}

// ---- TByteMatrix ----------------------------------------------------------------------------

TByteMatrix::TByteMatrix(TComponent* AOwner) : TComponent(AOwner), FData(1, 0) {}

void TByteMatrix::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TByteMatrix*>(&Source);
  if (S == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  FData = S->FData;
  FNCols = S->FNCols;
  FNRows = S->FNRows;
  DefaultValue = S->DefaultValue;
  OnChange = S->OnChange;
}

void TByteMatrix::Changed() {
  if (OnChange) OnChange(this);
}

void TByteMatrix::SetNrOfColumns(int32_t Value) { Resize(std::max(Value, 1), FNRows); }

void TByteMatrix::SetNrOfRows(int32_t Value) { Resize(FNCols, std::max(Value, 1)); }

bool TByteMatrix::Resize(int32_t NrColumns, int32_t NrRows) {
  if (NrColumns < 1 || NrRows < 1 || (NrColumns == FNCols && NrRows == FNRows)) return false;
  std::vector<uint8_t> Data;
  try {
    Data.assign(static_cast<std::size_t>(NrColumns) * static_cast<std::size_t>(NrRows), 0);
  } catch (const std::bad_alloc&) {
    RaiseNoMemory(*this);
  } catch (const std::length_error&) {
    RaiseNoMemory(*this);
  }
  const int32_t KeepRows = std::min(NrRows, FNRows);
  for (int32_t c = 0; c < std::min(NrColumns, FNCols); ++c)
    std::copy_n(FData.begin() + static_cast<std::ptrdiff_t>(c) * FNRows, KeepRows,
                Data.begin() + static_cast<std::ptrdiff_t>(c) * NrRows);
  FData = std::move(Data);
  FNCols = NrColumns;
  FNRows = NrRows;
  Changed();
  return true;
}

void TByteMatrix::Fill(uint8_t Value) {
  std::fill(FData.begin(), FData.end(), Value);
  Changed();
}

uint8_t TByteMatrix::GetByte(int32_t ix, int32_t iy) const {
  return Inside(ix, iy) ? FData[Index(ix, iy)] : DefaultValue;
}

void TByteMatrix::SetByte(int32_t ix, int32_t iy, uint8_t Value) {
  if (!Inside(ix, iy)) return;
  FData[Index(ix, iy)] = Value;
  Changed();
}

bool TByteMatrix::GetBit(int32_t ix, int32_t iy, int32_t ixBit) const {
  return ixBit >= 0 && ixBit <= 7 && (GetByte(ix, iy) >> ixBit & 1) != 0;
}

void TByteMatrix::SetBit(int32_t ix, int32_t iy, int32_t ixBit, bool Value) {
  if (!Inside(ix, iy) || ixBit < 0 || ixBit > 7) return;
  const uint8_t Mask = static_cast<uint8_t>(1u << ixBit);
  uint8_t& B = FData[Index(ix, iy)];
  B = Value ? B | Mask : B & static_cast<uint8_t>(~Mask);
  Changed();
}

void TByteMatrix::ToggleBit(int32_t col, int32_t row, int32_t ixBit) {
  if (!Inside(col, row) || ixBit < 0 || ixBit > 7) return;
  FData[Index(col, row)] ^= static_cast<uint8_t>(1u << ixBit);
  Changed();
}

void TByteMatrix::MirrorColumns() {
  for (int32_t c = 1; c <= FNCols / 2; ++c)
    std::swap_ranges(FData.begin() + static_cast<std::ptrdiff_t>(Index(c, 1)),
                     FData.begin() + static_cast<std::ptrdiff_t>(Index(c, 1)) + FNRows,
                     FData.begin() + static_cast<std::ptrdiff_t>(Index(FNCols + 1 - c, 1)));
  Changed();
}

void TByteMatrix::MirrorRows() {
  for (int32_t c = 1; c <= FNCols; ++c) {
    const auto First = FData.begin() + static_cast<std::ptrdiff_t>(Index(c, 1));
    std::reverse(First, First + FNRows);
  }
  Changed();
}

void TByteMatrix::CombineWith(const TByteMatrix& SecondByteMatrix, TLogicOp Operation) {
  if (SecondByteMatrix.FNCols != FNCols || SecondByteMatrix.FNRows != FNRows) return;
  for (std::size_t i = 0; i < FData.size(); ++i)
    FData[i] = Combine(FData[i], SecondByteMatrix.FData[i], Operation);
}

// ---- TFifo ----------------------------------------------------------------------------------

TFifo::TFifo(TComponent* AOwner) : TComponent(AOwner), FStore(256, 0) {}

void TFifo::SetSize(int32_t Value) {
  if (Value < 2 || Value == Size()) return;
  try {
    FStore.assign(static_cast<std::size_t>(Value), 0);
  } catch (const std::bad_alloc&) {
    throw EZEFDStructError(ComponentMessage(Name(), "FIFO structure too large"));
  }
  Clear();
}

void TFifo::Clear() {
  FIn = 0;
  FOut = 0;
}

int32_t TFifo::CountBytes() const {
  const int32_t N = Size();
  return ((FIn - FOut) % N + N) % N;
}

bool TFifo::PutByte(uint8_t InByte) {
  if (CountBytes() == Size() - 1) return false;
  FStore[FIn] = InByte;
  FIn = (FIn + 1) % Size();
  return true;
}

bool TFifo::ForceByte(uint8_t InByte) {
  const bool Full = CountBytes() == Size() - 1;
  if (Full) FOut = (FOut + 1) % Size();
  FStore[FIn] = InByte;
  FIn = (FIn + 1) % Size();
  return Full;
}

bool TFifo::LoadBack(uint8_t InByte) {
  if (CountBytes() == Size() - 1) FIn = (FIn + Size() - 1) % Size();
  FOut = (FOut + Size() - 1) % Size();
  FStore[FOut] = InByte;
  return true;
}

bool TFifo::GetByte(uint8_t& OutByte) {
  if (FIn == FOut) return false;
  OutByte = FStore[FOut];
  FOut = (FOut + 1) % Size();
  return true;
}

bool TFifo::SenseByte(int32_t ix, uint8_t& OutByte) const {
  if (ix < 0 || ix >= CountBytes()) return false;
  OutByte = FStore[(FOut + ix) % Size()];
  return true;
}

// ---- TStringAccu ----------------------------------------------------------------------------

void TStringAccu::Clear() { FItems.clear(); }

void TStringAccu::Add(const std::string& AString) {
  const auto It =
      std::find_if(FItems.begin(), FItems.end(), [&](const TItem& I) { return I.Text == AString; });
  if (It != FItems.end())
    ++It->Count;
  else
    FItems.push_back({AString, 1});
}

std::string TStringAccu::GetString(int32_t ix) const {
  return ix >= 1 && ix <= Size() ? FItems[ix - 1].Text : std::string();
}

int32_t TStringAccu::GetCount(int32_t ix) const {
  return ix >= 1 && ix <= Size() ? FItems[ix - 1].Count : 0;
}

// ---- TAssocArray ----------------------------------------------------------------------------

TAssocArray::TAssocArray(TComponent* AOwner) : TComponent(AOwner) {
  FKeys.reserve(static_cast<std::size_t>(FCapacity));
  FValues.reserve(static_cast<std::size_t>(FCapacity));
}

void TAssocArray::Assign(const TPersistent& Source) {
  const auto* S = dynamic_cast<const TAssocArray*>(&Source);
  if (S == nullptr) {
    TComponent::Assign(Source);
    return;
  }
  FKeys = S->FKeys;
  FValues = S->FValues;
  FCapacity = std::max(S->FCapacity, NumEntries());
  Granularity = S->Granularity;
  IgnoreCase = S->IgnoreCase;
  DataID = S->DataID;
}

std::string TAssocArray::StoredKey(const std::string& Key) const {
  return IgnoreCase ? LowerCase(Key) : Key;
}

int32_t TAssocArray::Find(const std::string& Key) const {
  const std::string K = StoredKey(Key);
  for (std::size_t i = 0; i < FKeys.size(); ++i)
    if ((IgnoreCase ? LowerCase(FKeys[i]) : FKeys[i]) == K) return static_cast<int32_t>(i);
  return -1;
}

void TAssocArray::Add(const std::string& Key, const TVariant& Value) {
  const int32_t i = Find(Key);
  if (i >= 0) {
    FValues[i] = Value;
    return;
  }
  if (NumEntries() >= FCapacity) {
    FCapacity = NumEntries() + 1 + std::max(Granularity, 1);
    FKeys.reserve(static_cast<std::size_t>(FCapacity));
    FValues.reserve(static_cast<std::size_t>(FCapacity));
  }
  FKeys.push_back(StoredKey(Key));
  FValues.push_back(Value);
}

bool TAssocArray::Remove(const std::string& Key) {
  const int32_t i = Find(Key);
  if (i < 0) return false;
  FKeys[i] = std::move(FKeys.back());
  FValues[i] = std::move(FValues.back());
  FKeys.pop_back();
  FValues.pop_back();
  return true;
}

TVariant TAssocArray::Resolve(const std::string& Key) const {
  const int32_t i = Find(Key);
  return i >= 0 ? FValues[i] : TVariant::Null();
}

std::string TAssocArray::ResolveAsString(const std::string& Key) const {
  const TVariant V = Resolve(Key);
  return V.IsNull() ? std::string() : V.AsString();
}

namespace {

bool IsIntegerType(uint16_t T) {
  switch (T) {
  case varSmallint:
  case varInteger:
  case varShortInt:
  case varByte:
  case varWord:
  case varLongWord:
  case varInt64:
  case varUInt64: return true;
  default: return false;
  }
}

} // namespace

double TAssocArray::ResolveAsNumber(const std::string& Key) const {
  const TVariant V = Resolve(Key);
  const uint16_t T = V.VarType() & varTypeMask;
  if (IsIntegerType(T) || T == varSingle || T == varDouble || T == varCurrency) return V.AsDouble();
  if (T == varString) {
    std::size_t Pos = 1;
    return ScanFPNum(V.AsString(), Pos, true, dsepBoth);
  }
  return 0;
}

int32_t TAssocArray::ResolveAsInt(const std::string& Key) const {
  const TVariant V = Resolve(Key);
  const uint16_t T = V.VarType() & varTypeMask;
  if (IsIntegerType(T))
    return static_cast<int32_t>(std::clamp<int64_t>(V.AsInt64(), INT32_MIN, INT32_MAX));
  if (T == varSingle || T == varDouble) return RoundInt(V.AsDouble());
  if (T == varString) {
    std::size_t Pos = 1;
    return ScanDecimal(V.AsString(), Pos);
  }
  return 0;
}

void TAssocArray::Clear() {
  FKeys.clear();
  FValues.clear();
  FCapacity = std::max(Granularity, 1);
  FKeys.shrink_to_fit();
  FValues.shrink_to_fit();
}

std::string TAssocArray::GetKeys(int32_t ix) const {
  return ix >= 1 && ix <= NumEntries() ? FKeys[ix - 1] : std::string();
}

void TAssocArray::SetKeys(int32_t ix, const std::string& Key) {
  if (ix >= 1 && ix <= NumEntries()) FKeys[ix - 1] = StoredKey(Key);
}

TVariant TAssocArray::GetValues(int32_t ix) const {
  return ix >= 1 && ix <= NumEntries() ? FValues[ix - 1] : TVariant(std::string());
}

void TAssocArray::SetValues(int32_t ix, const TVariant& Value) {
  if (ix >= 1 && ix <= NumEntries()) FValues[ix - 1] = Value;
}

namespace {

constexpr const char* kAssocRoot = "assocarray";

std::string EscapeXML(std::string_view S) {
  std::string R;
  for (char C : S) {
    switch (C) {
    case '&': R += "&amp;"; break;
    case '<': R += "&lt;"; break;
    case '>': R += "&gt;"; break;
    case '"': R += "&quot;"; break;
    case '\r': R += "&#13;"; break;
    case '\n': R += "&#10;"; break;
    default: R += C;
    }
  }
  return R;
}

std::string UnescapeXML(std::string_view S) {
  static constexpr std::pair<std::string_view, char> Entities[] = {
      {"&amp;", '&'},  {"&lt;", '<'},   {"&gt;", '>'},
      {"&quot;", '"'}, {"&#13;", '\r'}, {"&#10;", '\n'}};
  std::string R;
  for (std::size_t i = 0; i < S.size(); ++i) {
    bool Done = false;
    if (S[i] == '&')
      for (const auto& [Name, C] : Entities)
        if (S.substr(i, Name.size()) == Name) {
          R += C;
          i += Name.size() - 1;
          Done = true;
          break;
        }
    if (!Done) R += S[i];
  }
  return R;
}

// The type name and text of a value as the block stores them.
std::pair<const char*, std::string> ValueText(const TVariant& V) {
  const uint16_t T = V.VarType() & varTypeMask;
  if (V.IsNull() || V.IsEmpty()) return {"null", ""};
  if (IsIntegerType(T)) return {"int", T == varUInt64 ? V.AsString() : std::to_string(V.AsInt64())};
  if (T == varSingle || T == varDouble) return {"float", Format("%.17g", {V.AsDouble()})};
  if (T == varCurrency) return {"currency", std::to_string(V.AsCurrencyScaled())};
  if (T == varBoolean) return {"bool", V.AsBoolean() ? "1" : "0"};
  if (T == varDate) return {"date", Format("%.17g", {V.AsDouble()})};
  return {"text", V.AsString()};
}

// The value of a block entry; false when its text does not fit its type.
bool ParseValue(std::string_view Type, const std::string& Text, TVariant& V) {
  int64_t I = 0;
  double D = 0;
  if (Type == "null")
    V = TVariant::Null();
  else if (Type == "int" && TryStrToInt64(Text, I))
    V = (I >= INT32_MIN && I <= INT32_MAX) ? TVariant(static_cast<int32_t>(I)) : TVariant(I);
  else if (Type == "float" && TryStrToFloat(Text, D))
    V = TVariant(D);
  else if (Type == "currency" && TryStrToInt64(Text, I))
    V = TVariant::FromCurrencyScaled(I);
  else if (Type == "bool" && (Text == "0" || Text == "1"))
    V = TVariant(Text == "1");
  else if (Type == "date" && TryStrToFloat(Text, D))
    V = TVariant::FromDate(D);
  else if (Type == "text")
    V = TVariant(Text);
  else
    return false;
  return true;
}

} // namespace

void TAssocArray::WriteToXMLStream(TStream& OutStream, bool CreateHeader,
                                   const std::string& ADataID) const {
  if (CreateHeader) WriteLnStream(OutStream, XMLHeaderLine);
  WriteLnStream(OutStream, "");
  WriteLnStream(OutStream, " <!-- TAssocArray / ZEF Component Suite -->");
  WriteLnStream(OutStream, std::string(" <") + kAssocRoot + " sig=\"" + std::string(XMLSignature) +
                               "\" vers=\"1.0\" id=\"" + EscapeXML(ADataID) + "\">");
  for (std::size_t i = 0; i < FKeys.size(); ++i) {
    const auto [Type, Text] = ValueText(FValues[i]);
    WriteLnStream(OutStream, "   <entry key=\"" + EscapeXML(FKeys[i]) + "\" type=\"" + Type +
                                 "\">" + EscapeXML(Text) + "</entry>");
  }
  WriteLnStream(OutStream, std::string(" </") + kAssocRoot + ">");
}

bool TAssocArray::ReadFromXMLStream(TStream& InStream, const std::string& ADataID) {
  bool Started = false;
  for (bool End = false; !End;) {
    const std::string Line = ReadLnStream(InStream, End, 2);
    if (IsXMLBlockStart(Line, kAssocRoot, ADataID)) {
      Started = true;
      break;
    }
  }
  if (!Started) return false;
  std::vector<std::pair<std::string, TVariant>> Entries;
  TXMLStreamSource Source(InStream);
  TXMLElement E;
  while (ReadXMLElement(Source, E)) {
    if (E.Name == std::string("/") + kAssocRoot) {
      for (const auto& [K, V] : Entries) Add(K, V);
      return true;
    }
    if (E.Name != "entry") continue;
    TVariant V;
    if (ParseValue(XMLAttribute(E.Attributes, "type"), UnescapeXML(E.Content), V))
      Entries.emplace_back(UnescapeXML(XMLAttribute(E.Attributes, "key")), std::move(V));
  }
  return false;
}

int32_t TAssocArray::AddXMLAttributes(std::string_view Attributes) {
  std::vector<std::pair<std::string, std::string>> Found;
  std::size_t i = 0;
  auto SkipBlanks = [&] {
    while (i < Attributes.size() && (Attributes[i] == ' ' || Attributes[i] == '\t' ||
                                     Attributes[i] == '\r' || Attributes[i] == '\n'))
      ++i;
  };
  for (;;) {
    SkipBlanks();
    if (i >= Attributes.size()) break;
    const std::size_t Start = i;
    while (i < Attributes.size() && Attributes[i] != '=' && Attributes[i] != ' ' &&
           Attributes[i] != '"')
      ++i;
    std::string Name(Attributes.substr(Start, i - Start));
    SkipBlanks();
    if (Name.empty() || i >= Attributes.size() || Attributes[i] != '=') return -1;
    ++i;
    SkipBlanks();
    std::string Value;
    if (i < Attributes.size() && Attributes[i] == '"') {
      const std::size_t Close = Attributes.find('"', i + 1);
      if (Close == std::string_view::npos) return -1;
      Value = UnescapeXML(Attributes.substr(i + 1, Close - i - 1));
      i = Close + 1;
    } else {
      const std::size_t VStart = i;
      while (i < Attributes.size() && Attributes[i] != ' ' && Attributes[i] != '\t') ++i;
      Value = std::string(Attributes.substr(VStart, i - VStart));
      if (Value.empty() || Value.find_first_of("=\"") != std::string::npos) return -1;
    }
    Found.emplace_back(std::move(Name), std::move(Value));
  }
  for (const auto& [K, V] : Found) Add(K, TVariant(V));
  return static_cast<int32_t>(Found.size());
}

// ---- TRLEncoder -----------------------------------------------------------------------------

TRLEncoder::TRLEncoder(TComponent* AOwner) : TComponent(AOwner) {
  FBuffer.reserve(4 * static_cast<std::size_t>(FBufLeng));
}

void TRLEncoder::SetBufLeng(int32_t Value) {
  if (Value >= 1) FBufLeng = Value;
}

void TRLEncoder::Reset() {
  FBuffer.clear();
  FRunByte = 0;
  FRunCount = 0;
  FDecodeState = rlData;
  FDecodeCount = 0;
  FEncoded = false;
}

void TRLEncoder::WriteRun() {
  if (FRunCount == 0) return;
  if (FRunByte != LeadIn && FRunCount <= 2)
    FBuffer.insert(FBuffer.end(), static_cast<std::size_t>(FRunCount), FRunByte);
  else
    FBuffer.insert(FBuffer.end(), {LeadIn, static_cast<uint8_t>(FRunCount), FRunByte});
  FRunCount = 0;
}

bool TRLEncoder::Encode(std::span<const uint8_t> InBuf, int32_t NumBytes) {
  const std::size_t N =
      std::min<std::size_t>(InBuf.size(), static_cast<std::size_t>(std::max(NumBytes, 0)));
  for (std::size_t i = 0; i < N; ++i) {
    const uint8_t B = InBuf[i];
    if (FRunCount > 0 && B == FRunByte) {
      if (++FRunCount == 255) WriteRun();
    } else {
      WriteRun();
      FRunByte = B;
      FRunCount = 1;
    }
  }
  FEncoded = FEncoded || N > 0;
  return Buffered() >= FBufLeng;
}

bool TRLEncoder::Decode(uint8_t InByte) {
  switch (FDecodeState) {
  case rlData:
    if (InByte == LeadIn)
      FDecodeState = rlLeadin;
    else
      FBuffer.push_back(InByte);
    break;
  case rlLeadin:
    FDecodeCount = InByte;
    FDecodeState = rlCnt;
    break;
  case rlCnt:
    FBuffer.insert(FBuffer.end(), FDecodeCount, InByte);
    FDecodeCount = 0;
    FDecodeState = rlData;
    break;
  }
  return Buffered() >= FBufLeng;
}

void TRLEncoder::GetResult(std::span<uint8_t> OutBuf) {
  const std::size_t L = static_cast<std::size_t>(FBufLeng);
  if (FBuffer.size() < L || OutBuf.size() < L) return;
  std::copy_n(FBuffer.begin(), L, OutBuf.begin());
  FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(L));
}

int32_t TRLEncoder::Finish(std::span<uint8_t> OutBuf) {
  if (FEncoded) {
    FBuffer.insert(FBuffer.end(), {LeadIn, static_cast<uint8_t>(FRunCount), FRunByte});
    FRunCount = 0;
    FEncoded = false;
  }
  const std::size_t N =
      std::min({FBuffer.size(), static_cast<std::size_t>(FBufLeng), OutBuf.size()});
  std::copy_n(FBuffer.begin(), N, OutBuf.begin());
  FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(N));
  return static_cast<int32_t>(N);
}

} // namespace zef
