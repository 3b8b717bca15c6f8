// The tree behind ActionScript's XMLNode and XML objects: node kinds, children and the text form they print.
#pragma once

#include "swf/avm1/object.h"

#include <string>
#include <vector>

namespace swf::avm1 {

namespace xmltype {
inline constexpr int Element = 1;
inline constexpr int Text = 3;
}  // namespace xmltype

class XmlNodeObject : public Object {
public:
    using Object::Object;
    int nodeType = xmltype::Element;
    Value nodeName = Value::null();  // null for text nodes and the document
    Value nodeValue = Value::null();  // null for elements
    XmlNodeObject* parent = nullptr;
    std::vector<XmlNodeObject*> children;
    Object* attributes = nullptr;
    ArrayObject* childArray = nullptr;  // what childNodes gives, kept in step with children

    std::size_t indexInParent() const;
    bool isAncestorOf(const XmlNodeObject* node) const;
    void detach();
};

class Vm;

// A new node with the XMLNode prototype the scripts see now (or the given one) and an empty attributes object.
XmlNodeObject* newXmlNode(Vm& vm, int type, const Value& nameOrValue, Object* proto = nullptr);
// The node's text form: escaped text, "<a x=\"1\" />" or "<a>...</a>"; a document prints its children.
std::string xmlToString(Vm& vm, const XmlNodeObject& node);
// Escapes & < > " ' as XML entities.
std::string xmlEscape(const std::string& text);

}  // namespace swf::avm1
