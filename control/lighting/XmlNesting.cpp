#include "XmlNesting.h"

#include <cctype>

namespace {

class Scanner
{
public:
    explicit Scanner(const QByteArray &xml) : m_text(xml.constData()), m_size(xml.size()) {}

    bool atEnd() const { return m_at >= m_size; }
    char at(int offset = 0) const { return m_at + offset < m_size ? m_text[m_at + offset] : '\0'; }
    void advance(int n = 1) { m_at += n; }

    bool startsWith(const char *prefix) const
    {
        for (int i = 0; prefix[i]; ++i) {
            if (at(i) != prefix[i])
                return false;
        }
        return true;
    }

    // Moves past the next `terminator`, or to the end when there is none.
    void skipPast(const char *terminator)
    {
        while (!atEnd() && !startsWith(terminator))
            advance();
        for (int i = 0; terminator[i] && !atEnd(); ++i)
            advance();
    }

    // Moves past the '>' that ends the tag begun here, passing over quoted values.
    // True when the tag closes itself ("/>").
    bool skipTag()
    {
        char quote = 0;
        char previous = 0;
        for (; !atEnd(); advance()) {
            const char c = at();
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                advance();
                return previous == '/';
            }
            previous = c;
        }
        return false;
    }

private:
    const char *m_text;
    int m_size;
    int m_at = 0;
};

bool startsElementName(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    // Bytes of multi-byte UTF-8 characters count as letters, as they do for the parser.
    return std::isalpha(byte) || c == '_' || byte >= 127;
}

} // namespace

int XmlNesting::maxDepth(const QByteArray &xml, int limit)
{
    Scanner scanner(xml);
    int depth = 0;
    int deepest = 0;
    while (!scanner.atEnd()) {
        if (scanner.at() != '<') {
            scanner.advance();
        } else if (scanner.startsWith("<!--")) {
            scanner.skipPast("-->");
        } else if (scanner.startsWith("<![CDATA[")) {
            scanner.skipPast("]]>");
        } else if (scanner.startsWith("</")) {
            if (depth > 0)
                --depth;
            scanner.skipPast(">");
        } else if (startsElementName(scanner.at(1))) {
            scanner.advance();
            ++depth;
            if (depth > deepest) {
                deepest = depth;
                if (deepest > limit)
                    return deepest;
            }
            if (scanner.skipTag())
                --depth;
        } else {
            // "<?...>", "<!DOCTYPE ...>" and stray '<': read up to the first '>'.
            scanner.advance();
            scanner.skipPast(">");
        }
    }
    return deepest;
}
