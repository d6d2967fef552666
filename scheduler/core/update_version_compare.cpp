#include "scheduler/core/update_version_compare.h"

#include <cstddef>

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'.' || c == L',' || c == L' ';
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Walks the pieces of one version text.
class PieceReader {
  public:
    explicit PieceReader(std::wstring_view text) : m_text(text) {}

    // The next piece, or false when none is left.
    bool Next(std::wstring_view& piece) {
        while (m_position < m_text.size() && IsSeparator(m_text[m_position]))
            ++m_position;
        if (m_position == m_text.size())
            return false;
        const size_t start = m_position;
        while (m_position < m_text.size() && !IsSeparator(m_text[m_position]))
            ++m_position;
        piece = m_text.substr(start, m_position - start);
        return true;
    }

  private:
    std::wstring_view m_text;
    size_t m_position = 0;
};

// The piece's leading digits without leading zeros: its value, whatever its length, as a digit
// string that compares by length first and then digit by digit.
std::wstring_view SignificantDigits(std::wstring_view piece) {
    size_t end = 0;
    while (end < piece.size() && IsDigit(piece[end]))
        ++end;
    size_t start = 0;
    while (start < end && piece[start] == L'0')
        ++start;
    return piece.substr(start, end - start);
}

int ComparePieces(std::wstring_view a, std::wstring_view b) {
    const std::wstring_view digitsA = SignificantDigits(a);
    const std::wstring_view digitsB = SignificantDigits(b);
    if (digitsA.size() != digitsB.size())
        return digitsA.size() > digitsB.size() ? 1 : -1;
    const int order = digitsA.compare(digitsB);
    return order > 0 ? 1 : order < 0 ? -1 : 0;
}

}  // namespace

int CompareVersions(std::wstring_view a, std::wstring_view b) {
    PieceReader readerA(a);
    PieceReader readerB(b);
    for (;;) {
        std::wstring_view pieceA;
        std::wstring_view pieceB;
        const bool hasA = readerA.Next(pieceA);
        const bool hasB = readerB.Next(pieceB);
        if (!hasA && !hasB)
            return 0;
        if (!hasA)
            return -1;
        if (!hasB)
            return 1;
        const int order = ComparePieces(pieceA, pieceB);
        if (order != 0)
            return order;
    }
}
