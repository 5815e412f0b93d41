// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScpiCommand.h"
#include "ScpiError.h"

#include <optional>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLetter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// Bytes a command may hold outside quoted strings: printable ASCII and tab.
bool isPlainText(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return c == '\t' || (byte >= 0x20 && byte < 0x7F);
}

// The message's units: split at ';' outside quotes. An unterminated quote
// runs to the end of the message (and makes that unit malformed).
QList<QByteArrayView> splitUnits(QByteArrayView message)
{
    QList<QByteArrayView> units;
    qsizetype start = 0;
    char quote = 0;
    for (qsizetype i = 0; i < message.size(); ++i) {
        const char c = message[i];
        if (quote) {
            if (c == quote)
                quote = 0; // a doubled quote closes and reopens: the same
        } else if (isQuote(c)) {
            quote = c;
        } else if (c == ';') {
            units.append(message.sliced(start, i - start));
            start = i + 1;
        }
    }
    units.append(message.sliced(start));
    return units;
}

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// A mnemonic: a letter, then letters, digits and underscores.
bool isMnemonic(QByteArrayView text)
{
    if (text.isEmpty() || !isLetter(text.front()))
        return false;
    for (const char c : text)
        if (!isLetter(c) && !isDigit(c) && c != '_')
            return false;
    return true;
}

bool parseHeader(QByteArrayView header, ScpiCommand &command)
{
    if (header.endsWith('?')) {
        command.query = true;
        header.chop(1);
    }
    if (header.startsWith('*')) {
        if (!isMnemonic(header.sliced(1)))
            return false;
        command.mnemonics.append(header.toByteArray().toUpper());
        return true;
    }
    if (header.startsWith(':'))
        header = header.sliced(1);
    for (const QByteArrayView part : QByteArray::fromRawData(header.data(), header.size()).split(':')) {
        if (!isMnemonic(part))
            return false;
        command.mnemonics.append(part.toByteArray().toUpper());
    }
    return true;
}

// A bare parameter: a word or a number, no blanks inside.
bool isBareParameter(QByteArrayView text)
{
    if (text.isEmpty())
        return false;
    for (const char c : text)
        if (!isLetter(c) && !isDigit(c) && c != '+' && c != '-' && c != '.' && c != '_')
            return false;
    return true;
}

// A quoted string at the start of text: its content and the length taken.
std::optional<std::pair<QByteArray, qsizetype>> quotedString(QByteArrayView text)
{
    const char quote = text.front();
    QByteArray content;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text[i] != quote) {
            content.append(text[i]);
        } else if (i + 1 < text.size() && text[i + 1] == quote) {
            content.append(quote);
            ++i;
        } else {
            return std::pair{content, i + 1};
        }
    }
    return std::nullopt;
}

bool parseParameters(QByteArrayView text, QList<ScpiParameter> &parameters)
{
    while (true) {
        text = trimmed(text);
        if (text.isEmpty())
            return false; // nothing where a parameter belongs
        qsizetype end = 0;
        if (isQuote(text.front())) {
            const auto string = quotedString(text);
            if (!string)
                return false;
            parameters.append({string->first, true});
            end = string->second;
        } else {
            end = text.indexOf(',');
            if (end < 0)
                end = text.size();
            const QByteArrayView bare = trimmed(text.first(end));
            if (!isBareParameter(bare))
                return false;
            parameters.append({bare.toByteArray(), false});
        }
        text = trimmed(text.sliced(end));
        if (text.isEmpty())
            return true;
        if (text.front() != ',')
            return false;
        text = text.sliced(1);
    }
}

// Whether the unit holds only printable ASCII outside its quoted strings.
bool isPlainOutsideQuotes(QByteArrayView unit)
{
    char quote = 0;
    for (const char c : unit) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (isQuote(c)) {
            quote = c;
        } else if (!isPlainText(c)) {
            return false;
        }
    }
    return true;
}

ScpiUnit parseUnit(QByteArrayView text)
{
    if (!isPlainOutsideQuotes(text))
        return {{}, ScpiError::CommandError};
    ScpiUnit unit;
    qsizetype headerEnd = 0;
    while (headerEnd < text.size() && !isBlank(text[headerEnd]))
        ++headerEnd;
    if (!parseHeader(text.first(headerEnd), unit.command))
        return {{}, ScpiError::SyntaxError};
    const QByteArrayView rest = trimmed(text.sliced(headerEnd));
    if (!rest.isEmpty() && !parseParameters(rest, unit.command.parameters))
        return {{}, ScpiError::SyntaxError};
    return unit;
}

} // namespace

QList<ScpiUnit> ScpiParser::parse(QByteArrayView message)
{
    QList<ScpiUnit> units;
    for (const QByteArrayView text : splitUnits(message)) {
        const QByteArrayView unit = trimmed(text);
        if (!unit.isEmpty())
            units.append(parseUnit(unit));
    }
    return units;
}
