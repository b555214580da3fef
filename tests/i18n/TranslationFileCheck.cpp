#include "tests/i18n/TranslationFileCheck.h"

#include <QFile>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>

namespace {

struct TMessage {
    QString Context;
    QString Source;
    QString Type;          // of the translation: "", "unfinished", "vanished", "obsolete"
    QStringList Forms;     // the translation, or each of its plural forms
};

QStringList PlaceHolders(const QString& Text)
{
    static const QRegularExpression Marker("%(n|[1-9][0-9]?)");
    QStringList Found;
    for (const QRegularExpressionMatch& M : Marker.globalMatch(Text)) Found << M.captured(0);
    return Found;
}

// The text of the element just started, up to its end: lupdate writes a control character
// as <byte value="xd"/> inside it. Plural forms, when Forms is given, are collected apart.
QString ReadText(QXmlStreamReader& Xml, QStringList* Forms = nullptr)
{
    QString Text;
    for (int Depth = 1; Depth > 0 && !Xml.atEnd();) {
        Xml.readNext();
        if (Xml.isCharacters()) {
            Text += Xml.text();
        } else if (Xml.isStartElement() && Xml.name() == u"byte") {
            Text += QChar(Xml.attributes().value("value").mid(1).toUInt(nullptr, 16));
        } else if (Xml.isStartElement() && Xml.name() == u"numerusform" && Forms) {
            *Forms << ReadText(Xml);
        } else if (Xml.isStartElement()) {
            ++Depth;
        } else if (Xml.isEndElement()) {
            --Depth;
        }
    }
    return Text;
}

void Check(const TMessage& M, std::vector<std::string>& Problems)
{
    auto Report = [&](const QString& What) {
        Problems.push_back((M.Context + ": " + What + ": " + M.Source).toStdString());
    };
    if (!M.Type.isEmpty()) return Report(M.Type);
    if (M.Forms.isEmpty()) return Report("no translation");
    for (const QString& Form : M.Forms) {
        if (Form.trimmed().isEmpty()) return Report("empty");
        for (const QString& Marker : PlaceHolders(M.Source))
            // "%1" must not pass for being inside "%12".
            if (!PlaceHolders(Form).contains(Marker)) return Report(Marker + " missing from the translation");
    }
}

}  // namespace

std::vector<std::string> TranslationFileProblems(const QString& Path, int& Count)
{
    Count = 0;
    std::vector<std::string> Problems;
    QFile File(Path);
    if (!File.open(QIODevice::ReadOnly)) return {"cannot read " + Path.toStdString()};
    QXmlStreamReader Xml(&File);
    QString Context;
    TMessage Message;
    while (!Xml.atEnd()) {
        Xml.readNext();
        if (Xml.isStartElement()) {
            const QStringView Name = Xml.name();
            if (Name == u"name") {
                Context = ReadText(Xml);
            } else if (Name == u"message") {
                Message = TMessage{Context, {}, {}, {}};
            } else if (Name == u"source") {
                Message.Source = ReadText(Xml);
            } else if (Name == u"translation") {
                Message.Type = Xml.attributes().value("type").toString();
                // A plural translation holds numerusform elements; a plain one holds its text.
                const QString Text = ReadText(Xml, &Message.Forms);
                if (Message.Forms.isEmpty()) Message.Forms << Text;
            }
        } else if (Xml.isEndElement() && Xml.name() == u"message") {
            ++Count;
            Check(Message, Problems);
        }
    }
    if (Xml.hasError())
        Problems.push_back(Path.toStdString() + ": not a translation file: " + Xml.errorString().toStdString());
    else if (Count == 0)
        Problems.push_back(Path.toStdString() + ": no texts at all");
    return Problems;
}
