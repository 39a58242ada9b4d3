#!/usr/bin/python3
"""Writes data/molecules/reference_molecules.txt, the reference molecules of the connection
table tests: for each molecule its atoms and bonds, and the element counts, average molecular
weight and monoisotopic mass as RDKit computes them. Only for making the fixture; nothing in
the build or the tests runs it.

Run with Debian's RDKit (package python3-rdkit):  /usr/bin/python3 scripts/gen_molecule_fixtures.py

Atoms are written without hydrogens (the tests count the implicit ones) unless a molecule asks
for explicit hydrogens. Aromatic bonds are written as type 4, except in molecules with an
uncharged aromatic atom other than carbon that carries a hydrogen (pyrrole-type NH), which are
written in a Kekule form: a drawing with aromatic bonds does not say which ring atom holds the
hydrogen.
"""
import collections
import os

import rdkit
from rdkit import Chem
from rdkit.Chem import Descriptors

# (name, SMILES, explicit hydrogens)
MOLECULES = [
    ("water", "O", False),
    ("methane", "C", False),
    ("ammonia", "N", False),
    ("hydrogen sulfide", "S", False),
    ("hydrogen", "[H][H]", True),
    ("ethanol", "CCO", False),
    ("ethanol, explicit hydrogens", "CCO", True),
    ("formaldehyde", "C=O", False),
    ("acetic acid", "CC(=O)O", False),
    ("acetone", "CC(C)=O", False),
    ("acetonitrile", "CC#N", False),
    ("hydrogen cyanide", "C#N", False),
    ("methyl isocyanide", "C[N+]#[C-]", False),
    ("sodium cyanide", "[Na+].[C-]#N", False),
    ("urea", "NC(N)=O", False),
    ("glycine", "NCC(=O)O", False),
    ("alanine", "C[C@H](N)C(=O)O", False),
    ("chloroform", "ClC(Cl)Cl", False),
    ("dichloromethane", "ClCCl", False),
    ("iodomethane", "CI", False),
    ("trifluoroacetic acid", "OC(=O)C(F)(F)F", False),
    ("dimethyl sulfoxide", "CS(C)=O", False),
    ("sulfuric acid", "OS(=O)(=O)O", False),
    ("phosphoric acid", "OP(=O)(O)O", False),
    ("dimethyl phosphite", "COP(=O)OC", False),
    ("boric acid", "OB(O)O", False),
    ("tetramethylsilane", "C[Si](C)(C)C", False),
    ("germane", "[GeH4]", False),
    ("benzene", "c1ccccc1", False),
    ("toluene", "Cc1ccccc1", False),
    ("phenol", "Oc1ccccc1", False),
    ("aniline", "Nc1ccccc1", False),
    ("bromobenzene", "Brc1ccccc1", False),
    ("hexafluorobenzene", "Fc1c(F)c(F)c(F)c(F)c1F", False),
    ("nitrobenzene", "[O-][N+](=O)c1ccccc1", False),
    ("benzoic acid", "OC(=O)c1ccccc1", False),
    ("pyridine", "c1ccncc1", False),
    ("thiophene", "c1ccsc1", False),
    ("furan", "c1ccoc1", False),
    ("pyrrole", "c1cc[nH]c1", False),
    ("naphthalene", "c1ccc2ccccc2c1", False),
    ("triphenylphosphine", "c1ccc(cc1)P(c1ccccc1)c1ccccc1", False),
    ("aspirin", "CC(=O)Oc1ccccc1C(=O)O", False),
    ("paracetamol", "CC(=O)Nc1ccc(O)cc1", False),
    ("ibuprofen", "CC(C)Cc1ccc(cc1)C(C)C(=O)O", False),
    ("caffeine", "Cn1cnc2c1c(=O)n(C)c(=O)n2C", False),
    ("nicotine", "CN1CCC[C@H]1c1cccnc1", False),
    ("tryptophan", "N[C@@H](Cc1c[nH]c2ccccc12)C(=O)O", False),
    ("histidine", "N[C@@H](Cc1c[nH]cn1)C(=O)O", False),
    ("ascorbic acid", "OC[C@H](O)[C@H]1OC(=O)C(O)=C1O", False),
    ("glucose", "OC[C@H]1OC(O)[C@H](O)[C@@H](O)[C@@H]1O", False),
    ("sucrose", "OC[C@H]1O[C@@](CO)(O[C@H]2O[C@H](CO)[C@@H](O)[C@H](O)[C@H]2O)[C@@H](O)[C@@H]1O", False),
    ("cholesterol", "CC(C)CCC[C@@H](C)[C@H]1CC[C@H]2[C@@H]3CC=C4C[C@@H](O)CC[C@]4(C)[C@H]3CC[C@]12C", False),
    ("morphine", "CN1CC[C@]23c4c5ccc(O)c4O[C@H]2[C@@H](O)C=C[C@H]3[C@H]1C5", False),
    ("erythromycin", "CC[C@H]1OC(=O)[C@H](C)[C@@H](O[C@H]2C[C@@](C)(OC)[C@@H](O)[C@H](C)O2)[C@H](C)[C@@H](O[C@@H]2O[C@H](C)C[C@H](N(C)C)[C@H]2O)[C@](C)(O)C[C@@H](C)C(=O)[C@H](C)[C@@H](O)[C@]1(C)O", False),
    ("sodium acetate", "CC(=O)[O-].[Na+]", False),
    ("sodium borohydride", "[Na+].[BH4-]", False),
    ("pyridinium chloride", "c1cc[nH+]cc1.[Cl-]", False),
    ("tetramethylammonium chloride", "C[N+](C)(C)C.[Cl-]", False),
    ("trimethylammonium chloride", "C[NH+](C)C.[Cl-]", False),
    ("methyl cation", "[CH3+]", False),
    ("trityl cation", "c1ccc(cc1)[C+](c1ccccc1)c1ccccc1", False),
]

# The suite's formula order: these elements first, the others as they first occur.
FORMULA_ORDER = ["C", "H", "N", "O", "S", "P", "F", "Cl", "Br", "I"]


def bond_type(bond):
    if bond.GetIsAromatic():
        return 4
    return {Chem.BondType.SINGLE: 1, Chem.BondType.DOUBLE: 2, Chem.BondType.TRIPLE: 3}[bond.GetBondType()]


def prepare(smiles, explicit_h):
    mol = Chem.MolFromSmiles(smiles)
    if explicit_h:
        mol = Chem.AddHs(mol)
    if any(a.GetIsAromatic() and a.GetSymbol() != "C" and a.GetFormalCharge() == 0 and a.GetTotalNumHs() > 0
           for a in mol.GetAtoms()):
        Chem.Kekulize(mol, clearAromaticFlags=True)
    return mol


def formula(mol):
    counts = collections.Counter()
    first_seen = []
    hydrogens = 0
    for atom in mol.GetAtoms():
        hydrogens += atom.GetTotalNumHs()
        if atom.GetSymbol() == "H":
            hydrogens += 1
            continue
        counts[atom.GetSymbol()] += 1
        if atom.GetSymbol() not in first_seen:
            first_seen.append(atom.GetSymbol())
    if hydrogens:
        counts["H"] = hydrogens
    order = [e for e in FORMULA_ORDER if e in counts] + [e for e in first_seen if e not in FORMULA_ORDER]
    return counts, " ".join("%s%d" % (e, counts[e]) for e in order)


def main():
    table = Chem.GetPeriodicTable()
    lines = ["# Reference molecules for the connection-table tests, written by",
             "# scripts/gen_molecule_fixtures.py with RDKit %s. Do not edit by hand." % rdkit.__version__,
             "# Atoms: atomic number and formal charge; bonds: atom, atom, type (4 aromatic).",
             "# weight: RDKit's average molecular weight; exact: the sum of the most common",
             "# isotopes' masses; element lines: the atomic weights and isotope masses RDKit used."]
    elements = set()
    body = []
    for name, smiles, explicit_h in MOLECULES:
        mol = prepare(smiles, explicit_h)
        counts, text = formula(mol)
        elements.update(counts)
        exact = sum(n * table.GetMostCommonIsotopeMass(e) for e, n in counts.items())
        body.append("molecule %s" % name)
        body.append("smiles %s" % smiles)
        body.append("formula %s" % text)
        body.append("weight %.6f" % Descriptors.MolWt(mol))
        body.append("exact %.6f" % exact)
        body.append("atoms %d" % mol.GetNumAtoms())
        body.extend("%d %d" % (a.GetAtomicNum(), a.GetFormalCharge()) for a in mol.GetAtoms())
        body.append("bonds %d" % mol.GetNumBonds())
        body.extend("%d %d %d" % (b.GetBeginAtomIdx() + 1, b.GetEndAtomIdx() + 1, bond_type(b))
                    for b in mol.GetBonds())
        body.append("end")
    for e in sorted(elements, key=table.GetAtomicNumber):
        lines.append("element %s %.6f %.6f" % (e, table.GetAtomicWeight(e), table.GetMostCommonIsotopeMass(e)))
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "molecules",
                        "reference_molecules.txt")
    with open(path, "w") as out:
        out.write("\n".join(lines + body) + "\n")
    print("%d molecules written to %s" % (len(MOLECULES), os.path.normpath(path)))


if __name__ == "__main__":
    main()
