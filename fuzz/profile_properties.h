#pragma once

// What must hold for any profile and any value written into it. Shared by the fuzz target and the test that
// replays its corpus.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "profile/ini_text.h"

namespace tumblecast::fuzz {

struct SplitLine {
    QByteArray text;
    QByteArray end;
};

// Split on its own, not through the code under test.
inline std::vector<SplitLine> splitForCheck(const QByteArray& content)
{
    std::vector<SplitLine> lines;
    qsizetype i = 0;
    while (i < content.size()) {
        SplitLine line;
        while (i < content.size() && content[i] != '\r' && content[i] != '\n') line.text += content[i++];
        if (i < content.size() && content[i] == '\r') {
            line.end += content[i++];
            if (i < content.size() && content[i] == '\n') line.end += content[i++];
        } else if (i < content.size()) {
            line.end += content[i++];
        }
        lines.push_back(line);
    }
    return lines;
}

inline QString trimBlanks(QString text)
{
    auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\v' || c == u'\f'; };
    while (!text.isEmpty() && blank(text.front())) text.remove(0, 1);
    while (!text.isEmpty() && blank(text.back())) text.chop(1);
    return text;
}

// Input layout: one byte choosing section and key, one byte giving the value's length, the value (UTF-8),
// then the profile's bytes. Returns what went wrong, or nothing.
inline std::optional<std::string> checkProfileInput(const std::uint8_t* data, std::size_t size)
{
    static const char* const sections[] = {"Slot1", "Options", "S", "Slot5"};
    static const char* const keys[] = {"Caption", "QuickSlots", "K", "Enabled"};
    if (size < 2) return std::nullopt;
    const QString section = QString::fromLatin1(sections[data[0] & 3]);
    const QString key = QString::fromLatin1(keys[(data[0] >> 2) & 3]);
    const QString otherKey = QString::fromLatin1(keys[((data[0] >> 2) + 1) & 3]);
    const std::size_t valueSize = std::min<std::size_t>(data[1], size - 2);
    const QString value = QString::fromUtf8(reinterpret_cast<const char*>(data + 2), qsizetype(valueSize));
    const QByteArray content(reinterpret_cast<const char*>(data + 2 + valueSize),
                             qsizetype(size - 2 - valueSize));

    const std::optional<QString> otherBefore = ini::readValue(content, section, otherKey);
    const QByteArray written = ini::writeValue(content, section, key, value);

    const ini::Encoding encoding = ini::detectEncoding(written);
    const QString expected =
        trimBlanks(ini::decode(ini::encode(ini::storedValue(value), encoding), encoding));
    const std::optional<QString> back = ini::readValue(written, section, key);
    if (!back) return "written key not found";
    if (*back != expected) return "read back differs from the value written";
    if (ini::writeValue(written, section, key, value) != written)
        return "writing the same value again changed the file";
    if (ini::detectEncoding(content) == encoding && ini::readValue(written, section, otherKey) != otherBefore)
        return "another key of the section changed";

    // Every line but the one replaced or the ones added keeps its bytes; an unterminated last line may gain
    // a line end.
    // A UTF-16 profile stays UTF-16, and its lines are compared as UTF-8 text.
    QByteArray beforeText = content;
    QByteArray afterText = written;
    const ini::Encoding contentEncoding = ini::detectEncoding(content);
    if (contentEncoding == ini::Encoding::Utf16LE || contentEncoding == ini::Encoding::Utf16BE) {
        if (encoding != contentEncoding || written.size() % 2 != content.size() % 2)
            return "a UTF-16 profile lost its encoding";
        // An odd last byte is kept as it was, at the end.
        const qsizetype odd = content.size() % 2;
        if (written.last(odd) != content.last(odd)) return "a UTF-16 profile's odd last byte changed";
        beforeText = ini::decode(content.sliced(2, content.size() - 2 - odd), contentEncoding).toUtf8();
        afterText = ini::decode(written.sliced(2, written.size() - 2 - odd), contentEncoding).toUtf8();
    }
    const std::vector<SplitLine> before = splitForCheck(beforeText);
    const std::vector<SplitLine> after = splitForCheck(afterText);
    auto same = [&](std::size_t i, std::size_t j) {
        const bool lastOpen = i + 1 == before.size() && before[i].end.isEmpty();
        return before[i].text == after[j].text && (before[i].end == after[j].end || lastOpen);
    };
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && same(prefix, prefix)) ++prefix;
    std::size_t suffix = 0;
    while (prefix + suffix < before.size() && prefix + suffix < after.size() &&
           same(before.size() - 1 - suffix, after.size() - 1 - suffix))
        ++suffix;
    const std::size_t removed = before.size() - prefix - suffix;
    const std::size_t added = after.size() - prefix - suffix;
    if (removed > 1 || added > 3) return "lines other than the key's changed";
    if (removed == 1) {
        const QByteArray& old = before[prefix].text;
        if (old == "\xEF\xBB\xBF") return std::nullopt;  // a lone byte order mark takes the new section
        if (added != 1) return "a replaced line became several";
        const qsizetype equals = old.indexOf('=');
        if (equals < 0 || !after[prefix].text.startsWith(old.first(equals + 1)))
            return "a replaced line lost its key";
        if (after[prefix].end != before[prefix].end && !before[prefix].end.isEmpty())
            return "a replaced line changed its line end";
    }
    return std::nullopt;
}

}  // namespace tumblecast::fuzz
