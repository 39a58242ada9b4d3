// Reference data of the chemical elements 1 to 103 (symbols, names, atomic weights, van der
// Waals radii, outer electrons, electron configurations, places in the periodic table, X-ray
// emission lines for energy-dispersive analysis), CAS registry numbers and a dictionary
// compression of chemical names.
//
// Z is the atomic number. Every function is a pure look-up: arguments outside the table give
// the empty or zero result its comment names, never an error.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"

namespace zef {

// ---- Elements ----------------------------------------------------------------------------

// The symbol as written in the table ("Fe"); empty outside 1..103.
std::string CElemSymb(int32_t Z);
// The English name in lower case, spelled as the table has it ("flourine", "litium"); empty
// outside 1..103.
std::string CElemName(int32_t Z);
// The Z whose symbol equals Symbol exactly (case-sensitive: "FE" is not iron); 0 when none.
int32_t AtomicNumber(std::string_view Symbol);

// The mass number of the most abundant isotope; 0 outside 1..103.
int32_t IntAtWeight(int32_t Z);
// The exact mass of that isotope, in daltons; 0 outside 1..103.
double ExactAtWeight(int32_t Z);
// The average atomic weight; 0 for elements without one and outside 1..103.
double ChemAtWeight(int32_t Z);
// The van der Waals radius in angstrom, known for some elements up to iodine (Z 53); 0 where
// none is known and outside 1..53.
double VDWRadius(int32_t Z);
// The number of outer-shell electrons; 0 outside 1..103.
int32_t NumOuterElectrons(int32_t Z);
// The electron configuration with a noble-gas core in brackets ("[Ar] 3d6 4s2"); empty
// outside 1..103.
std::string ShortElectronConfig(int32_t Z);
// The configuration with the core written out ("1s2 2s2 2p6 3s2 3p6 3d6 4s2").
std::string FullElectronConfig(int32_t Z);
// The cell of Z in a periodic table of 18 columns and 9 rows, both from 0, with the
// lanthanides (58..71) in row 7 and the actinides (90..103) in row 8, columns 4..17; 0 and 0
// outside 1..103.
void PerSysCoord(int32_t Z, int32_t& Column, int32_t& Row);

// ---- X-ray emission lines (keV) -----------------------------------------------------------

// The K, L and M line energies of Z (0 where the element has no such line in the table) and
// how many of them are above 0; -1, with all three 0, outside 4..92.
int32_t GetEDXLines(int32_t Z, double& K, double& L, double& M);
// Every line of the elements 4..92 with Low <= energy <= High (lines of energy 0 included
// when the window holds 0), sorted by ascending energy, with the atomic number of each line
// at the same index of AtNums. The result is the number of lines (the length of both arrays).
int32_t GetEDXLines(double Low, double High, TDoubleArray& Energies, TIntArray& AtNums);

// ---- CAS registry numbers ------------------------------------------------------------------

// Whether the last digit of n (the number without dashes) is the check digit of the others:
// the digits of n div 10, weighted 1, 2, 3, ... from the right, sum to n mod 10 modulo 10.
// Negative numbers are never correct.
bool CheckCASNr(int64_t n);
// n with dashes before the last three digits and before the last digit, left-padded with
// zeros to four digits: 7732185 gives "7732-18-5", 5 gives "0-00-5"; empty for negative n.
std::string FormatCASNr(int64_t n);
// Reads "7732-18-5" (blanks around it allowed) into n: exactly two dashes, the second three
// places after the first and just before the last character, decimal digits otherwise, a
// value within 32 bits and a correct check digit. False otherwise (n is then meaningless).
bool ConvertStrToCASNr(std::string_view Text, int32_t& n);

// ---- Name compression -----------------------------------------------------------------------

// The lower-cased name with each of 128 common fragments ("methyl", "phen", "ol", ...)
// replaced by one byte 128..255. The compressed form can carry ASCII only, because those
// bytes are the dictionary: any other character of Name becomes "?".
std::string CompressChemName(std::string_view Name);
// Replaces every byte 128..255 by its fragment; other characters stay.
std::string DeCompressChemName(std::string_view Compressed);

} // namespace zef
