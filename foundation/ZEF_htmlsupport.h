// HTML templates and web texts: THtmlProducer fills "<#name params>" tags of a template
// through an event; free functions count words outside tags, cut the path out of a URL,
// encode and decode URL texts, and convert between characters and HTML entities.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ZEF_zefbase.h"
#include "rtl/streams.h"

namespace zef {

// Replacement starts as the whole tag text ("<#" ... ">"); whatever it holds afterwards
// takes the tag's place.
using TOnHTMLTagEvent = std::function<void(TObject* Sender, const std::string& TagName,
                                           const std::string& Params, std::string& Replacement)>;

// Copies a template and hands each tag "<#" name [blank params] ">" to OnHTMLTag. The name
// is lower-cased (A to Z), the parameters are trimmed of blanks; a tag without ">" runs to
// the end of the template.
class THtmlProducer : public TComponent {
public:
  explicit THtmlProducer(TComponent* AOwner);
  ~THtmlProducer() override;

  const std::string& Template() const { return FTemplate; }
  void SetTemplate(const std::string& Value) { FTemplate = Value; }
  // The result of the last Convert.
  const std::string& ConvertedHTML() const { return FConverted; }

  // Fills the template, stores the result in ConvertedHTML and returns it.
  std::string Convert();
  // A string stream holding ConvertedHTML at position 0, owned by the producer and replaced
  // on each call.
  TStream& ConvertedHTMLAsStream();
  // The lines of a text file (Latin-1), each followed by CR LF.
  void ReadTemplateFromFile(const std::string& FName);
  // The whole stream, read as UTF-16 from position 0.
  void ReadTemplateFromStream(TStream& InStream);
  // Creates or overwrites the file with ConvertedHTML (Latin-1, no line end added).
  void WriteConvertedHTMLToFile(const std::string& FName) const;

  TOnHTMLTagEvent OnHTMLTag;

private:
  std::string FTemplate;
  std::string FConverted;
  std::unique_ptr<TStringStream> FStream;
};

// Words outside tags: runs of at least two non-separators (WordSeps) followed by a
// separator; with IgnoreNumbers runs starting with a digit do not count. A "<" sets InTag
// and everything up to the next ">" is skipped (the ">" separates), also across calls.
int32_t CountWordsHTML(std::string_view Instring, bool IgnoreNumbers, bool& InTag);
// The URL without its "http://" part (case ignored) and without what follows its last "/";
// empty when it holds no "/".
std::string ExtractHTTPPath(std::string_view URL);
// ! * ( ) ; : @ & = + $ , / ? % # [ ] and the blank as "%" and two upper-case hexadecimal
// digits; every other character unchanged.
std::string URLEncode(std::string_view Instring);
// "%" and two hexadecimal digits become the character of that code, applied twice (so
// "%2541" gives "A"). Escaped bytes that form UTF-8 give that character, others the
// Latin-1 character of their code.
std::string URLDecode(std::string_view Instring);

// The entity of a character: HTMLLat1Entities for 160..255, "&lt;", "&gt;", "&amp;" and
// "&quot;"; any other character as itself.
std::string AnsiToHTMLEntity(char32_t C);
// The character of an entity ("&name;", "&#123;" or "&#x7B;"); 0 for an unknown one.
char32_t HTMLEntityToAnsi(std::string_view Entity);
// Every known entity replaced by its character; unknown ones stay.
std::string ResolveHTMLEntities(std::string_view S);
// Every character that has an entity replaced by it.
std::string MakeStringHTMLCompatible(std::string_view S);
// The start of a page up to and including "<body>" (when OpenBody) with the title and the
// author, description and keywords as meta elements (left out when empty).
std::string DefaultHTMLHead(std::string_view Title, std::string_view Author,
                            std::string_view Description, std::string_view Keywords, bool OpenBody);
// "</body>" (when CloseBody) and "</html>", each on its own line.
std::string DefaultHTMLFoot(bool CloseBody);
// The text between "<body ...>" and "</body>" (case ignored); the whole text when the page
// has no body element.
std::string ExtractHTMLBody(std::string_view HTML);
// The body as plain text: tags removed, entities resolved, runs of white space reduced to
// one blank. br, p, div, li, tr and h1..h6 elements separate: with LineBreaks they start new
// lines (CR LF), otherwise they stand for a blank.
std::string ConvertHTMLBodyToText(std::string_view HTML, bool LineBreaks);

} // namespace zef
