// TGeoMap: construction and the map image the calibration refers to.
#include "ZEF_geomap.h"
#include "rtl/files.h"

namespace zef {

namespace {

constexpr int64_t MaxMapPixels = 3000000;

} // namespace

TGeoMap::TGeoMap(TComponent* AOwner)
    : TCustomControl(AOwner), FGratMat(std::make_unique<TMatrix>(5, 1)),
      FMapBitmap(std::make_unique<TBitmap>()) {
  FGratMat->Fill(0);
}

TGeoMap::~TGeoMap() = default;

// Takes over a loaded image after the size check; on failure the map keeps its old image.
void TGeoMap::TakeMapImage(std::unique_ptr<TBitmap> Bitmap, const std::string& Name) {
  const int64_t Pixels = int64_t{Bitmap->Width()} * Bitmap->Height();
  if (Pixels > MaxMapPixels)
    Fail("Cannot use map image, maximum of " + std::to_string(MaxMapPixels) +
         " pixels exceeded (size of map is " + std::to_string(Bitmap->Width()) + " x " +
         std::to_string(Bitmap->Height()) + ")");
  FMapBitmap = std::move(Bitmap);
  FMapImgFile = Name;
  FMapImgWidth = FMapBitmap->Width();
  FMapImgHeight = FMapBitmap->Height();
  Changed();
}

void TGeoMap::SetMapImgFile(const std::string& Value) {
  auto Bitmap = std::make_unique<TBitmap>();
  if (!FileExists(Value)) {
    TakeMapImage(std::move(Bitmap), std::string());
    return;
  }
  Bitmap->LoadFromFile(Value);
  TakeMapImage(std::move(Bitmap), Value);
}

void TGeoMap::SetMapBitmap(const TBitmap& Bitmap) {
  auto Copy = std::make_unique<TBitmap>();
  Copy->Assign(Bitmap);
  TakeMapImage(std::move(Copy), "$unknown$");
}

void TGeoMap::SetCalibDataFile(const std::string& Value) {
  if (FileExists(Value)) {
    FCalibDataFile = Value;
    LoadCalDataFromXML(Value, std::string());
  } else {
    FMapImgFile.clear();
    FMapImgWidth = 0;
    FMapImgHeight = 0;
  }
  Changed();
}

} // namespace zef
