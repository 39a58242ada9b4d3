// libFuzzer target for the HTML template filler and the web text functions. Without a
// handler a template converts to itself; with one, names and parameters hold no ">".
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ZEF_htmlsupport.h"

using namespace zef;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  const std::string In(reinterpret_cast<const char*>(Data), Size);
  THtmlProducer P(nullptr);
  P.SetTemplate(In);
  if (P.Convert() != In) std::abort();
  int Tags = 0;
  P.OnHTMLTag = [&](TObject*, const std::string& Name, const std::string& Params,
                    std::string& Rep) {
    if (Name.find_first_of("> ") != std::string::npos || Params.find('>') != std::string::npos)
      std::abort();
    ++Tags;
    Rep = "[" + Name + "]";
  };
  const std::string Out = P.Convert();
  if (Tags == 0 && Out != In) std::abort();
  TStream& S = P.ConvertedHTMLAsStream();
  if (S.Size() != static_cast<int64_t>(Out.size())) std::abort();
  bool InTag = Size > 0 && Data[0] % 2 == 1;
  if (CountWordsHTML(In, true, InTag) < 0) std::abort();
  (void)URLDecode(In);
  if (URLDecode(URLEncode(In)) != URLDecode(In) && In.find('%') == std::string::npos) std::abort();
  (void)ExtractHTTPPath(In);
  (void)ResolveHTMLEntities(In);
  (void)ConvertHTMLBodyToText(In, true);
  return 0;
}
