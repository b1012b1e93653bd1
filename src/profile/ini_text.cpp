#include "profile/ini_text.h"

#include <QByteArrayView>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace tumblecast::ini {

namespace {

#ifdef Q_OS_WIN
constexpr QByteArrayView kNativeLineEnd = "\r\n";
#else
constexpr QByteArrayView kNativeLineEnd = "\n";
#endif
constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";
constexpr QByteArrayView kUtf16LEMark = "\xFF\xFE";
constexpr QByteArrayView kUtf16BEMark = "\xFE\xFF";

// Windows-1252 at 0x80..0x9F; the rest of the page is Latin-1. The five unassigned bytes map to the C1
// controls of the same number, as Windows itself maps them, so every byte reads and writes back unchanged.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

QByteArrayView trimmed(QByteArrayView text)
{
    while (!text.isEmpty() && isBlank(text.front())) text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back())) text.chop(1);
    return text;
}

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c + ('a' - 'A')) : c; }

bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

// One line of the content: its text is [begin, textEnd), its line end [textEnd, end).
struct Line {
    qsizetype begin;
    qsizetype textEnd;
    qsizetype end;
    bool terminated() const { return end > textEnd; }
};

std::vector<Line> splitLines(const QByteArray& content)
{
    std::vector<Line> lines;
    const char* data = content.constData();
    const qsizetype size = content.size();
    qsizetype begin = 0;
    while (begin < size) {
        qsizetype i = begin;
        while (i < size && data[i] != '\n' && data[i] != '\r') ++i;
        const qsizetype textEnd = i;
        if (i < size) i += (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') ? 2 : 1;
        lines.push_back({begin, textEnd, i});
        begin = i;
    }
    return lines;
}

enum class Kind { Other, Header, Setting };

struct Parsed {
    Kind kind = Kind::Other;
    QByteArrayView name;    // section or key
    qsizetype equals = -1;  // offset of the '=' of a setting
};

Parsed parse(const QByteArray& content, const Line& line)
{
    QByteArrayView text(content.constData() + line.begin, line.textEnd - line.begin);
    if (line.begin == 0 && text.startsWith(kByteOrderMark)) text = text.sliced(kByteOrderMark.size());
    const QByteArrayView body = trimmed(text);
    if (body.isEmpty() || body.front() == ';' || body.front() == '#') return {};
    if (body.front() == '[') {
        const qsizetype close = body.indexOf(']');
        if (close < 0) return {};
        return {Kind::Header, trimmed(body.sliced(1, close - 1)), -1};
    }
    const qsizetype equals = text.indexOf('=');
    if (equals < 0) return {};
    return {Kind::Setting, trimmed(text.first(equals)), (text.data() - content.constData()) + equals};
}

// Where a key stands in the content.
struct Location {
    std::vector<Line> lines;
    std::optional<std::size_t> header;   // the section's first header
    std::optional<std::size_t> setting;  // the key's first setting inside it
    std::size_t lastSetting = 0;         // the section's last setting, or its header
    qsizetype equals = -1;
};

Location locate(const QByteArray& content, const QString& section, const QString& key)
{
    Location found;
    found.lines = splitLines(content);
    const QByteArray sectionName = section.toUtf8();
    const QByteArray keyName = key.toUtf8();
    bool inside = false;
    for (std::size_t i = 0; i < found.lines.size(); ++i) {
        const Parsed line = parse(content, found.lines[i]);
        if (line.kind == Kind::Header) {
            if (found.header) break;  // the section has ended; a later one of the same name is ignored
            inside = sameName(line.name, sectionName);
            if (inside) found.header = found.lastSetting = i;
        } else if (line.kind == Kind::Setting && inside) {
            found.lastSetting = i;
            if (!found.setting && sameName(line.name, keyName)) {
                found.setting = i;
                found.equals = line.equals;
            }
        }
    }
    return found;
}

// The line end of lines added after the given line: its own, so that in a file of mixed line ends a lone CR
// is never followed by an added LF (the two would read as one CR LF); after an unterminated line, the file's
// first line end; in a file without one, the platform's.
QByteArray lineEndAfter(const QByteArray& content, const std::vector<Line>& lines, std::size_t after)
{
    if (after < lines.size() && lines[after].terminated())
        return content.sliced(lines[after].textEnd, lines[after].end - lines[after].textEnd);
    for (const Line& line : lines)
        if (line.terminated()) return content.sliced(line.textEnd, line.end - line.textEnd);
    return kNativeLineEnd.toByteArray();
}

QByteArray rewrite(const QByteArray& content, const Location& at, const QByteArray& section,
                   const QByteArray& key, const QByteArray& value)
{
    QByteArray out;
    out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
    if (at.setting) {
        const Line& line = at.lines[*at.setting];
        out.append(QByteArrayView(content).first(at.equals + 1)).append(value);
        out.append(QByteArrayView(content).sliced(line.textEnd));
        return out;
    }
    // Added after the section's last setting (or its header), or at the end of the file.
    const std::size_t after = at.header ? at.lastSetting : at.lines.size() - 1;
    const QByteArray lineEnd = lineEndAfter(content, at.lines, after);
    QByteArray added = key + '=' + value + lineEnd;
    if (!at.header) {
        added = '[' + section + ']' + lineEnd + added;
        if (!content.isEmpty() && content != kByteOrderMark) {
            const Line& last = at.lines.back();
            // A blank line keeps the new section apart from the one before it.
            if (!trimmed(QByteArrayView(content).sliced(last.begin, last.textEnd - last.begin)).isEmpty())
                added.prepend(lineEnd);
        }
    }
    const bool open = !at.lines.empty() && !at.lines[after].terminated() && content != kByteOrderMark;
    if (open) added.prepend(lineEnd);
    const qsizetype insertAt = at.lines.empty() ? 0 : at.lines[after].end;
    out.append(QByteArrayView(content).first(insertAt)).append(added);
    out.append(QByteArrayView(content).sliced(insertAt));
    return out;
}

bool hasNonAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x80) return true;
    return false;
}

QString sanitizedName(const QString& name) { return storedValue(name); }

bool isUtf16(Encoding encoding) { return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE; }

// A UTF-16 profile is read and rewritten through its UTF-8 form: the same lines, characters and line ends, so
// the rules above apply unchanged. Only broken surrogates do not come back as they were.
QByteArray utf16ToUtf8(const QByteArray& content, Encoding encoding)
{
    // An odd last byte is half a character: no text. A rewrite keeps it as it was, at the end.
    return decode(content.sliced(2, content.size() - 2 - content.size() % 2), encoding).toUtf8();
}

QByteArray utf8ToUtf16(const QByteArray& text, Encoding encoding)
{
    const QByteArrayView mark = encoding == Encoding::Utf16LE ? kUtf16LEMark : kUtf16BEMark;
    return mark.toByteArray() + encode(decode(text, Encoding::Utf8), encoding);
}

}  // namespace

Encoding detectEncoding(const QByteArray& content)
{
    if (content.startsWith(kUtf16LEMark)) return Encoding::Utf16LE;
    if (content.startsWith(kUtf16BEMark)) return Encoding::Utf16BE;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    [[maybe_unused]] const QString text = utf8.decode(content);
    return utf8.hasError() ? Encoding::Windows1252 : Encoding::Utf8;
}

QString decode(const QByteArray& bytes, Encoding encoding)
{
    if (isUtf16(encoding)) {
        QStringDecoder utf16(
            encoding == Encoding::Utf16LE ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
            QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
        return utf16.decode(bytes);
    }
    if (encoding == Encoding::Utf8) {
        // fromUtf8() would drop a U+FEFF at the start of a value; only the file's own mark is skipped.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        return utf8.decode(bytes);
    }
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        text[i] = (byte >= 0x80 && byte < 0xA0) ? QChar(kCp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

QByteArray encode(const QString& text, Encoding encoding)
{
    if (encoding == Encoding::Utf8) return text.toUtf8();
    if (isUtf16(encoding)) {
        QStringEncoder utf16(
            encoding == Encoding::Utf16LE ? QStringEncoder::Utf16LE : QStringEncoder::Utf16BE,
            QStringEncoder::Flag::Stateless);
        return utf16.encode(text);
    }
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            bytes.append(char(c));
            continue;
        }
        char byte = '?';
        for (std::size_t k = 0; k < kCp1252High.size(); ++k)
            if (kCp1252High[k] == c) byte = char(0x80 + k);
        // One '?' for a whole surrogate pair: it is one character.
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
        bytes.append(byte);
    }
    return bytes;
}

std::optional<QString> readValue(const QByteArray& content, const QString& section, const QString& key)
{
    const Encoding encoding = detectEncoding(content);
    if (isUtf16(encoding)) return readValue(utf16ToUtf8(content, encoding), section, key);
    const Location at = locate(content, section, key);
    if (!at.setting) return std::nullopt;
    const Line& line = at.lines[*at.setting];
    QByteArrayView value = QByteArrayView(content).sliced(at.equals + 1, line.textEnd - at.equals - 1);
    if (const qsizetype nul = value.indexOf('\0'); nul >= 0) value.truncate(nul);
    return decode(trimmed(value).toByteArray(), encoding);
}

QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key,
                      const QString& value)
{
    const Encoding encoding = detectEncoding(content);
    if (isUtf16(encoding))
        return utf8ToUtf16(writeValue(utf16ToUtf8(content, encoding), section, key, value), encoding) +
               content.last(content.size() % 2);
    const Location at = locate(content, sanitizedName(section), sanitizedName(key));
    const QByteArray sectionBytes = sanitizedName(section).toUtf8();
    const QByteArray keyBytes = sanitizedName(key).toUtf8();
    const QString line = storedValue(value);
    QByteArray out = rewrite(content, at, sectionBytes, keyBytes, encode(line, encoding));
    if (encoding == Encoding::Windows1252 && hasNonAscii(line) && detectEncoding(out) == Encoding::Utf8)
        out = rewrite(content, at, sectionBytes, keyBytes, encode(line, Encoding::Utf8));
    return out;
}

QString cutValue(const QString& value)
{
    qsizetype end = 0;
    for (int count = 0; count < kMaxValueLength && end < value.size(); ++count) {
        const bool pair =
            value[end].isHighSurrogate() && end + 1 < value.size() && value[end + 1].isLowSurrogate();
        end += pair ? 2 : 1;
    }
    return value.first(end);
}

QString storedValue(QString text)
{
    if (const qsizetype nul = text.indexOf(QChar(0)); nul >= 0) text.truncate(nul);
    for (QChar& c : text)
        if (c == u'\r' || c == u'\n') c = u' ';
    return text;
}

}  // namespace tumblecast::ini
