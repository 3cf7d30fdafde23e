#include "PresetLists.h"

#include "SettingsImage.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

#include <ini.h>

#include <cstdio>
#include <memory>

namespace korv::editor {

namespace {

const QString UnknownName = QStringLiteral("Unknown");
const QString UntitledName = QStringLiteral("Untitled");
const QString LabelSeparator = QStringLiteral(": ");

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

// Hands the parser one line at a time like fgets, with two differences. A line longer than the
// parser's buffer is cut there and its rest skipped: the rest would otherwise come back as a
// line of its own and could make up a key out of the middle of a name. And the white space at
// the start of a line is left out: the parser would take an indented line for the continuation
// of the key above it, and the indented preset would be lost.
char* ReadWholeLine(char* str, int num, void* stream) {
    auto* file = static_cast<std::FILE*>(stream);
    int c = std::getc(file);
    while (c == ' ' || c == '\t')
        c = std::getc(file);
    if (c != EOF)
        std::ungetc(c, file);
    int used = 0;
    while (used < num - 1 && (c = std::getc(file)) != EOF) {
        str[used++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    if (used == 0)
        return nullptr;
    str[used] = '\0';
    if (used == num - 1 && c != '\n') {
        while ((c = std::getc(file)) != EOF && c != '\n') {
        }
    }
    return str;
}

// The file's own text: UTF-8 where it is valid, else the 8-bit code page of older editors.
QString Decoded(const char* text) {
    const QByteArray bytes(text);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = utf8(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return decoded;
}

// A value written in quotes means the text between them, as INI readers usually take it.
QString Unquoted(QString value) {
    if (value.size() >= 2 && value.front() == value.back() &&
        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')))
        return value.mid(1, value.size() - 2);
    return value;
}

struct Reading {
    PresetLists lists;
    // Keys already listed, case-folded as the lookup compares them, per section: a key given
    // twice keeps its first name, the one a lookup by key would find.
    QSet<QString> seenPots;
    QSet<QString> seenButts;
};

int OnEntry(void* user, const char* section, const char* key, const char* value) {
    auto& reading = *static_cast<Reading*>(user);
    const QString sectionName = QString::fromLatin1(section);
    PresetList* list = nullptr;
    QSet<QString>* seen = nullptr;
    if (sectionName.compare(QStringLiteral("POTPRESETS"), Qt::CaseInsensitive) == 0) {
        list = &reading.lists.pots;
        seen = &reading.seenPots;
    } else if (sectionName.compare(QStringLiteral("BUTTONPRESETS"), Qt::CaseInsensitive) == 0) {
        list = &reading.lists.butts;
        seen = &reading.seenButts;
    } else {
        return 1;
    }
    const QString keyText = Decoded(key);
    const QString folded = keyText.toCaseFolded();
    if (keyText.isEmpty() || seen->contains(folded))
        return 1;
    seen->insert(folded);
    const QString name = Unquoted(Decoded(value));
    list->keys.append(keyText);
    list->names.append(name.isEmpty() ? UntitledName : name);
    return 1;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

QString PresetList::NameOf(const QString& keyText) const {
    for (qsizetype i = 0; i < keys.size(); ++i) {
        if (keys[i].compare(keyText, Qt::CaseInsensitive) == 0)
            return names[i];
    }
    return UnknownName;
}

PresetLists PresetLists::Load(const QString& path) {
    Reading reading;
    if (path.isEmpty())
        return {};
    const std::unique_ptr<std::FILE, FileCloser> file(
        std::fopen(QFile::encodeName(path).constData(), "rb"));
    if (!file)
        return {};
    // The parser's return value counts malformed lines, which are simply passed over.
    ini_parse_stream(ReadWholeLine, file.get(), OnEntry, &reading);
    return reading.lists;
}

std::optional<std::uint32_t> ReadPresetKey(const QString& key) {
    qsizetype i = 0;
    while (i < key.size() && key[i].isSpace())
        ++i;
    // "0x" counts as a prefix only with a digit after it; otherwise its 0 is the number.
    if (i + 2 < key.size() && key[i] == QLatin1Char('0') &&
        (key[i + 1] == QLatin1Char('x') || key[i + 1] == QLatin1Char('X')) &&
        HexDigit(key[i + 2]) >= 0)
        i += 2;
    std::uint32_t value = 0;
    bool any = false;
    for (; i < key.size(); ++i) {
        const int digit = HexDigit(key[i]);
        if (digit < 0)
            break;
        value = (value << 4) | static_cast<std::uint32_t>(digit);
        any = true;
    }
    if (!any)
        return std::nullopt;
    return value;
}

QString LabelOfPresetName(const QString& name) {
    const qsizetype separator = name.indexOf(LabelSeparator);
    // The file reader trims blanks at the end of a line, so "Effect 1: " arrives as
    // "Effect 1:": its label is the empty text after the ": " that was written.
    if (separator < 0 && name.endsWith(QLatin1Char(':')))
        return {};
    const QString text = separator >= 0 ? name.mid(separator + LabelSeparator.size()) : name;
    QString label;
    for (QChar c : text) {
        if (label.size() == model::LabelTextLength)
            break;
        if (c.unicode() >= 0x20 && c.unicode() < 0x7F)
            label.append(c);
    }
    return label;
}

} // namespace korv::editor
