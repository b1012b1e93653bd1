#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tumblecast {

// A place in a text counted from 0: TextOffset in bytes, LineNumber in lines. Each is its own type, so that
// one is never passed where the other is meant; lengths and counts stay plain numbers.
template <class Tag>
struct TextPlace {
    std::uint64_t value = 0;

    constexpr TextPlace() = default;
    constexpr explicit TextPlace(std::uint64_t v) : value(v) {}
    constexpr auto operator<=>(const TextPlace&) const = default;
    constexpr TextPlace operator+(std::uint64_t n) const { return TextPlace(value + n); }
    constexpr TextPlace operator-(std::uint64_t n) const { return TextPlace(value - n); }
    constexpr std::uint64_t operator-(TextPlace from) const { return value - from.value; }
};
using TextOffset = TextPlace<struct TextOffsetTag>;
using LineNumber = TextPlace<struct LineNumberTag>;

// Read access to a text that may be far larger than anything a widget could hold. Lines are separated by
// LF; a CR before the LF belongs to the line end, not to the line. A text that ends with a line end has
// an empty last line, as a text box shows it.
class TextSource {
public:
    // Receives a text in order, piece by piece; a piece is valid only during the call.
    using PieceSink = std::function<void(std::string_view)>;
    // Pieces are about this long, so that a text of gigabytes passes through a bounded buffer.
    static constexpr std::uint64_t kPieceBytes = 1 << 20;

    virtual ~TextSource() = default;

    virtual std::uint64_t size() const = 0;
    virtual std::uint64_t lineCount() const = 0;
    // Offset of the first character of line k, k < lineCount().
    virtual TextOffset lineStart(LineNumber k) const = 0;
    // Length of line k without its line end.
    virtual std::uint64_t lineLength(LineNumber k) const = 0;
    // The longest lineLength() of the text, for horizontal scrolling.
    virtual std::uint64_t longestLine() const = 0;
    // The line containing offset (offset == size() is in the last line).
    virtual LineNumber lineAt(TextOffset offset) const = 0;
    virtual std::string slice(TextOffset offset, std::uint64_t length) const = 0;
    // Hands [offset, offset + length) clipped to the text to sink, in pieces of about kPieceBytes.
    virtual void forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const;

    // Whether the text is empty, and line k without its line end. A source that renders its text may
    // answer both without learning where anything is: a view paints far lines without any offset.
    virtual bool empty() const { return size() == 0; }
    virtual std::string line(LineNumber k) const { return slice(lineStart(k), lineLength(k)); }
};

// The whole text in memory, with an index of line starts kept up to date by every append.
class BufferSource final : public TextSource {
public:
    BufferSource();

    void clear();
    void append(std::string_view text);
    const std::string& text() const { return m_text; }

    std::uint64_t size() const override { return m_text.size(); }
    std::uint64_t lineCount() const override { return m_lineStarts.size(); }
    TextOffset lineStart(LineNumber k) const override { return TextOffset(m_lineStarts[k.value]); }
    std::uint64_t lineLength(LineNumber k) const override;
    std::uint64_t longestLine() const override { return m_longest; }
    LineNumber lineAt(TextOffset offset) const override;
    std::string slice(TextOffset offset, std::uint64_t length) const override;
    void forEachPiece(TextOffset offset, std::uint64_t length, const PieceSink& sink) const override;

private:
    std::string m_text;
    std::vector<std::uint64_t> m_lineStarts;
    std::uint64_t m_longest = 0;
};

}  // namespace tumblecast
