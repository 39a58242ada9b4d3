// Element table, X-ray line table, CAS numbers and the name dictionary.
#include "ZEF_CData.h"

#include <algorithm>
#include <array>
#include <span>

#include "ZEF_openarrays.h"

namespace zef {

namespace {

struct TElement {
  const char* Symbol;
  const char* Name;
  int32_t Nominal;       // mass number of the most abundant isotope
  double Exact;          // exact mass of that isotope
  double Chemical;       // average atomic weight, 0 when none
  uint8_t Outer;         // outer-shell electrons
  int16_t VdW;           // van der Waals radius in hundredths of an angstrom, 0 when unknown
  const char* Config;    // configuration with a noble-gas core
};

constexpr int32_t kNumElements = 103;

constexpr std::array<TElement, kNumElements> kElements = {{
    {"H", "hydrogen", 1, 1.007825, 1.00797, 1, 120, "1s1"},  // 1
    {"He", "helium", 4, 4.002603, 4.0026, 2, 0, "1s2"},  // 2
    {"Li", "litium", 7, 7.016005, 6.939, 1, 0, "[He] 2s1"},  // 3
    {"Be", "beryllium", 9, 9.012183, 9.0122, 2, 0, "[He] 2s2"},  // 4
    {"B", "boron", 11, 11.009305, 10.811, 3, 98, "[He] 2s2 2p1"},  // 5
    {"C", "carbon", 12, 12.0, 12.01115, 4, 180, "[He] 2s2 2p2"},  // 6
    {"N", "nitrogen", 14, 14.003074, 14.0067, 5, 150, "[He] 2s2 2p3"},  // 7
    {"O", "oxygen", 16, 15.994915, 15.9994, 6, 140, "[He] 2s2 2p4"},  // 8
    {"F", "flourine", 19, 18.998405, 18.9984, 7, 135, "[He] 2s2 2p5"},  // 9
    {"Ne", "neon", 20, 19.99244, 20.183, 8, 0, "[He] 2s2 2p6"},  // 10
    {"Na", "sodium", 23, 22.98977, 22.9898, 1, 0, "[Ne] 3s1"},  // 11
    {"Mg", "magnesium", 24, 23.985044, 24.312, 2, 0, "[Ne] 3s2"},  // 12
    {"Al", "aluminum", 27, 26.981541, 26.9815, 3, 0, "[Ne] 3s2 3p1"},  // 13
    {"Si", "silicon", 28, 27.976929, 28.086, 4, 138, "[Ne] 3s2 3p2"},  // 14
    {"P", "phosphorus", 31, 30.973763, 30.9738, 5, 190, "[Ne] 3s2 3p3"},  // 15
    {"S", "sulfur", 32, 31.972073, 32.064, 6, 185, "[Ne] 3s2 3p4"},  // 16
    {"Cl", "chlorine", 35, 34.968854, 35.453, 7, 180, "[Ne] 3s2 3p5"},  // 17
    {"Ar", "argon", 40, 39.962384, 39.948, 8, 0, "[Ne] 3s2 3p6"},  // 18
    {"K", "potassium", 39, 38.963709, 39.102, 1, 0, "[Ar] 4s1"},  // 19
    {"Ca", "calcium", 40, 39.962592, 40.08, 2, 0, "[Ar] 4s2"},  // 20
    {"Sc", "scandium", 45, 44.955917, 44.956, 2, 0, "[Ar] 3d1 4s2"},  // 21
    {"Ti", "titanium", 48, 47.947949, 47.9, 2, 0, "[Ar] 3d2 4s2"},  // 22
    {"V", "vanadin", 51, 50.943964, 50.942, 2, 0, "[Ar] 3d3 4s2"},  // 23
    {"Cr", "chromium", 52, 51.94051, 51.996, 1, 0, "[Ar] 3d5 4s1"},  // 24
    {"Mn", "manganese", 55, 54.938046, 54.938, 2, 0, "[Ar] 3d5 4s2"},  // 25
    {"Fe", "iron", 56, 55.934934, 55.847, 2, 0, "[Ar] 3d6 4s2"},  // 26
    {"Co", "cobalt", 59, 58.933188, 58.9332, 2, 0, "[Ar] 3d7 4s2"},  // 27
    {"Ni", "nickel", 58, 57.935336, 58.71, 2, 0, "[Ar] 3d8 4s2"},  // 28
    {"Cu", "copper", 63, 62.92959, 63.54, 1, 0, "[Ar] 3d10 4s1"},  // 29
    {"Zn", "zinc", 64, 63.92914, 65.37, 2, 0, "[Ar] 3d10 4s2"},  // 30
    {"Ga", "gallium", 69, 68.92558, 69.72, 3, 0, "[Ar] 3d10 4s2 4p1"},  // 31
    {"Ge", "germanium", 74, 73.921179, 72.59, 4, 0, "[Ar] 3d10 4s2 4p2"},  // 32
    {"As", "arsenic", 75, 74.9216, 74.9216, 5, 200, "[Ar] 3d10 4s2 4p3"},  // 33
    {"Se", "selenium", 80, 79.916525, 78.96, 6, 200, "[Ar] 3d10 4s2 4p4"},  // 34
    {"Br", "bromine", 79, 78.918332, 79.909, 7, 195, "[Ar] 3d10 4s2 4p5"},  // 35
    {"Kr", "krypton", 84, 83.911505, 83.8, 8, 0, "[Ar] 3d10 4s2 4p6"},  // 36
    {"Rb", "rubidium", 85, 84.911799, 85.47, 1, 0, "[Kr] 5s1"},  // 37
    {"Sr", "strontium", 88, 87.905628, 87.62, 2, 0, "[Kr] 5s2"},  // 38
    {"Y", "yttrium", 89, 88.905867, 88.905, 2, 0, "[Kr] 4d1 5s2"},  // 39
    {"Zr", "zirconium", 90, 89.904711, 91.22, 2, 0, "[Kr] 4d2 5s2"},  // 40
    {"Nb", "niobium", 93, 92.90638, 92.906, 1, 0, "[Kr] 4d4 5s1"},  // 41
    {"Mo", "molybdenum", 98, 97.90541, 95.94, 1, 0, "[Kr] 4d5 5s1"},  // 42
    {"Tc", "technetium", 97, 96.905, 0.0, 2, 0, "[Kr] 4d6 5s1"},  // 43
    {"Ru", "ruthenium", 102, 101.904348, 101.07, 1, 0, "[Kr] 4d7 5s1"},  // 44
    {"Rh", "rhodium", 103, 102.905512, 102.905, 1, 0, "[Kr] 4d8 5s1"},  // 45
    {"Pd", "palladium", 106, 105.903487, 106.4, 0, 0, "[Kr] 4d10"},  // 46
    {"Ag", "silver", 107, 106.905091, 107.87, 1, 0, "[Kr] 4d10 5s1"},  // 47
    {"Cd", "cadmium", 114, 113.903367, 112.4, 2, 0, "[Kr] 4d10 5s2"},  // 48
    {"In", "indium", 115, 114.903875, 114.82, 3, 0, "[Kr] 4d10 5s2 5p1"},  // 49
    {"Sn", "tin", 120, 119.902207, 118.69, 4, 0, "[Kr] 4d10 5s2 5p2"},  // 50
    {"Sb", "antimony", 121, 120.903822, 121.75, 5, 220, "[Kr] 4d10 5s2 5p3"},  // 51
    {"Te", "tellurium", 130, 129.906232, 127.6, 6, 220, "[Kr] 4d10 5s2 5p4"},  // 52
    {"I", "iodine", 127, 126.904476, 126.9044, 7, 215, "[Kr] 4d10 5s2 5p5"},  // 53
    {"Xe", "xenon", 132, 131.904157, 131.3, 8, 0, "[Kr] 4d10 5s2 5p6"},  // 54
    {"Cs", "cesium", 133, 132.905436, 132.905, 1, 0, "[Xe] 6s1"},  // 55
    {"Ba", "barium", 138, 137.905235, 137.34, 2, 0, "[Xe] 6s2"},  // 56
    {"La", "lanthanum", 139, 138.906403, 138.91, 2, 0, "[Xe] 5d1 6s2"},  // 57
    {"Ce", "cerium", 140, 139.905484, 140.12, 2, 0, "[Xe] 4f2 6s2"},  // 58
    {"Pr", "praseodymium", 141, 140.907698, 140.907, 2, 0, "[Xe] 4f3 6s2"},  // 59
    {"Nd", "neodymium", 142, 141.907766, 144.24, 2, 0, "[Xe] 4f4 6s2"},  // 60
    {"Pm", "prometium", 145, 144.907, 0.0, 2, 0, "[Xe] 4f5 6s2"},  // 61
    {"Sm", "samarium", 152, 151.919755, 150.35, 2, 0, "[Xe] 4f6 6s2"},  // 62
    {"Eu", "europium", 153, 152.92126, 151.96, 2, 0, "[Xe] 4f7 6s2"},  // 63
    {"Gd", "gadolinium", 158, 157.924123, 157.25, 2, 0, "[Xe] 4f7 5d1 6s2"},  // 64
    {"Tb", "terbium", 159, 158.925386, 158.924, 2, 0, "[Xe] 4f9 6s2"},  // 65
    {"Dy", "dysprosium", 164, 163.929218, 162.5, 2, 0, "[Xe] 4f10 6s2"},  // 66
    {"Ho", "holmium", 165, 164.930357, 164.93, 2, 0, "[Xe] 4f11 6s2"},  // 67
    {"Er", "erbium", 166, 165.930324, 167.26, 2, 0, "[Xe] 4f12 6s2"},  // 68
    {"Tm", "thulium", 169, 168.934245, 168.934, 2, 0, "[Xe] 4f13 6s2"},  // 69
    {"Yb", "ytterbium", 174, 173.938881, 173.04, 2, 0, "[Xe] 4f14 6s2"},  // 70
    {"Lu", "lutetium", 175, 174.940796, 174.97, 2, 0, "[Xe] 4f14 5d1 6s2"},  // 71
    {"Hf", "hafnium", 180, 179.946575, 178.49, 2, 0, "[Xe] 4f14 5d2 6s2"},  // 72
    {"Ta", "tantalum", 181, 180.948028, 180.948, 2, 0, "[Xe] 4f14 5d3 6s2"},  // 73
    {"W", "tungsten", 184, 183.950975, 183.85, 2, 0, "[Xe] 4f14 5d4 6s2"},  // 74
    {"Re", "rhenium", 187, 186.955791, 186.2, 2, 0, "[Xe] 4f14 5d5 6s2"},  // 75
    {"Os", "osmium", 192, 191.961514, 190.2, 2, 0, "[Xe] 4f14 5d6 6s2"},  // 76
    {"Ir", "iridium", 193, 192.962964, 192.2, 2, 0, "[Xe] 4f14 5d7 6s2"},  // 77
    {"Pt", "platinum", 195, 194.964804, 195.09, 1, 0, "[Xe] 4f14 5d9 6s1"},  // 78
    {"Au", "gold", 197, 196.966548, 196.967, 1, 0, "[Xe] 4f14 5d10 6s1"},  // 79
    {"Hg", "mercury", 202, 201.970643, 200.59, 2, 0, "[Xe] 4f14 5d10 6s2"},  // 80
    {"Tl", "thallium", 205, 204.974438, 204.37, 3, 0, "[Xe] 4f14 5d10 6s2 6p1"},  // 81
    {"Pb", "lead", 208, 207.976658, 207.19, 4, 0, "[Xe] 4f14 5d10 6s2 6p2"},  // 82
    {"Bi", "bismuth", 209, 208.980401, 208.98, 5, 0, "[Xe] 4f14 5d10 6s2 6p3"},  // 83
    {"Po", "polonium", 209, 208.9825, 0.0, 6, 0, "[Xe] 4f14 5d10 6s2 6p4"},  // 84
    {"At", "astatine", 211, 210.9875, 0.0, 7, 0, "[Xe] 4f14 5d10 6s2 6p5"},  // 85
    {"Rn", "radon", 222, 222.0175, 0.0, 8, 0, "[Xe] 4f14 5d10 6s2 6p6"},  // 86
    {"Fr", "francium", 223, 223.0198, 0.0, 1, 0, "[Rn] 7s1"},  // 87
    {"Ra", "radium", 226, 226.0254, 0.0, 2, 0, "[Rn] 7s2"},  // 88
    {"Ac", "actinum", 227, 227.0278, 0.0, 2, 0, "[Rn] 6d1 7s2"},  // 89
    {"Th", "thorium", 232, 232.038074, 232.038, 2, 0, "[Rn] 6d2 7s2"},  // 90
    {"Pa", "protactinium", 230, 230.0, 0.0, 2, 0, "[Rn] 5f2 6d1 7s2"},  // 91
    {"U", "uranium", 238, 238.050816, 238.03, 2, 0, "[Rn] 5f3 6d1 7s2"},  // 92
    {"Np", "neptunium", 237, 237.048, 0.0, 2, 0, "[Rn] 5f4 6d1 7s2"},  // 93
    {"Pu", "plutonium", 244, 244.06, 0.0, 2, 0, "[Rn] 5f6 7s2"},  // 94
    {"Am", "americium", 243, 243.0614, 0.0, 2, 0, "[Rn] 5f7 7s2"},  // 95
    {"Cm", "curium", 247, 247.07, 0.0, 2, 0, "[Rn] 5f7 6d1 7s2"},  // 96
    {"Bk", "berkelium", 247, 247.0702, 0.0, 2, 0, "[Rn] 5f9 7s2"},  // 97
    {"Cf", "californium", 251, 251.079, 0.0, 2, 0, "[Rn] 5f10 7s2"},  // 98
    {"Es", "einsteinium", 254, 254.0881, 0.0, 2, 0, "[Rn] 5f11 7s2"},  // 99
    {"Fm", "fermium", 257, 257.093, 0.0, 2, 0, "[Rn] 5f12 7s2"},  // 100
    {"Md", "mendelevium", 257, 257.094, 0.0, 2, 0, "[Rn] 5f13 7s2"},  // 101
    {"No", "nobelium", 255, 255.02, 0.0, 2, 0, "[Rn] 5f14 7s2"},  // 102
    {"Lr", "lawrencium", 256, 256.02, 0.0, 2, 0, "[Rn] 5f14 6d1 7s2"},  // 103
}};

// K, L and M emission lines (keV) of Z = 4..92. K is the Ka doublet (2:1 intensity-weighted
// mean of Ka1 and Ka2), L the La1 line, M the Ma1 line (Mg for In..La, which have no Ma in the
// source). Energies from the xraylib 4.0 line tables (T. Schoonjans et al., Spectrochimica
// Acta B 66 (2011) 776), which compile R. D. Deslattes et al., Rev. Mod. Phys. 75 (2003) 35
// and J. A. Bearden, Rev. Mod. Phys. 39 (1967) 78; Eu Ma1 from Bearden. Be, C, Fe, Rh, Sn, W
// and U keep the values the EDX analysis of this suite has always used (they differ from the
// sources in the last digit). A line is listed where an EDX spectrum usually shows it: K for
// Z 4..44, L for 21..92, M for 49..52, 56..60, 62..83 and 90..92.
struct TEDXLines {
  double K, L, M;
};
constexpr int32_t kFirstEDX = 4;
constexpr int32_t kLastEDX = 92;
constexpr std::array<TEDXLines, kLastEDX - kFirstEDX + 1> kEDXLines = {{
    {0.11, 0, 0}, {0.183, 0, 0}, {0.277, 0, 0}, {0.392, 0, 0},  // Z = 4..7
    {0.525, 0, 0}, {0.677, 0, 0}, {0.848, 0, 0}, {1.041, 0, 0},  // Z = 8..11
    {1.254, 0, 0}, {1.487, 0, 0}, {1.74, 0, 0}, {2.01, 0, 0},  // Z = 12..15
    {2.307, 0, 0}, {2.622, 0, 0}, {2.957, 0, 0}, {3.313, 0, 0},  // Z = 16..19
    {3.691, 0, 0}, {4.089, 0.396, 0}, {4.509, 0.452, 0}, {4.95, 0.511, 0},  // Z = 20..23
    {5.412, 0.572, 0}, {5.895, 0.637, 0}, {6.398, 0.705, 0}, {6.925, 0.776, 0},  // Z = 24..27
    {7.472, 0.851, 0}, {8.041, 0.929, 0}, {8.631, 1.012, 0}, {9.243, 1.098, 0},  // Z = 28..31
    {9.876, 1.188, 0}, {10.532, 1.282, 0}, {11.209, 1.379, 0}, {11.908, 1.481, 0},  // Z = 32..35
    {12.633, 1.581, 0}, {13.375, 1.694, 0}, {14.143, 1.806, 0}, {14.933, 1.923, 0},  // Z = 36..39
    {15.747, 2.042, 0}, {16.584, 2.166, 0}, {17.444, 2.293, 0}, {18.328, 2.424, 0},  // Z = 40..43
    {19.236, 2.558, 0}, {0, 2.696, 0}, {0, 2.839, 0}, {0, 2.984, 0},  // Z = 44..47
    {0, 3.134, 0}, {0, 3.287, 0.648}, {0, 3.443, 0.691}, {0, 3.605, 0.734},  // Z = 48..51
    {0, 3.769, 0.779}, {0, 3.938, 0}, {0, 4.106, 0}, {0, 4.286, 0},  // Z = 52..55
    {0, 4.466, 0.972}, {0, 4.651, 1.024}, {0, 4.84, 0.883}, {0, 5.033, 0.929},  // Z = 56..59
    {0, 5.23, 0.976}, {0, 5.432, 0}, {0, 5.636, 1.075}, {0, 5.846, 1.131},  // Z = 60..63
    {0, 6.058, 1.185}, {0, 6.273, 1.239}, {0, 6.495, 1.291}, {0, 6.72, 1.348},  // Z = 64..67
    {0, 6.949, 1.405}, {0, 7.18, 1.462}, {0, 7.416, 1.522}, {0, 7.656, 1.582},  // Z = 68..71
    {0, 7.899, 1.645}, {0, 8.146, 1.71}, {0, 8.396, 1.774}, {0, 8.652, 1.837},  // Z = 72..75
    {0, 8.911, 1.909}, {0, 9.175, 1.979}, {0, 9.443, 2.05}, {0, 9.713, 2.122},  // Z = 76..79
    {0, 9.989, 2.195}, {0, 10.268, 2.271}, {0, 10.551, 2.348}, {0, 10.839, 2.422},  // Z = 80..83
    {0, 11.13, 0}, {0, 11.426, 0}, {0, 11.726, 0}, {0, 12.031, 0},  // Z = 84..87
    {0, 12.339, 0}, {0, 12.651, 0}, {0, 12.968, 2.997}, {0, 13.291, 3.087},  // Z = 88..91
    {0, 13.612, 3.164},  // Z = 92..92
}};

// Fragments of chemical names; fragment i is coded as the byte 128 + i. Longer fragments
// come first, so that "phenyl" is taken before "phen" and "yl".
constexpr std::array<std::string_view, 128> kNameFragments = {
    "benzoyl", "deutero", "methoxy", "hydroxy", "bicyclo", "aldehyd", "phospho", "carboxy",
    "mercapt", "salicyl", "benzyl", "methyl", "propyl", "naphth", "ethoxy", "sulfid", "phenyl",
    "acetyl", "formyl", "anthra", "chinon", "pentyl", "heptyl", "saeure", "nitril", "nitrid",
    "phosph", "sulfon", "pyrrol", "phthal", "styrol", "erythr", "butyl", "ethyl", "indol",
    "nitro", "amino", "chlor", "ether", "fluor", "allyl", "tetra", "penta", "hepta", "furan",
    "hydro", "cyano", "hexyl", "octyl", "epoxy", "cyclo", "ester", "inden", "pyren", "lacto",
    "menth", "silic", "quino", "piper", "malon", "stear", "xanth", "xylol", "vinyl", "ortho",
    "ammon", "thren", "alpha", "gamma", "gluc", "brom", "imid", "mono", "hexa", "octa", "nona",
    "deca", "glyc", "thio", "carb", "oxim", "dien", "semi", "acid", "tolu", "tert", "anil",
    "para", "meta", "acet", "pyri", "oxid", "amid", "amin", "phen", "benz", "oxal", "keto",
    "prop", "tere", "prog", "terp", "quin", "meth", "imin", "fruc", "ilid", "hydr", "beta", "oxy",
    "per", "ose", "oyl", "iod", "lin", "sil", "tri", "iso", "oxo", "bis", "azo", "yl", "on", "en",
    "an", "ol", "di", "in",
};

constexpr int32_t kPerCols = 18;
constexpr int32_t kPerRows = 9;

// The periodic table as 9 rows of 18 cells, 0 for an empty cell.
constexpr std::array<uint8_t, kPerCols * kPerRows> MakePeriodicLayout() {
  std::array<uint8_t, kPerCols * kPerRows> Cells{};
  auto Put = [&Cells](int32_t Row, int32_t Col, int32_t FirstZ, int32_t LastZ) {
    for (int32_t Z = FirstZ; Z <= LastZ; ++Z) Cells[Row * kPerCols + Col + (Z - FirstZ)] = Z;
  };
  Put(0, 0, 1, 1);
  Put(0, 17, 2, 2);
  Put(1, 0, 3, 4);
  Put(1, 12, 5, 10);
  Put(2, 0, 11, 12);
  Put(2, 12, 13, 18);
  Put(3, 0, 19, 36);
  Put(4, 0, 37, 54);
  Put(5, 0, 55, 57);
  Put(5, 3, 72, 86);
  Put(6, 0, 87, 89);
  Put(7, 4, 58, 71);
  Put(8, 4, 90, 103);
  return Cells;
}
constexpr auto kPeriodicLayout = MakePeriodicLayout();

const TElement* Element(int32_t Z) {
  return Z >= 1 && Z <= kNumElements ? &kElements[static_cast<std::size_t>(Z - 1)] : nullptr;
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

} // namespace

std::string CElemSymb(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Symbol : "";
}

std::string CElemName(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Name : "";
}

int32_t AtomicNumber(std::string_view Symbol) {
  for (int32_t Z = 1; Z <= kNumElements; ++Z)
    if (Symbol == kElements[static_cast<std::size_t>(Z - 1)].Symbol) return Z;
  return 0;
}

int32_t IntAtWeight(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Nominal : 0;
}

double ExactAtWeight(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Exact : 0;
}

double ChemAtWeight(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Chemical : 0;
}

double VDWRadius(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->VdW * 0.01 : 0;
}

int32_t NumOuterElectrons(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Outer : 0;
}

std::string ShortElectronConfig(int32_t Z) {
  const TElement* E = Element(Z);
  return E ? E->Config : "";
}

std::string FullElectronConfig(int32_t Z) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 6> Cores = {{
      {"[He]", "1s2"},
      {"[Ne]", "1s2 2s2 2p6"},
      {"[Ar]", "1s2 2s2 2p6 3s2 3p6"},
      {"[Kr]", "1s2 2s2 2p6 3s2 3p6 3d10 4s2 4p6"},
      {"[Xe]", "1s2 2s2 2p6 3s2 3p6 3d10 4s2 4p6 4d10 5s2 5p6"},
      {"[Rn]", "1s2 2s2 2p6 3s2 3p6 3d10 4s2 4p6 4d10 5s2 5p6 4f14 5d10 6s2 6p6"},
  }};
  std::string Config = ShortElectronConfig(Z);
  for (const auto& [Core, Shells] : Cores)
    if (Config.starts_with(Core)) return std::string(Shells) + Config.substr(Core.size());
  return Config;
}

void PerSysCoord(int32_t Z, int32_t& Column, int32_t& Row) {
  Column = 0;
  Row = 0;
  if (!Element(Z)) return;
  const auto It = std::find(kPeriodicLayout.begin(), kPeriodicLayout.end(), Z);
  const auto Position = static_cast<int32_t>(It - kPeriodicLayout.begin());
  Column = Position % kPerCols;
  Row = Position / kPerCols;
}

int32_t GetEDXLines(int32_t Z, double& K, double& L, double& M) {
  K = L = M = 0;
  if (Z < kFirstEDX || Z > kLastEDX) return -1;
  const TEDXLines& Lines = kEDXLines[static_cast<std::size_t>(Z - kFirstEDX)];
  K = Lines.K;
  L = Lines.L;
  M = Lines.M;
  return (K > 0) + (L > 0) + (M > 0);
}

int32_t GetEDXLines(double Low, double High, TDoubleArray& Energies, TIntArray& AtNums) {
  Energies.clear();
  TIntArray Found;
  for (int32_t Z = kFirstEDX; Z <= kLastEDX; ++Z) {
    const TEDXLines& Lines = kEDXLines[static_cast<std::size_t>(Z - kFirstEDX)];
    for (double E : {Lines.K, Lines.L, Lines.M})
      if (Low <= E && E <= High) {
        Energies.push_back(E);
        Found.push_back(Z);
      }
  }
  std::vector<int32_t> Permutation;
  SortArray(true, std::span<double>(Energies), Permutation);
  AtNums.resize(Found.size());
  for (std::size_t I = 0; I < Found.size(); ++I)
    AtNums[I] = Found[static_cast<std::size_t>(Permutation[I] - 1)];
  return static_cast<int32_t>(Energies.size());
}

bool CheckCASNr(int64_t n) {
  if (n < 0) return false;
  int64_t Sum = 0;
  int64_t Weight = 1;
  for (int64_t Rest = n / 10; Rest > 0; Rest /= 10) Sum += (Rest % 10) * Weight++;
  return Sum % 10 == n % 10;
}

std::string FormatCASNr(int64_t n) {
  if (n < 0) return "";
  std::string Digits = std::to_string(n);
  if (Digits.size() < 4) Digits.insert(0, 4 - Digits.size(), '0');
  Digits.insert(Digits.size() - 1, "-");
  Digits.insert(Digits.size() - 4, "-");
  return Digits;
}

bool ConvertStrToCASNr(std::string_view Text, int32_t& n) {
  while (!Text.empty() && Text.front() == ' ') Text.remove_prefix(1);
  while (!Text.empty() && Text.back() == ' ') Text.remove_suffix(1);
  const std::size_t First = Text.find('-');
  const std::size_t Second = First == std::string_view::npos ? First : Text.find('-', First + 1);
  if (Second == std::string_view::npos || Second != First + 3 || Second + 2 != Text.size() ||
      Text.find('-', Second + 1) != std::string_view::npos)
    return false;
  int64_t Value = 0;
  for (std::size_t I = 0; I < Text.size(); ++I) {
    if (I == First || I == Second) continue;
    if (!IsDigit(Text[I])) return false;
    Value = Value * 10 + (Text[I] - '0');
    if (Value > INT32_MAX) return false;
  }
  n = static_cast<int32_t>(Value);
  return CheckCASNr(n);
}

std::string CompressChemName(std::string_view Name) {
  std::string Text(Name);
  for (char& C : Text) {
    if (C >= 'A' && C <= 'Z')
      C = static_cast<char>(C - 'A' + 'a');
    else if (static_cast<unsigned char>(C) >= 128)
      C = '?';
  }
  // Codes are bytes above 127 and fragments are ASCII, so a replacement never creates a new
  // occurrence of the fragment: one pass per fragment finds them all.
  for (std::size_t Code = 0; Code < kNameFragments.size(); ++Code) {
    const std::string_view Fragment = kNameFragments[Code];
    std::string Out;
    Out.reserve(Text.size());
    std::size_t From = 0;
    for (std::size_t At; (At = Text.find(Fragment, From)) != std::string::npos;) {
      Out.append(Text, From, At - From);
      Out.push_back(static_cast<char>(128 + Code));
      From = At + Fragment.size();
    }
    if (From == 0) continue;
    Out.append(Text, From);
    Text = std::move(Out);
  }
  return Text;
}

std::string DeCompressChemName(std::string_view Compressed) {
  std::string Name;
  Name.reserve(Compressed.size() * 3);
  for (char C : Compressed) {
    const auto Byte = static_cast<unsigned char>(C);
    if (Byte >= 128)
      Name.append(kNameFragments[Byte - 128]);
    else
      Name.push_back(C);
  }
  return Name;
}

} // namespace zef
