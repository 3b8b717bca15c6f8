// XML: the document class over XMLNode, with a tolerant parser that keeps what it read before an error and reports
// the error in status as Flash does (0 good, -2 CDATA, -3 declaration, -4 DOCTYPE, -5 comment, -6 element,
// -8 attribute, -9 unclosed element, -10 end tag without start).
#include "swf/avm1/builtins.h"
#include "swf/avm1/xmlnode.h"

#include <cstdlib>

namespace swf::avm1 {

namespace {

namespace status {
inline constexpr int Ok = 0;
inline constexpr int CdataNotTerminated = -2;
inline constexpr int DeclarationNotTerminated = -3;
inline constexpr int DoctypeNotTerminated = -4;
inline constexpr int CommentNotTerminated = -5;
inline constexpr int MalformedElement = -6;
inline constexpr int AttributeNotTerminated = -8;
inline constexpr int UnclosedElement = -9;
inline constexpr int EndWithoutStart = -10;
}  // namespace status

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Decodes the five named entities and numeric character references; anything else is kept as written.
std::string unescape(const std::string& text)
{
    static const struct {
        const char* entity;
        char c;
    } named[] = {{"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        bool done = false;
        if (text[i] == '&') {
            for (const auto& n : named) {
                if (text.compare(i, std::char_traits<char>::length(n.entity), n.entity) == 0) {
                    out += n.c;
                    i += std::char_traits<char>::length(n.entity) - 1;
                    done = true;
                    break;
                }
            }
            const std::size_t end = text.find(';', i);
            if (!done && text.compare(i, 2, "&#") == 0 && end != std::string::npos && end - i < 12) {
                const bool hex = i + 2 < text.size() && (text[i + 2] == 'x' || text[i + 2] == 'X');
                const unsigned long code = std::strtoul(text.c_str() + i + (hex ? 3 : 2), nullptr, hex ? 16 : 10);
                if (code > 0 && code < 0x110000) {
                    out += codePointToUtf8(std::uint32_t(code));
                    i = end;
                    done = true;
                }
            }
        }
        if (!done) {
            out += text[i];
        }
    }
    return out;
}

class Parser {
public:
    Parser(Vm& vm, const std::string& text, XmlNodeObject* document, bool ignoreWhite)
        : m_vm(vm), m_s(text), m_ignoreWhite(ignoreWhite)
    {
        m_open.push_back(document);
    }
    int run();
    std::string xmlDecl;
    std::string docTypeDecl;

private:
    int markup();
    int special(const char* open, const char* close, int error, std::string* keep);
    int element();
    int endTag();
    int attribute(XmlNodeObject* node);
    void text();
    void append(XmlNodeObject* node) { append(m_open.back(), node); }
    static void append(XmlNodeObject* parent, XmlNodeObject* node)
    {
        parent->children.push_back(node);
        node->parent = parent;
    }

    Vm& m_vm;
    const std::string& m_s;
    bool m_ignoreWhite;
    std::size_t m_pos = 0;
    std::vector<XmlNodeObject*> m_open;
};

int Parser::run()
{
    while (m_pos < m_s.size()) {
        if (m_s[m_pos] != '<') {
            text();
            continue;
        }
        if (const int error = markup(); error != status::Ok) {
            return error;
        }
    }
    return m_open.size() > 1 ? status::UnclosedElement : status::Ok;
}

int Parser::markup()
{
    if (m_s.compare(m_pos, 2, "<?") == 0) {
        return special("<?", "?>", status::DeclarationNotTerminated, &xmlDecl);
    }
    if (m_s.compare(m_pos, 4, "<!--") == 0) {
        return special("<!--", "-->", status::CommentNotTerminated, nullptr);
    }
    if (m_s.compare(m_pos, 9, "<![CDATA[") == 0) {
        const std::size_t end = m_s.find("]]>", m_pos);
        if (end == std::string::npos) {
            return status::CdataNotTerminated;
        }
        append(newXmlNode(m_vm, xmltype::Text, Value(m_s.substr(m_pos + 9, end - m_pos - 9))));
        m_pos = end + 3;
        return status::Ok;
    }
    if (m_s.compare(m_pos, 2, "<!") == 0) {
        return special("<!", ">", status::DoctypeNotTerminated, &docTypeDecl);
    }
    return m_s.compare(m_pos, 2, "</") == 0 ? endTag() : element();
}

// Declarations, comments and DOCTYPE: skipped, or kept whole in `keep`.
int Parser::special(const char* open, const char* close, int error, std::string* keep)
{
    const std::size_t end = m_s.find(close, m_pos + std::char_traits<char>::length(open));
    if (end == std::string::npos) {
        return error;
    }
    const std::size_t next = end + std::char_traits<char>::length(close);
    if (keep) {
        *keep += m_s.substr(m_pos, next - m_pos);
    }
    m_pos = next;
    return status::Ok;
}

int Parser::endTag()
{
    const std::size_t end = m_s.find('>', m_pos);
    if (end == std::string::npos) {
        return status::MalformedElement;
    }
    std::string name = m_s.substr(m_pos + 2, end - m_pos - 2);
    while (!name.empty() && isSpace(name.back())) {
        name.pop_back();
    }
    m_pos = end + 1;
    if (m_open.size() < 2) {
        return status::EndWithoutStart;
    }
    if (m_vm.toString(m_open.back()->nodeName) != name) {
        return status::UnclosedElement;
    }
    m_open.pop_back();
    return status::Ok;
}

int Parser::element()
{
    std::size_t i = m_pos + 1;
    while (i < m_s.size() && !isSpace(m_s[i]) && m_s[i] != '/' && m_s[i] != '>') {
        ++i;
    }
    if (i == m_pos + 1 || i >= m_s.size()) {
        return status::MalformedElement;
    }
    XmlNodeObject* node = newXmlNode(m_vm, xmltype::Element, Value(m_s.substr(m_pos + 1, i - m_pos - 1)));
    append(node);
    m_pos = i;
    while (true) {
        while (m_pos < m_s.size() && isSpace(m_s[m_pos])) {
            ++m_pos;
        }
        if (m_pos >= m_s.size()) {
            return status::MalformedElement;
        }
        if (m_s.compare(m_pos, 2, "/>") == 0) {
            m_pos += 2;
            return status::Ok;
        }
        if (m_s[m_pos] == '>') {
            ++m_pos;
            m_open.push_back(node);
            return status::Ok;
        }
        if (const int error = attribute(node); error != status::Ok) {
            return error;
        }
    }
}

int Parser::attribute(XmlNodeObject* node)
{
    const std::size_t equals = m_s.find('=', m_pos);
    if (equals == std::string::npos) {
        return status::MalformedElement;
    }
    std::string name = m_s.substr(m_pos, equals - m_pos);
    while (!name.empty() && isSpace(name.back())) {
        name.pop_back();
    }
    std::size_t quote = equals + 1;
    while (quote < m_s.size() && isSpace(m_s[quote])) {
        ++quote;
    }
    if (name.empty() || quote >= m_s.size() || (m_s[quote] != '"' && m_s[quote] != '\'')) {
        return status::MalformedElement;
    }
    const std::size_t end = m_s.find(m_s[quote], quote + 1);
    if (end == std::string::npos) {
        return status::AttributeNotTerminated;
    }
    node->attributes->put(name, Value(unescape(m_s.substr(quote + 1, end - quote - 1))));
    m_pos = end + 1;
    return status::Ok;
}

void Parser::text()
{
    std::size_t end = m_s.find('<', m_pos);
    if (end == std::string::npos) {
        end = m_s.size();
    }
    const std::string raw = m_s.substr(m_pos, end - m_pos);
    m_pos = end;
    bool white = true;
    for (char c : raw) {
        white = white && isSpace(c);
    }
    if (!(m_ignoreWhite && white)) {
        append(newXmlNode(m_vm, xmltype::Text, Value(unescape(raw))));
    }
}

XmlNodeObject* thisDocument(const Value& self)
{
    return dynamic_cast<XmlNodeObject*>(self.asObject());
}

Value parseXml(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    XmlNodeObject* document = thisDocument(self);
    if (!document) {
        return Value();
    }
    for (XmlNodeObject* child : document->children) {
        child->parent = nullptr;
    }
    document->children.clear();
    const std::string text = vm.toString(arg(args, 0));
    Parser parser(vm, text, document, toBoolean(vm.get(self, "ignoreWhite"), vm.version()));
    const int result = parser.run();
    document->put("status", Value(result));
    document->put("xmlDecl", parser.xmlDecl.empty() ? Value() : Value(parser.xmlDecl));
    document->put("docTypeDecl", parser.docTypeDecl.empty() ? Value() : Value(parser.docTypeDecl));
    return Value();
}

Value xmlConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (XmlNodeObject* document = thisDocument(self)) {
        document->put("status", Value(status::Ok));
        if (!args.empty() && !args[0].isNullish()) {
            parseXml(vm, self, args);
        }
    }
    return Value();
}

Value xmlToStringMethod(Vm& vm, const Value& self, const std::vector<Value>&)
{
    XmlNodeObject* document = thisDocument(self);
    if (!document) {
        return Value();
    }
    std::string out;
    for (const char* name : {"xmlDecl", "docTypeDecl"}) {
        const Value part = vm.get(self, name);
        out += part.isNullish() ? "" : vm.toString(part);
    }
    return Value(out + xmlToString(vm, *document));
}

Value createNode(Vm& vm, int type, const std::vector<Value>& args)
{
    return Value(static_cast<Object*>(newXmlNode(vm, type, Value(vm.toString(arg(args, 0))))));
}

// The default onData: parses the loaded text and reports through onLoad.
Value onData(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    const Value text = arg(args, 0);
    if (!text.isUndefined()) {
        parseXml(vm, self, {text});
    }
    vm.set(self, "loaded", Value(!text.isUndefined()));
    vm.call(vm.get(self, "onLoad"), self, {Value(!text.isUndefined())});
    return Value();
}

}  // namespace

void installXmlNode(Vm& vm);

void installXml(Vm& vm)
{
    installXmlNode(vm);
    Object* nodeProto = vm.get(vm.get(Value(vm.global()), "XMLNode"), "prototype").asObject();
    Object* proto = vm.newObject(nodeProto);
    FunctionObject* ctor = makeClass(vm, "XML", proto, xmlConstructor);
    ctor->makeInstance = [proto](Vm& vm) -> Object* { return newXmlNode(vm, xmltype::Element, Value::null(), proto); };
    vm.method(proto, "parseXML", parseXml);
    vm.method(proto, "toString", xmlToStringMethod);
    vm.method(proto, "createElement", [](Vm& vm, const Value&, const std::vector<Value>& args) {
        return createNode(vm, xmltype::Element, args);
    });
    vm.method(proto, "createTextNode", [](Vm& vm, const Value&, const std::vector<Value>& args) {
        return createNode(vm, xmltype::Text, args);
    });
    vm.method(proto, "load", loadTextLater);
    vm.method(proto, "onData", onData);
    vm.method(proto, "send", sendText);
    vm.method(proto, "sendAndLoad", sendAndLoadText);
    vm.method(proto, "addRequestHeader", [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    vm.method(proto, "onLoad", [](Vm&, const Value&, const std::vector<Value>&) { return Value(); });
    proto->put("ignoreWhite", Value(false), prop::Hidden);
    proto->put("contentType", Value("application/x-www-form-urlencoded"), prop::Hidden);
}

}  // namespace swf::avm1
