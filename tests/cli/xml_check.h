// A strict reader of the XML that pellam-cli writes (a declaration, elements,
// attributes, character data, the five entities and character references),
// for tests: it refuses what an XML 1.0 parser refuses in such a document
// (bytes that are not UTF-8, characters XML cannot hold, a bare & or <,
// unquoted or repeated attributes, tags that do not match) and gives back
// the tree with attribute values and text decoded.
#pragma once

#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pellam::test {

struct XmlElement {
    std::string name;
    std::map<std::string, std::string> attributes;
    std::vector<XmlElement> children;
    std::string text;

    std::vector<const XmlElement*> all(std::string_view childName) const {
        std::vector<const XmlElement*> found;
        for (const XmlElement& c : children)
            if (c.name == childName)
                found.push_back(&c);
        return found;
    }
};

class XmlReader {
public:
    explicit XmlReader(std::string_view text)
        : m_text(text) {}

    // The root element, or nullopt with error() saying where it went wrong.
    std::optional<XmlElement> read() {
        if (!validCharacters())
            return std::nullopt;
        if (m_text.substr(0, 5) == "<?xml") {
            const std::size_t end = m_text.find("?>");
            if (end == std::string_view::npos) {
                fail("unterminated declaration");
                return std::nullopt;
            }
            m_pos = end + 2;
        }
        skipBlanks();
        XmlElement root;
        if (!element(root))
            return std::nullopt;
        skipBlanks();
        if (m_pos != m_text.size()) {
            fail("content after the root element");
            return std::nullopt;
        }
        return root;
    }

    const std::string& error() const { return m_error; }

private:
    bool fail(const std::string& why) {
        m_error = why + " at byte " + std::to_string(m_pos);
        return false;
    }

    // Every character is valid UTF-8 and an XML Char.
    bool validCharacters() {
        for (std::size_t i = 0; i < m_text.size();) {
            const auto b = static_cast<unsigned char>(m_text[i]);
            std::uint32_t cp = 0;
            std::size_t n = 0;
            if (b < 0x80) {
                cp = b;
                n = 1;
            } else if ((b & 0xE0) == 0xC0) {
                cp = b & 0x1F;
                n = 2;
            } else if ((b & 0xF0) == 0xE0) {
                cp = b & 0x0F;
                n = 3;
            } else if ((b & 0xF8) == 0xF0) {
                cp = b & 0x07;
                n = 4;
            } else {
                m_pos = i;
                return fail("a byte that begins no UTF-8 character");
            }
            if (i + n > m_text.size()) {
                m_pos = i;
                return fail("a cut UTF-8 character");
            }
            for (std::size_t k = 1; k < n; ++k) {
                const auto c = static_cast<unsigned char>(m_text[i + k]);
                if ((c & 0xC0) != 0x80) {
                    m_pos = i;
                    return fail("a bad UTF-8 continuation byte");
                }
                cp = cp << 6 | (c & 0x3F);
            }
            const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
            const bool isChar = cp == 0x9 || cp == 0xA || cp == 0xD ||
                                (cp >= 0x20 && cp <= 0xD7FF) || (cp >= 0xE000 && cp <= 0xFFFD) ||
                                (cp >= 0x10000 && cp <= 0x10FFFF);
            if (cp < least[n] || !isChar) {
                m_pos = i;
                return fail("a character XML cannot hold");
            }
            i += n;
        }
        return true;
    }

    void skipBlanks() {
        while (m_pos < m_text.size() && std::string_view(" \t\r\n").find(m_text[m_pos]) !=
                                            std::string_view::npos)
            ++m_pos;
    }

    std::string name() {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               (std::isalnum(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '_' ||
                m_text[m_pos] == '-' || m_text[m_pos] == ':' || m_text[m_pos] == '.'))
            ++m_pos;
        return std::string(m_text.substr(start, m_pos - start));
    }

    // Character data up to the stop character, entities decoded.
    bool characters(char stop, std::string& out) {
        while (m_pos < m_text.size() && m_text[m_pos] != stop) {
            const char c = m_text[m_pos];
            if (c == '<')
                return fail("a bare <");
            if (c != '&') {
                out += c;
                ++m_pos;
                continue;
            }
            const std::size_t end = m_text.find(';', m_pos);
            if (end == std::string_view::npos)
                return fail("a bare &");
            const std::string_view entity = m_text.substr(m_pos + 1, end - m_pos - 1);
            static const std::map<std::string_view, char> named = {
                {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
            if (const auto it = named.find(entity); it != named.end()) {
                out += it->second;
            } else if (entity.size() > 1 && entity[0] == '#') {
                const bool hex = entity[1] == 'x';
                const std::string digits(entity.substr(hex ? 2 : 1));
                if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF"
                                                                    : "0123456789") !=
                                          std::string::npos)
                    return fail("a bad character reference");
                const unsigned long cp = std::stoul(digits, nullptr, hex ? 16 : 10);
                if (!(cp == 9 || cp == 10 || cp == 13 || (cp >= 0x20 && cp < 0x80)))
                    return fail("a character reference outside what is written");
                out += static_cast<char>(cp);
            } else {
                return fail("an unknown entity");
            }
            m_pos = end + 1;
        }
        return true;
    }

    bool element(XmlElement& e) {
        if (m_pos >= m_text.size() || m_text[m_pos] != '<')
            return fail("no element");
        ++m_pos;
        e.name = name();
        if (e.name.empty())
            return fail("an element without a name");
        for (;;) {
            skipBlanks();
            if (m_text.substr(m_pos, 2) == "/>") {
                m_pos += 2;
                return true;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '>') {
                ++m_pos;
                break;
            }
            const std::string attribute = name();
            if (attribute.empty() || m_text.substr(m_pos, 2) != "=\"")
                return fail("a bad attribute");
            m_pos += 2;
            std::string value;
            if (!characters('"', value) || m_pos >= m_text.size())
                return fail("an unterminated attribute");
            ++m_pos;
            if (!e.attributes.emplace(attribute, value).second)
                return fail("a repeated attribute");
        }
        for (;;) {
            if (!characters('<', e.text))
                return false;
            if (m_pos >= m_text.size())
                return fail("an unclosed element " + e.name);
            if (m_text.substr(m_pos, 2) == "</") {
                m_pos += 2;
                if (name() != e.name || m_pos >= m_text.size() || m_text[m_pos] != '>')
                    return fail("a closing tag that does not match " + e.name);
                ++m_pos;
                return true;
            }
            e.children.emplace_back();
            if (!element(e.children.back()))
                return false;
        }
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    std::string m_error;
};

} // namespace pellam::test
