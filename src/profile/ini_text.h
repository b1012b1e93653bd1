#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The profile's text as bytes: reading one value and rewriting one value, with no file in sight, so that the
// rules can be tested and fuzzed directly.
//
// Layout as read here:
// - Lines end in LF, CR LF or a lone CR. A UTF-8 byte order mark before the first line is ignored.
// - A file that starts with a UTF-16 byte order mark is UTF-16 throughout: it is read as such and written
// back
//   in the same byte order, never with 8-bit lines among its own.
// - A line whose first non-blank byte is '[' and that holds a ']' starts a section; its name is what lies
//   between them, trimmed. A '[' line without ']' is no header: it neither starts nor ends a section.
// - Lines starting with ';' or '#' are comments. Other lines holding '=' are settings: the key is the trimmed
//   text before the first '=', the value the trimmed text after it, up to a NUL if it holds one (as the
//   C strings of Windows' own profile functions end there). Anything else is kept and ignored.
// - Names match ignoring ASCII letter case. Settings before the first header belong to no section.
// - Duplicates: the first section of a name is the section (later ones with that name are ignored), and the
//   first setting of a key inside it wins.
// - Blanks are space, tab, vertical tab and form feed.
// Section and key names come from the program itself: they must not hold '=', ']' or line breaks.
namespace tumblecast::ini {

// A read delivers at most this many characters of a value.
inline constexpr int kMaxValueLength = 49;

// Text is UTF-8; a profile whose bytes are not all valid UTF-8 came from Windows and is read as Windows-1252,
// unless its byte order mark says UTF-16.
enum class Encoding { Utf8, Windows1252, Utf16LE, Utf16BE };

Encoding detectEncoding(const QByteArray& content);
QString decode(const QByteArray& bytes, Encoding encoding);
// Characters that Windows-1252 lacks become '?'.
QByteArray encode(const QString& text, Encoding encoding);

// The trimmed value of the key, whole; nothing when the section or the key is missing.
std::optional<QString> readValue(const QByteArray& content, const QString& section, const QString& key);

// The content with the key set to the value: replaced where it stands, else added after the last setting of
// its section, else added with a new section at the end. Every other line keeps its bytes and its line end;
// an unterminated last line gains one when something is added after it. Lines added take the line end of
// the line before them (the file's first one after an unterminated line; the platform's in a file without
// any). The value is written as storedValue() makes it, so it never spills into lines of its own. In a
// Windows-1252 file it is encoded as Windows-1252, so the file stays one encoding and reads back; if the
// rewrite leaves the whole file valid UTF-8, the value is written as UTF-8 instead, since that is how the
// file will then be read.
QByteArray writeValue(const QByteArray& content, const QString& section, const QString& key,
                      const QString& value);

// The first kMaxValueLength characters (code points: a surrogate pair is never split).
QString cutValue(const QString& value);
// What a value becomes in the file: cut at a NUL (which would end it on reading), CR and LF replaced by
// spaces.
QString storedValue(QString text);

}  // namespace tumblecast::ini
