#pragma once
// The syntax of form files: a tokenizer and a parser that turn form text into a tree of
// objects, properties and values, each with the line it starts on. The tree knows nothing
// of classes or properties; FormReader gives it meaning.
//
//   object Form1: TForm1            header: optional name, class
//     Caption = 'Demo'#13#10'x'     property = value
//     object Button1: TButton       nested objects follow the properties
//     end
//   end
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "framework/core/Exceptions.h"

namespace FormText {

enum class TValueKind {
    Integer,     // 12, -11, $FF
    String,      // 'text'#13#10'more' + 'and more'
    Ident,       // clRed, True, Button1, FormCreate (may be dotted)
    Set,         // [fsBold, fsItalic]
    List,        // ( 'a' 'b' ): scalar elements
    Collection,  // < item ... end item ... end >
    Binary,      // { 0A0B0C }
};

struct TPropertyNode;

// One collection item: "item", its properties, "end".
struct TItemNode {
    int Line = 0;
    int EndLine = 0;  // the line of its "end"
    std::vector<TPropertyNode> Properties;
};

struct TValueNode {
    TValueKind Kind = TValueKind::Integer;
    int Line = 0;
    std::int64_t Integer = 0;         // Integer
    AnsiString Text;                  // String (UTF-8), Ident
    std::vector<AnsiString> Names;    // Set
    std::vector<TValueNode> Elements; // List
    std::vector<TItemNode> Items;     // Collection
    std::vector<std::uint8_t> Bytes;  // Binary
};

struct TPropertyNode {
    AnsiString Name;  // possibly dotted: "Font.Height"
    int Line = 0;
    int EndLine = 0;  // the line on which its value ends
    TValueNode Value;
};

struct TObjectNode {
    AnsiString Name;  // empty for "object TClass"
    AnsiString ClassName;
    int Line = 0;
    int EndLine = 0;  // the line of its "end"
    std::vector<TPropertyNode> Properties;
    std::vector<TObjectNode> Children;
};

struct TObjectHeader {
    AnsiString Name;
    AnsiString ClassName;
};

// Parses a whole form text (LF or CRLF line ends, an optional UTF-8 byte-order mark).
// Raises EReadError "<FileName>, line <n>: <problem>" for any syntax error.
TObjectNode ParseFormText(std::string_view Text, const AnsiString& FileName);

// Reads only the header of the top object; nothing when the text does not start with one.
std::optional<TObjectHeader> ParseFormHeader(std::string_view Text);

// Raises EReadError with the message "<FileName>, line <Line>: <Problem>" in the user's
// language; Problem is already translated.
[[noreturn]] void RaiseFormError(const AnsiString& FileName, int Line, const AnsiString& Problem);

// Human-readable name of a value kind ("a string", "an integer") for error messages, translated.
AnsiString DescribeKind(TValueKind Kind);

}  // namespace FormText
