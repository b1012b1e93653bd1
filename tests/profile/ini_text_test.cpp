#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "profile/ini_text.h"
#include "profile_properties.h"

namespace tumblecast::ini {
namespace {

template <std::size_t N>
QByteArray raw(const char (&text)[N])  // NULs included
{
    return QByteArray(text, N - 1);
}

QByteArray utf16(const QString& text, bool bigEndian = false)
{
    QByteArray bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8), low = char(c.unicode() & 0xFF);
        bytes.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return bytes;
}

TEST(IniRead, FindsValuesAsStored)
{
    const struct {
        const char* name;
        QByteArray content;
        const char* section;
        const char* key;
        std::optional<QString> expected;
    } rows[] = {
        {"empty_value_is_not_missing", "[Slot1]\nDice=\n", "Slot1", "Dice", u""_qs},
        {"missing_section", "[Slot1]\nDice=3\n", "Slot2", "Dice", std::nullopt},
        {"missing_key", "[Slot1]\nDice=3\n", "Slot1", "Sides", std::nullopt},
        {"case_ignored", "[slot1]\ncaption=Fire\n", "Slot1", "Caption", u"Fire"_qs},
        {"blanks_trimmed", "[Slot1]\n Caption = \t Fire ball \t\n", "Slot1", "Caption", u"Fire ball"_qs},
        {"crlf", "[Slot1]\r\nDice=3\r\nSides=6\r\n", "Slot1", "Sides", u"6"_qs},
        {"lone_cr", "[Slot1]\rDice=3\rSides=6\r", "Slot1", "Sides", u"6"_qs},
        {"no_final_line_end", "[Slot1]\nDice=3", "Slot1", "Dice", u"3"_qs},
        {"first_key_wins", "[Slot1]\nDice=1\nDice=2\n", "Slot1", "Dice", u"1"_qs},
        {"later_duplicate_section_ignored", "[Slot1]\nDice=1\n[Slot1]\nSides=6\n", "Slot1", "Sides",
         std::nullopt},
        {"keys_before_any_section", "Dice=9\n[Slot1]\nSides=6\n", "Slot1", "Dice", std::nullopt},
        {"comments_never_match", "[Slot1]\n;Dice=9\n # Dice=8\nDice=3\n", "Slot1", "Dice", u"3"_qs},
        {"header_without_bracket_is_no_header", "[Slot1]\n[Slot2\nDice=3\n", "Slot1", "Dice", u"3"_qs},
        {"header_without_bracket_opens_nothing", "[Slot1]\n[Slot2\nDice=3\n", "Slot2", "Dice", std::nullopt},
        {"header_blanks_and_trailing_text", "  [ Slot1 ] old\nDice=3\n", "Slot1", "Dice", u"3"_qs},
        {"value_holds_equals", "[Slot1]\nCaption=a=b\n", "Slot1", "Caption", u"a=b"_qs},
        {"byte_order_mark", "\xEF\xBB\xBF[Slot1]\nDice=3\n", "Slot1", "Dice", u"3"_qs},
        {"utf8", "[Slot1]\nCaption=Caf\xC3\xA9 \xE2\x82\xAC\n", "Slot1", "Caption", u"Café €"_qs},
        {"windows_1252", "[Slot1]\nCaption=Caf\xE9 \x80\n", "Slot1", "Caption", u"Café €"_qs},
        {"nul_ends_the_value", raw("[Slot1]\nDice=2\0 junk\nSides=6\n"), "Slot1", "Dice", u"2"_qs},
        {"utf16le", utf16(u"[Slot1]\r\nCaption=Café 😀\r\n"_qs), "Slot1", "Caption", u"Café 😀"_qs},
        {"utf16be", utf16(u"[slot1]\nDice= 3 \n"_qs, true), "Slot1", "Dice", u"3"_qs},
    };
    for (const auto& row : rows)
        EXPECT_EQ(readValue(row.content, row.section, row.key), row.expected) << row.name;
}

TEST(IniWrite, ChangesOnlyTheKeysLine)
{
    const struct {
        const char* name;
        QByteArray content;
        const char* section;
        const char* key;
        QString value;
        QByteArray expected;
    } rows[] = {
        {"replace_in_place", "; top\n[Slot1]\nEnabled=0\nCaption=Slot1\n\n[Options]\nQuickSlots=1\n", "slot1",
         "CAPTION", u"Fire"_qs, "; top\n[Slot1]\nEnabled=0\nCaption=Fire\n\n[Options]\nQuickSlots=1\n"},
        {"replace_keeps_key_as_written", "[slot1]\n  caption = Old \n", "Slot1", "Caption", u"Fire"_qs,
         "[slot1]\n  caption =Fire\n"},
        {"empty_value", "[Slot1]\nDice=3\n", "Slot1", "Dice", u""_qs, "[Slot1]\nDice=\n"},
        {"add_after_last_key_before_blank_and_comment", "[Slot1]\nEnabled=0\n\n; about Slot2\n[Slot2]\n",
         "Slot1", "Dice", u"3"_qs, "[Slot1]\nEnabled=0\nDice=3\n\n; about Slot2\n[Slot2]\n"},
        {"add_to_section_without_keys", "[Slot1]\n[Slot2]\n", "Slot1", "Dice", u"3"_qs,
         "[Slot1]\nDice=3\n[Slot2]\n"},
        {"add_after_unterminated_line", "[Slot1]\nEnabled=0", "Slot1", "Dice", u"3"_qs,
         "[Slot1]\nEnabled=0\nDice=3\n"},
        {"new_section_at_end", "[Slot1]\nEnabled=0\n", "Slot3", "Dice", u"3"_qs,
         "[Slot1]\nEnabled=0\n\n[Slot3]\nDice=3\n"},
        {"new_section_after_unterminated_line", "[Slot1]\nEnabled=0", "Slot3", "Dice", u"3"_qs,
         "[Slot1]\nEnabled=0\n\n[Slot3]\nDice=3\n"},
        {"new_section_after_blank_line", "[Slot1]\n\n", "Slot3", "Dice", u"3"_qs,
         "[Slot1]\n\n[Slot3]\nDice=3\n"},
        {"new_file", "", "Slot3", "Dice", u"3"_qs, "[Slot3]\nDice=3\n"},
        {"crlf_kept", "[Slot1]\r\nEnabled=0\r\n", "Slot1", "Dice", u"3"_qs,
         "[Slot1]\r\nEnabled=0\r\nDice=3\r\n"},
        {"lone_cr_kept", "[Slot1]\rEnabled=0\r", "Slot2", "Dice", u"3"_qs,
         "[Slot1]\rEnabled=0\r\r[Slot2]\rDice=3\r"},
        {"mixed_line_ends_never_merge", "K=1\n[Slot1]\r", "Slot3", "Dice", u"3"_qs,
         "K=1\n[Slot1]\r\r[Slot3]\rDice=3\r"},
        {"line_breaks_in_value_cannot_forge_lines", "[Slot1]\nCaption=x\n", "Slot1", "Caption",
         u"a\r\n[Options]\nQuickSlots=0"_qs, "[Slot1]\nCaption=a  [Options] QuickSlots=0\n"},
        {"header_without_bracket_kept", "[Slot1]\nEnabled=0\n[Slot2\n", "Slot1", "Dice", u"3"_qs,
         "[Slot1]\nEnabled=0\nDice=3\n[Slot2\n"},
        {"later_duplicate_section_untouched", "[Slot1]\nA=1\n[Slot1]\nDice=2\n", "Slot1", "Dice", u"3"_qs,
         "[Slot1]\nA=1\nDice=3\n[Slot1]\nDice=2\n"},
        {"windows_1252_stays_1252", "[Slot1]\nCaption=Caf\xE9\nDice=1\n", "Slot1", "Dice", u"Thé ☃"_qs,
         "[Slot1]\nCaption=Caf\xE9\nDice=Th\xE9 ?\n"},
        // Written as Windows-1252 the value would make the whole file valid UTF-8 and read back as "é".
        {"windows_1252_turned_utf8", "[Slot1]\nCaption=\xE9\n", "Slot1", "Caption", u"Ã©"_qs,
         "[Slot1]\nCaption=\xC3\x83\xC2\xA9\n"},
        {"nul_ends_the_value", "[Slot1]\nDice=1\n", "Slot1", "Dice", u"4\0x"_qs, "[Slot1]\nDice=4\n"},
        {"utf16_stays_utf16", utf16(u"[Slot1]\r\nCaption=Old\r\n"_qs, true), "Slot2", "Dice", u"é"_qs,
         utf16(u"[Slot1]\r\nCaption=Old\r\n\r\n[Slot2]\r\nDice=é\r\n"_qs, true)},
        {"utf16_odd_last_byte_kept", utf16(u"[Slot1]\nDice=1\n"_qs) + "\x41", "Slot1", "Dice", u"2"_qs,
         utf16(u"[Slot1]\nDice=2\n"_qs) + "\x41"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(writeValue(row.content, row.section, row.key, row.value), row.expected) << row.name;
}

TEST(IniCut, KeepsWholeCharacters)
{
    const QString emoji = u"😀"_qs;  // one character, two UTF-16 units
    EXPECT_EQ(cutValue(QString(48, u'x') + emoji + u"yz"_qs), QString(48, u'x') + emoji);
    EXPECT_EQ(cutValue(emoji.repeated(60)), emoji.repeated(49));
}

// The fuzzer's corpus, replayed with the fuzzer's own property checks.
TEST(IniFuzzCorpus, Replays)
{
    const QDir corpus(QStringLiteral(PROFILE_CORPUS_DIR));
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_GE(files.size(), 10);
    for (const QString& name : files) {
        QFile file(corpus.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        const QByteArray data = file.readAll();
        const auto failure =
            fuzz::checkProfileInput(reinterpret_cast<const std::uint8_t*>(data.constData()), data.size());
        EXPECT_FALSE(failure) << name.toStdString() << ": " << failure.value_or("");
    }
}

}  // namespace
}  // namespace tumblecast::ini
