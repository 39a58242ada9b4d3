// libFuzzer target for the text label reader: the input is a text file read with
// ReadFromOpenXMLFile, block after block, once with no id and once with the id "lbl1". A read
// that fails must leave the label unchanged; a label that was read must write and read back
// to the same text.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "zefbase_xml.h"

using namespace zef;

namespace {

std::string TempName(const char* Tag) {
  return "/tmp/zef_fuzz_" + std::string(Tag) + "_" + std::to_string(getpid());
}

std::string WriteLabel(const TCustomTextLabel& L, const std::string& Name) {
  TTextFile F;
  AssignFile(F, Name);
  Rewrite(F);
  L.WriteToOpenXMLFile(F, false, "x", 0);
  CloseFile(F);
  std::ifstream In(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(In), {});
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string Name = TempName("label");
  std::ofstream(Name, std::ios::binary).write(reinterpret_cast<const char*>(Data),
                                              static_cast<std::streamsize>(Size));
  for (const char* Id : {"", "lbl1"}) {
    TTextFile F;
    AssignFile(F, Name);
    Reset(F);
    for (int Block = 0; Block < 64; ++Block) {
      TCustomTextLabel L;
      const std::string Before = WriteLabel(L, Name + ".w");
      if (!L.ReadFromOpenXMLFile(F, Id)) {
        if (WriteLabel(L, Name + ".w") != Before) std::abort();
        break;
      }
      // What was read survives a second round exactly once the values are in file form.
      const std::string Once = WriteLabel(L, Name + ".w");
      TTextFile G;
      AssignFile(G, Name + ".w");
      Reset(G);
      TCustomTextLabel M;
      const bool Again = M.ReadFromOpenXMLFile(G, "x");
      CloseFile(G);
      // Texts are written without escapes, so quotes, tag brackets and Ctrl-Z in them cannot
      // come back.
      auto Plain = [](const std::string& T) { return T.find_first_of("<>\"\x1a") == std::string::npos; };
      if (Again && Plain(L.Caption()) && Plain(L.Font().Name()) &&
          WriteLabel(M, Name + ".w2") != Once)
        std::abort();
    }
    CloseFile(F);
  }
  std::remove(Name.c_str());
  std::remove((Name + ".w").c_str());
  std::remove((Name + ".w2").c_str());
  return 0;
}
