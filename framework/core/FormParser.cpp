#include "framework/core/FormParser.h"

#include <utility>

#include "framework/core/TextUtils.h"
#include "framework/core/Translation.h"

namespace FormText {

namespace {

// Nesting of objects, collections and items deeper than this is refused instead of
// exhausting the stack on a malicious or corrupted file.
constexpr int MaxNesting = 200;

enum class TTokenKind { Ident, Integer, String, Binary, Symbol, EndOfText };

struct TToken {
    TTokenKind Kind = TTokenKind::EndOfText;
    int Line = 1;
    int EndLine = 1;  // differs from Line for binary data over several lines
    char Symbol = 0;
    std::int64_t Integer = 0;
    AnsiString Text;                  // Ident, String
    std::vector<std::uint8_t> Bytes;  // Binary
};

bool IsIdentStart(char C)
{
    return (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || C == '_';
}

bool IsIdentChar(char C)
{
    return IsIdentStart(C) || (C >= '0' && C <= '9');
}

bool IsDigit(char C)
{
    return C >= '0' && C <= '9';
}

int HexValue(char C)
{
    if (C >= '0' && C <= '9') return C - '0';
    if (C >= 'a' && C <= 'f') return C - 'a' + 10;
    if (C >= 'A' && C <= 'F') return C - 'A' + 10;
    return -1;
}

AnsiString DescribeChar(char C)
{
    auto U = static_cast<unsigned char>(C);
    if (U > ' ' && U < 0x7F) return AnsiString("'") + C + "'";
    return FormatText(TranslateText("FormParser", "character #%1"), {IntToStr(U)});
}

class TLexer {
public:
    TLexer(std::string_view Text, AnsiString FileName) : FText(Text), FFileName(std::move(FileName))
    {
        if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = 3;
    }

    // Tokens are scanned on demand, so that reading a header never looks past it.
    const TToken& Peek()
    {
        if (!FHaveCurrent) {
            FCurrent = Scan();
            FHaveCurrent = true;
        }
        return FCurrent;
    }
    TToken Next()
    {
        Peek();
        FHaveCurrent = false;
        FLastEndLine = FCurrent.EndLine;
        return std::move(FCurrent);
    }
    // The line on which the token last taken by Next ends.
    int LastEndLine() const { return FLastEndLine; }

    [[noreturn]] void Fail(int Line, const AnsiString& Problem) const { RaiseFormError(FFileName, Line, Problem); }

private:
    bool AtEnd() const { return FPos >= FText.size(); }
    char Cur() const { return FText[FPos]; }

    void SkipBlanks()
    {
        while (!AtEnd()) {
            char C = Cur();
            if (C == '\n') ++FLine;
            else if (C != ' ' && C != '\t' && C != '\r') return;
            ++FPos;
        }
    }

    TToken Scan()
    {
        SkipBlanks();
        TToken T;
        T.Line = FLine;
        if (AtEnd()) return T;
        char C = Cur();
        if (IsIdentStart(C)) ScanIdent(T);
        else if (IsDigit(C) || C == '$' || C == '-') ScanInteger(T);
        else if (C == '\'' || C == '#') ScanString(T);
        else if (C == '{') ScanBinary(T);
        else if (AnsiString("=:[](),<>+").find(C) != AnsiString::npos) {
            T.Kind = TTokenKind::Symbol;
            T.Symbol = C;
            ++FPos;
        } else {
            Fail(FLine, FormatText(TranslateText("FormParser", "unexpected %1"), {DescribeChar(C)}));
        }
        T.EndLine = FLine;
        return T;
    }

    void ScanIdent(TToken& T)
    {
        // Dotted names ("Font.Height", "Items.Strings") are one token.
        std::size_t Start = FPos;
        for (;;) {
            while (!AtEnd() && IsIdentChar(Cur())) ++FPos;
            if (FPos + 1 < FText.size() && Cur() == '.' && IsIdentStart(FText[FPos + 1])) {
                ++FPos;
                continue;
            }
            break;
        }
        T.Kind = TTokenKind::Ident;
        T.Text = AnsiString(FText.substr(Start, FPos - Start));
    }

    void ScanInteger(TToken& T)
    {
        std::size_t Start = FPos;
        if (Cur() == '-') ++FPos;
        if (!AtEnd() && Cur() == '$') {
            ++FPos;
            while (!AtEnd() && HexValue(Cur()) >= 0) ++FPos;
        } else {
            while (!AtEnd() && IsDigit(Cur())) ++FPos;
        }
        std::string_view Literal = FText.substr(Start, FPos - Start);
        if (!AtEnd() && (IsIdentChar(Cur()) || Cur() == '.'))
            Fail(FLine, FormatText(TranslateText("FormParser", "invalid number %1"), {AnsiString(Literal) + Cur()}));
        if (!TryStrToInt64(Literal, T.Integer))
            Fail(FLine, FormatText(TranslateText("FormParser", "invalid number %1"), {Literal}));
        T.Kind = TTokenKind::Integer;
    }

    // Quoted parts and #nnn character codes written without blanks between them form one
    // string: 'Line 1'#13#10'Line 2'.
    void ScanString(TToken& T)
    {
        T.Kind = TTokenKind::String;
        while (!AtEnd() && (Cur() == '\'' || Cur() == '#')) {
            if (Cur() == '\'') ScanQuoted(T.Text);
            else ScanCharCode(T.Text);
        }
        // A string holds characters only, as a value that arrives in a variant does: bytes
        // that are not UTF-8 become U+FFFD.
        T.Text = ToValidUtf8(T.Text);
    }

    void ScanQuoted(AnsiString& Out)
    {
        int StartLine = FLine;
        ++FPos;
        for (;;) {
            if (AtEnd() || Cur() == '\n' || Cur() == '\r')
                Fail(StartLine, TranslateText("FormParser", "unterminated string"));
            char C = Cur();
            ++FPos;
            if (C != '\'') {
                Out += C;
                continue;
            }
            if (!AtEnd() && Cur() == '\'') {
                Out += '\'';
                ++FPos;
                continue;
            }
            return;
        }
    }

    // #nnn or #$hex. Codes of UTF-16 surrogates combine when a high one is followed at once
    // by a low one (#55357#56832 is U+1F600); an unpaired one becomes U+FFFD.
    void ScanCharCode(AnsiString& Out)
    {
        std::uint32_t Code = ReadCharCode();
        if (Code >= 0xD800 && Code <= 0xDBFF && !AtEnd() && Cur() == '#') {
            const std::size_t Next = FPos;
            const std::uint32_t Low = ReadCharCode();
            if (Low >= 0xDC00 && Low <= 0xDFFF) {
                AppendUtf8(Out, 0x10000 + ((Code - 0xD800) << 10) + (Low - 0xDC00));
                return;
            }
            FPos = Next;  // not a pair: the next code is read on its own
        }
        if (Code >= 0xD800 && Code <= 0xDFFF) Code = ReplacementCharacter;
        AppendUtf8(Out, Code);
    }

    std::uint32_t ReadCharCode()
    {
        ++FPos;
        std::uint32_t Code = 0;
        std::size_t Digits = 0;
        bool Hex = !AtEnd() && Cur() == '$';
        if (Hex) ++FPos;
        for (; !AtEnd(); ++FPos, ++Digits) {
            int D = Hex ? HexValue(Cur()) : (IsDigit(Cur()) ? Cur() - '0' : -1);
            if (D < 0) break;
            Code = Code * (Hex ? 16 : 10) + static_cast<std::uint32_t>(D);
            if (Code > 0x10FFFF) Fail(FLine, TranslateText("FormParser", "character code out of range"));
        }
        if (Digits == 0)
            Fail(FLine, TranslateText("FormParser", "invalid character code: '#' must be followed by a number"));
        return Code;
    }

    void ScanBinary(TToken& T)
    {
        int StartLine = FLine;
        ++FPos;
        T.Kind = TTokenKind::Binary;
        int High = -1;
        for (;;) {
            if (AtEnd()) Fail(StartLine, TranslateText("FormParser", "unterminated binary data (missing '}')"));
            char C = Cur();
            ++FPos;
            if (C == '}') break;
            if (C == '\n') ++FLine;
            if (C == ' ' || C == '\t' || C == '\r' || C == '\n') continue;
            int V = HexValue(C);
            if (V < 0)
                Fail(FLine, FormatText(TranslateText("FormParser", "invalid %1 in binary data"), {DescribeChar(C)}));
            if (High < 0) {
                High = V;
            } else {
                T.Bytes.push_back(static_cast<std::uint8_t>(High * 16 + V));
                High = -1;
            }
        }
        if (High >= 0) Fail(FLine, TranslateText("FormParser", "binary data has an odd number of hex digits"));
    }

    std::string_view FText;
    AnsiString FFileName;
    std::size_t FPos = 0;
    int FLine = 1;
    int FLastEndLine = 1;
    TToken FCurrent;
    bool FHaveCurrent = false;
};

AnsiString DescribeToken(const TToken& T)
{
    switch (T.Kind) {
    case TTokenKind::Ident: return "'" + T.Text + "'";
    case TTokenKind::Integer: return FormatText(TranslateText("FormParser", "number %1"), {IntToStr(T.Integer)});
    case TTokenKind::String: return TranslateText("FormParser", "a string");
    case TTokenKind::Binary: return TranslateText("FormParser", "binary data");
    case TTokenKind::Symbol: return AnsiString("'") + T.Symbol + "'";
    case TTokenKind::EndOfText: return TranslateText("FormParser", "the end of the file");
    }
    return "?";
}

bool IsKeyword(const TToken& T, std::string_view Word)
{
    return T.Kind == TTokenKind::Ident && SameText(T.Text, Word);
}

bool IsSymbol(const TToken& T, char C)
{
    return T.Kind == TTokenKind::Symbol && T.Symbol == C;
}

class TParser {
public:
    TParser(std::string_view Text, const AnsiString& FileName) : FLex(Text, FileName) {}

    TObjectNode ParseFile()
    {
        TObjectNode Top = ParseObject(0);
        const TToken& T = FLex.Peek();
        if (T.Kind != TTokenKind::EndOfText)
            FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "unexpected %1 after the end of the top object"),
                                         {DescribeToken(T)}));
        return Top;
    }

    TObjectHeader ParseHeader(int& Line)
    {
        TToken T = FLex.Next();
        if (!IsKeyword(T, "object"))
            FLex.Fail(T.Line,
                      FormatText(TranslateText("FormParser", "expected 'object' but found %1"), {DescribeToken(T)}));
        Line = T.Line;
        TObjectHeader H;
        AnsiString First = ExpectIdent(TranslateText("FormParser", "a component name or class name"));
        if (IsSymbol(FLex.Peek(), ':')) {
            FLex.Next();
            H.Name = std::move(First);
            H.ClassName = ExpectIdent(TranslateText("FormParser", "a class name"));
        } else {
            H.ClassName = std::move(First);
        }
        return H;
    }

private:
    void CheckDepth(int Depth, int Line) const
    {
        if (Depth > MaxNesting) FLex.Fail(Line, TranslateText("FormParser", "form nested too deeply"));
    }

    // What is already translated.
    AnsiString ExpectIdent(const AnsiString& What)
    {
        TToken T = FLex.Next();
        if (T.Kind != TTokenKind::Ident)
            FLex.Fail(T.Line,
                      FormatText(TranslateText("FormParser", "expected %1 but found %2"), {What, DescribeToken(T)}));
        return std::move(T.Text);
    }

    void ExpectSymbol(char C)
    {
        TToken T = FLex.Next();
        if (!IsSymbol(T, C))
            FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "expected '%1' but found %2"),
                                         {AnsiString(1, C), DescribeToken(T)}));
    }

    TObjectNode ParseObject(int Depth)
    {
        TObjectNode Node;
        TObjectHeader H = ParseHeader(Node.Line);
        CheckDepth(Depth, Node.Line);
        Node.Name = std::move(H.Name);
        Node.ClassName = std::move(H.ClassName);
        for (;;) {
            const TToken& T = FLex.Peek();
            if (T.Kind == TTokenKind::EndOfText) {
                AnsiString What = Node.Name.empty() ? Node.ClassName : Node.Name + ": " + Node.ClassName;
                FLex.Fail(
                    Node.Line,
                    FormatText(TranslateText("FormParser", "object %1 is not terminated (missing 'end')"), {What}));
            }
            if (IsKeyword(T, "end")) {
                Node.EndLine = FLex.Next().Line;
                return Node;
            }
            if (IsKeyword(T, "object")) {
                Node.Children.push_back(ParseObject(Depth + 1));
                continue;
            }
            if (T.Kind != TTokenKind::Ident)
                FLex.Fail(T.Line,
                          FormatText(TranslateText("FormParser", "expected a property, 'object' or 'end' but found %1"),
                                     {DescribeToken(T)}));
            if (!Node.Children.empty())
                FLex.Fail(T.Line,
                          FormatText(
                              TranslateText("FormParser", "property %1 follows a nested object; properties come first"),
                              {T.Text}));
            Node.Properties.push_back(ParseProperty(Depth));
        }
    }

    TPropertyNode ParseProperty(int Depth)
    {
        TPropertyNode P;
        P.Line = FLex.Peek().Line;
        P.Name = ExpectIdent(TranslateText("FormParser", "a property name"));
        ExpectSymbol('=');
        P.Value = ParseValue(Depth);
        P.EndLine = FLex.LastEndLine();
        return P;
    }

    TValueNode ParseValue(int Depth)
    {
        TToken T = FLex.Next();
        TValueNode V;
        V.Line = T.Line;
        switch (T.Kind) {
        case TTokenKind::Integer:
            V.Kind = TValueKind::Integer;
            V.Integer = T.Integer;
            return V;
        case TTokenKind::String:
            V.Kind = TValueKind::String;
            V.Text = std::move(T.Text);
            ContinueString(V.Text);
            return V;
        case TTokenKind::Ident:
            V.Kind = TValueKind::Ident;
            V.Text = std::move(T.Text);
            return V;
        case TTokenKind::Binary:
            V.Kind = TValueKind::Binary;
            V.Bytes = std::move(T.Bytes);
            return V;
        case TTokenKind::Symbol:
            if (T.Symbol == '[') return ParseSet(V);
            if (T.Symbol == '(') return ParseList(V);
            if (T.Symbol == '<') return ParseCollection(V, Depth + 1);
            break;
        case TTokenKind::EndOfText: break;
        }
        FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "expected a value but found %1"), {DescribeToken(T)}));
    }

    // "'a' + 'b'" (the + may end a line).
    void ContinueString(AnsiString& Text)
    {
        while (IsSymbol(FLex.Peek(), '+')) {
            FLex.Next();
            TToken Part = FLex.Next();
            if (Part.Kind != TTokenKind::String)
                FLex.Fail(Part.Line, FormatText(TranslateText("FormParser", "expected a string after '+' but found %1"),
                                                {DescribeToken(Part)}));
            Text += Part.Text;
        }
    }

    TValueNode& ParseSet(TValueNode& V)
    {
        V.Kind = TValueKind::Set;
        if (IsSymbol(FLex.Peek(), ']')) {
            FLex.Next();
            return V;
        }
        for (;;) {
            V.Names.push_back(ExpectIdent(TranslateText("FormParser", "a set element")));
            TToken T = FLex.Next();
            if (IsSymbol(T, ']')) return V;
            if (!IsSymbol(T, ','))
                FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "expected ',' or ']' but found %1"),
                                             {DescribeToken(T)}));
        }
    }

    TValueNode& ParseList(TValueNode& V)
    {
        V.Kind = TValueKind::List;
        for (;;) {
            const TToken& T = FLex.Peek();
            if (IsSymbol(T, ')')) {
                FLex.Next();
                return V;
            }
            if (T.Kind == TTokenKind::EndOfText)
                FLex.Fail(V.Line, TranslateText("FormParser", "unterminated list (missing ')')"));
            if (T.Kind != TTokenKind::String && T.Kind != TTokenKind::Integer && T.Kind != TTokenKind::Ident)
                FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "expected a list element or ')' but found %1"),
                                             {DescribeToken(T)}));
            V.Elements.push_back(ParseValue(0));
        }
    }

    TValueNode& ParseCollection(TValueNode& V, int Depth)
    {
        CheckDepth(Depth, V.Line);
        V.Kind = TValueKind::Collection;
        for (;;) {
            TToken T = FLex.Next();
            if (IsSymbol(T, '>')) return V;
            if (T.Kind == TTokenKind::EndOfText)
                FLex.Fail(V.Line, TranslateText("FormParser", "unterminated collection (missing '>')"));
            if (!IsKeyword(T, "item"))
                FLex.Fail(T.Line, FormatText(TranslateText("FormParser", "expected 'item' or '>' but found %1"),
                                             {DescribeToken(T)}));
            TItemNode Item;
            Item.Line = T.Line;
            for (;;) {
                const TToken& P = FLex.Peek();
                if (IsKeyword(P, "end")) {
                    Item.EndLine = FLex.Next().Line;
                    break;
                }
                if (P.Kind == TTokenKind::EndOfText)
                    FLex.Fail(Item.Line,
                              TranslateText("FormParser", "collection item is not terminated (missing 'end')"));
                if (P.Kind != TTokenKind::Ident)
                    FLex.Fail(P.Line,
                              FormatText(TranslateText("FormParser", "expected a property or 'end' but found %1"),
                                         {DescribeToken(P)}));
                Item.Properties.push_back(ParseProperty(Depth));
            }
            V.Items.push_back(std::move(Item));
        }
    }

    TLexer FLex;
};

}  // namespace

void RaiseFormError(const AnsiString& FileName, int Line, const AnsiString& Problem)
{
    const AnsiString Where = FileName.empty() ? TranslateText("FormParser", "(form text)") : FileName;
    throw EReadError(FormatText(TranslateText("FormParser", "%1, line %2: %3"), {Where, IntToStr(Line), Problem}));
}

AnsiString DescribeKind(TValueKind Kind)
{
    switch (Kind) {
    case TValueKind::Integer: return TranslateText("FormParser", "an integer");
    case TValueKind::String: return TranslateText("FormParser", "a string");
    case TValueKind::Ident: return TranslateText("FormParser", "an identifier");
    case TValueKind::Set: return TranslateText("FormParser", "a set");
    case TValueKind::List: return TranslateText("FormParser", "a list");
    case TValueKind::Collection: return TranslateText("FormParser", "a collection");
    case TValueKind::Binary: return TranslateText("FormParser", "binary data");
    }
    return TranslateText("FormParser", "a value");
}

TObjectNode ParseFormText(std::string_view Text, const AnsiString& FileName)
{
    return TParser(Text, FileName).ParseFile();
}

std::optional<TObjectHeader> ParseFormHeader(std::string_view Text)
{
    try {
        int Line = 0;
        return TParser(Text, AnsiString()).ParseHeader(Line);
    } catch (const EReadError&) {
        return std::nullopt;
    }
}

}  // namespace FormText
