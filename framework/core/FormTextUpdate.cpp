#include "framework/core/FormTextUpdate.h"

#include <map>
#include <utility>
#include <vector>

#include "framework/core/FormParser.h"
#include "framework/core/TextUtils.h"

namespace {

using namespace FormText;

// Raised inside when the text cannot be changed on lines of its own; UpdateFormText then
// answers nothing.
struct TNotInPlace {};

// The one element of List named Name (letter case aside), or null; a name found twice
// makes the change impossible to place.
template <class T, class F>
const T* FindNamed(const std::vector<T>& List, std::string_view Name, F NameOf)
{
    const T* Found = nullptr;
    for (const T& Item : List) {
        if (!SameText(NameOf(Item), Name)) continue;
        if (Found) throw TNotInPlace{};
        Found = &Item;
    }
    return Found;
}

const AnsiString& NodeName(const TPropertyNode& P)
{
    return P.Name;
}
const AnsiString& NodeName(const TObjectNode& O)
{
    return O.Name;
}
const AnsiString& WrittenName(const TWrittenProperty& P)
{
    return P.Name;
}
const AnsiString& WrittenName(const TWrittenObject& O)
{
    return O.Name;
}

template <class T>
const T* FindNode(const std::vector<T>& List, std::string_view Name)
{
    return FindNamed(List, Name, [](const T& Item) -> const AnsiString& { return NodeName(Item); });
}

template <class T>
const T* FindWritten(const std::vector<T>& List, std::string_view Name)
{
    return FindNamed(List, Name, [](const T& Item) -> const AnsiString& { return WrittenName(Item); });
}

// Text split into lines, with the ends as each line had them.
class TFormTextUpdater {
public:
    explicit TFormTextUpdater(std::string_view Text)
    {
        std::size_t Start = 0;
        while (Start < Text.size()) {
            std::size_t End = Text.find('\n', Start);
            if (End == std::string_view::npos) {
                FLines.push_back({AnsiString(Text.substr(Start)), ""});
                break;
            }
            const bool Crlf = End > Start && Text[End - 1] == '\r';
            FLines.push_back({AnsiString(Text.substr(Start, End - Start - (Crlf ? 1 : 0))), Crlf ? "\r\n" : "\n"});
            Start = End + 1;
        }
        // New lines end as the file's first line does.
        if (!FLines.empty() && !FLines.front().End.empty()) FNewLineEnd = FLines.front().End;
    }

    AnsiString Update(const TObjectNode& Top, const TWrittenObject& Before, const TWrittenObject& After)
    {
        CheckObject(Top, 0, true);
        MergeObject(Top, Before, After);
        return Apply();
    }

private:
    struct TLine {
        AnsiString Text;
        AnsiString End;  // "\n", "\r\n", or empty on a last line without one
    };

    // Replaces the lines [From, To) (counted from 0); From == To inserts before line From.
    struct TLineEdit {
        int From = 0;
        int To = 0;
        std::vector<AnsiString> Lines;
    };

    // Every part on lines of its own, in order: an object's header, its properties, its
    // children, its end; a collection's items below its first line, each item's properties
    // between its "item" and its "end". Returns nothing; raises TNotInPlace.
    void CheckObject(const TObjectNode& O, int Previous, bool IsRoot) const
    {
        if ((!IsRoot && O.Name.empty()) || O.Line <= Previous) throw TNotInPlace{};
        int Last = CheckProperties(O.Properties, O.Line);
        for (const TObjectNode& Child : O.Children) {
            CheckObject(Child, Last, false);
            Last = Child.EndLine;
        }
        if (O.EndLine <= Last) throw TNotInPlace{};
    }

    int CheckProperties(const std::vector<TPropertyNode>& Properties, int Previous) const
    {
        for (const TPropertyNode& P : Properties) {
            if (P.Line <= Previous || P.EndLine < P.Line) throw TNotInPlace{};
            FindNode(Properties, P.Name);  // given twice: raises
            int Last = P.Line;
            if (P.Value.Kind == TValueKind::Collection) {
                for (const TItemNode& Item : P.Value.Items) {
                    if (Item.Line <= Last) throw TNotInPlace{};
                    if (Item.EndLine <= CheckProperties(Item.Properties, Item.Line)) throw TNotInPlace{};
                    Last = Item.EndLine;
                }
            }
            Previous = P.EndLine;
        }
        return Previous;
    }

    AnsiString IndentOf(int Line) const
    {
        const AnsiString& Text = FLines[static_cast<std::size_t>(Line - 1)].Text;
        return Text.substr(0, Text.find_first_not_of(" \t"));
    }

    // Lines as AppendPropertyText or AppendObjectText lays them out, each line after Indent.
    template <class T, class F>
    static std::vector<AnsiString> Indented(const T& Written, F Append, const AnsiString& Indent)
    {
        AnsiString Text;
        Append(Text, Written, 0);
        std::vector<AnsiString> Lines;
        std::size_t Start = 0;
        for (std::size_t End = Text.find('\n'); End != AnsiString::npos; Start = End + 1, End = Text.find('\n', Start))
            Lines.push_back(Indent + Text.substr(Start, End - Start));
        return Lines;
    }

    void Replace(int FirstLine, int LastLine, std::vector<AnsiString> Lines)
    {
        FEdits.push_back({FirstLine - 1, LastLine, std::move(Lines)});
    }
    void InsertAfter(int Line, std::vector<AnsiString> Lines) { FEdits.push_back({Line, Line, std::move(Lines)}); }

    void MergeObject(const TObjectNode& O, const TWrittenObject& B, const TWrittenObject& A)
    {
        const AnsiString Inner = IndentOf(O.Line) + "  ";
        MergeProperties(O.Properties, B.Properties, A.Properties, O.Line, Inner);

        int Last = O.Properties.empty() ? O.Line : O.Properties.back().EndLine;
        const AnsiString ChildIndent = O.Children.empty() ? Inner : IndentOf(O.Children.front().Line);
        for (const TWrittenObject& Child : A.Children) {
            if (Child.Name.empty()) throw TNotInPlace{};
            const TObjectNode* Node = FindNode(O.Children, Child.Name);
            if (!Node) {
                InsertAfter(Last, Indented(Child, AppendObjectText, ChildIndent));
                continue;
            }
            const TWrittenObject* Was = FindWritten(B.Children, Child.Name);
            if (!Was) throw TNotInPlace{};
            MergeObject(*Node, *Was, Child);
            Last = Node->EndLine;
        }
        for (const TObjectNode& Node : O.Children)
            if (!FindWritten(A.Children, Node.Name)) Replace(Node.Line, Node.EndLine, {});
    }

    static bool ItemByItem(const TPropertyNode& Node, const TWrittenProperty& Was, const TWrittenProperty& Is)
    {
        return Node.Value.Kind == TValueKind::Collection && Was.IsCollection() && Is.IsCollection() &&
               Was.Items.size() == Is.Items.size() && Node.Value.Items.size() == Is.Items.size();
    }

    // Anchor: the line after which a property goes that follows none of those in the file;
    // Indent: the indentation of a property added.
    void MergeProperties(const std::vector<TPropertyNode>& O, const std::vector<TWrittenProperty>& B,
                         const std::vector<TWrittenProperty>& A, int Anchor, const AnsiString& AddedIndent)
    {
        const AnsiString Indent = O.empty() ? AddedIndent : IndentOf(O.front().Line);
        int Last = Anchor;
        for (const TWrittenProperty& Is : A) {
            const TWrittenProperty* Was = FindWritten(B, Is.Name);
            const TPropertyNode* Node = FindNode(O, Is.Name);
            if (Was && *Was == Is) {
                // Unchanged: the file's text stays, written or not.
            } else if (Node && Was && ItemByItem(*Node, *Was, Is)) {
                for (std::size_t I = 0; I < Is.Items.size(); ++I) {
                    const TItemNode& Item = Node->Value.Items[I];
                    MergeProperties(Item.Properties, Was->Items[I], Is.Items[I], Item.Line, IndentOf(Item.Line) + "  ");
                }
            } else if (Node) {
                Replace(Node->Line, Node->EndLine, Indented(Is, AppendPropertyText, IndentOf(Node->Line)));
            } else {
                InsertAfter(Last, Indented(Is, AppendPropertyText, Indent));
            }
            if (Node) Last = Node->EndLine;
        }
        for (const TWrittenProperty& Was : B)
            if (!FindWritten(A, Was.Name))
                if (const TPropertyNode* Node = FindNode(O, Was.Name)) Replace(Node->Line, Node->EndLine, {});
    }

    AnsiString Apply() const
    {
        std::multimap<int, const TLineEdit*> Inserts;
        std::map<int, const TLineEdit*> Replaces;
        for (const TLineEdit& Edit : FEdits) {
            if (Edit.From == Edit.To) Inserts.emplace(Edit.From, &Edit);
            else if (!Replaces.emplace(Edit.From, &Edit).second) throw TNotInPlace{};
        }
        AnsiString Out;
        const int Count = static_cast<int>(FLines.size());
        auto Emit = [&](const std::vector<AnsiString>& Lines) {
            for (const AnsiString& Text : Lines) Out += Text + FNewLineEnd;
        };
        for (int I = 0; I <= Count;) {
            auto [First, End] = Inserts.equal_range(I);
            for (auto It = First; It != End; ++It) Emit(It->second->Lines);
            if (I == Count) break;
            if (auto Found = Replaces.find(I); Found != Replaces.end()) {
                const int To = Found->second->To;
                // Nothing else may begin inside what is replaced.
                if (Replaces.lower_bound(I + 1) != Replaces.lower_bound(To) ||
                    Inserts.lower_bound(I + 1) != Inserts.lower_bound(To))
                    throw TNotInPlace{};
                Emit(Found->second->Lines);
                I = To;
                continue;
            }
            const TLine& Line = FLines[static_cast<std::size_t>(I)];
            Out += Line.Text + Line.End;
            ++I;
        }
        return Out;
    }

    std::vector<TLine> FLines;
    AnsiString FNewLineEnd = "\n";
    std::vector<TLineEdit> FEdits;  // in the order made; inserts at one place keep that order
};

}  // namespace

std::optional<AnsiString> UpdateFormText(std::string_view Original, const TWrittenObject& Before,
                                         const TWrittenObject& After)
{
    const TObjectNode Top = ParseFormText(Original, AnsiString());
    try {
        return TFormTextUpdater(Original).Update(Top, Before, After);
    } catch (const TNotInPlace&) {
        return std::nullopt;
    }
}
