// XMLNode: the node tree's properties (nodeName, childNodes, siblings, attributes …) and methods (appendChild,
// insertBefore, removeNode, cloneNode, toString).
#include "swf/avm1/builtins.h"
#include "swf/avm1/xmlnode.h"

#include <algorithm>

namespace swf::avm1 {

std::size_t XmlNodeObject::indexInParent() const
{
    const auto& siblings = parent->children;
    return std::size_t(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

bool XmlNodeObject::isAncestorOf(const XmlNodeObject* node) const
{
    for (const XmlNodeObject* cur = node; cur; cur = cur->parent) {
        if (cur == this) {
            return true;
        }
    }
    return false;
}

void XmlNodeObject::detach()
{
    if (parent) {
        parent->children.erase(parent->children.begin() + std::ptrdiff_t(indexInParent()));
        parent = nullptr;
    }
}

XmlNodeObject* newXmlNode(Vm& vm, int type, const Value& nameOrValue, Object* proto)
{
    if (!proto) {
        proto = vm.get(vm.get(Value(vm.global()), "XMLNode"), "prototype").asObject();
    }
    auto* node = vm.adopt(std::make_unique<XmlNodeObject>(proto, vm.version() >= 7));
    node->nodeType = type;
    (type == xmltype::Text ? node->nodeValue : node->nodeName) = nameOrValue;
    node->attributes = vm.newObject();
    return node;
}

std::string xmlEscape(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&apos;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string xmlToString(Vm& vm, const XmlNodeObject& node)
{
    if (node.nodeType == xmltype::Text) {
        return xmlEscape(vm.toString(node.nodeValue));
    }
    std::string inner;
    for (const XmlNodeObject* child : node.children) {
        inner += xmlToString(vm, *child);
    }
    if (node.nodeName.isNullish()) {
        return inner;
    }
    const std::string name = vm.toString(node.nodeName);
    std::string out = "<" + name;
    for (const Property* p : node.attributes->ownProperties()) {
        out += " " + p->name + "=\"" + xmlEscape(vm.toString(vm.get(Value(node.attributes), p->name))) + "\"";
    }
    return node.children.empty() ? out + " />" : out + ">" + inner + "</" + name + ">";
}

namespace {

XmlNodeObject* thisNode(const Value& self)
{
    return dynamic_cast<XmlNodeObject*>(self.asObject());
}

Value nodeOrNull(XmlNodeObject* node)
{
    return node ? Value(static_cast<Object*>(node)) : Value::null();
}

Value xmlNodeConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    if (XmlNodeObject* node = thisNode(self)) {
        node->nodeType = int(vm.toNumber(arg(args, 0)));
        const Value text(vm.toString(arg(args, 1)));
        (node->nodeType == xmltype::Text ? node->nodeValue : node->nodeName) = text;
    }
    return Value();
}

// A read-only member computed from the node; undefined on objects that are not nodes.
template <class F>
NativeFunction reader(F read)
{
    return [read](Vm& vm, const Value& self, const std::vector<Value>&) {
        XmlNodeObject* node = thisNode(self);
        return node ? read(vm, *node) : Value();
    };
}

Value childNodes(Vm& vm, XmlNodeObject& node)
{
    if (!node.childArray) {
        node.childArray = vm.newArray();
    }
    node.childArray->elements.clear();
    node.childArray->fillHoles();
    for (XmlNodeObject* child : node.children) {
        node.childArray->elements.push_back(Value(static_cast<Object*>(child)));
    }
    return Value(static_cast<Object*>(node.childArray));
}

Value sibling(XmlNodeObject& node, int step)
{
    if (!node.parent) {
        return Value::null();
    }
    const auto at = std::ptrdiff_t(node.indexInParent()) + step;
    const auto& siblings = node.parent->children;
    return at >= 0 && at < std::ptrdiff_t(siblings.size()) ? nodeOrNull(siblings[std::size_t(at)]) : Value::null();
}

void insertChild(XmlNodeObject& parent, XmlNodeObject* child, std::size_t at)
{
    child->detach();
    at = std::min(at, parent.children.size());
    parent.children.insert(parent.children.begin() + std::ptrdiff_t(at), child);
    child->parent = &parent;
}

Value appendChild(Vm&, const Value& self, const std::vector<Value>& args)
{
    XmlNodeObject* node = thisNode(self);
    XmlNodeObject* child = thisNode(arg(args, 0));
    if (node && child && !child->isAncestorOf(node)) {
        insertChild(*node, child, node->children.size());
    }
    return Value();
}

Value insertBefore(Vm&, const Value& self, const std::vector<Value>& args)
{
    XmlNodeObject* node = thisNode(self);
    XmlNodeObject* child = thisNode(arg(args, 0));
    XmlNodeObject* before = thisNode(arg(args, 1));
    if (node && child && before && before->parent == node && child != before && !child->isAncestorOf(node)) {
        child->detach();
        insertChild(*node, child, before->indexInParent());
    }
    return Value();
}

Value removeNode(Vm&, const Value& self, const std::vector<Value>&)
{
    if (XmlNodeObject* node = thisNode(self)) {
        node->detach();
    }
    return Value();
}

XmlNodeObject* cloneTree(Vm& vm, const XmlNodeObject& node, bool deep)
{
    XmlNodeObject* copy = newXmlNode(vm, node.nodeType, Value(), node.proto());
    copy->nodeName = node.nodeName;
    copy->nodeValue = node.nodeValue;
    for (const Property* p : node.attributes->ownProperties()) {
        copy->attributes->put(p->name, p->value);
    }
    for (const XmlNodeObject* child : deep ? node.children : std::vector<XmlNodeObject*>{}) {
        insertChild(*copy, cloneTree(vm, *child, true), copy->children.size());
    }
    return copy;
}

Value cloneNode(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    XmlNodeObject* node = thisNode(self);
    return node ? Value(static_cast<Object*>(cloneTree(vm, *node, toBoolean(arg(args, 0), vm.version())))) : Value();
}

Value hasChildNodes(Vm&, const Value& self, const std::vector<Value>&)
{
    XmlNodeObject* node = thisNode(self);
    return node ? Value(!node->children.empty()) : Value();
}

Value nodeToString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    XmlNodeObject* node = thisNode(self);
    return node ? Value(xmlToString(vm, *node)) : Value();
}

// nodeName and nodeValue are values the script may replace with a string or null; undefined leaves them alone.
NativeFunction writer(Value XmlNodeObject::*field)
{
    return [field](Vm& vm, const Value& self, const std::vector<Value>& args) {
        XmlNodeObject* node = thisNode(self);
        const Value v = arg(args, 0);
        if (node && !v.isUndefined()) {
            node->*field = v.isNull() ? Value::null() : Value(vm.toString(v));
        }
        return Value();
    };
}

// The parts of a qualified name "prefix:local"; null for nodes without a name.
Value namePart(Vm& vm, const XmlNodeObject& node, bool prefix)
{
    if (node.nodeName.isNullish()) {
        return Value::null();
    }
    const std::string name = vm.toString(node.nodeName);
    const std::size_t colon = name.find(':');
    if (colon == std::string::npos) {
        return Value(prefix ? std::string() : name);
    }
    return Value(prefix ? name.substr(0, colon) : name.substr(colon + 1));
}

void installNodeMembers(Vm& vm, Object* proto)
{
    addGetter(vm, proto, "nodeType", reader([](Vm&, XmlNodeObject& n) { return Value(n.nodeType); }));
    addGetter(vm, proto, "nodeName", reader([](Vm&, XmlNodeObject& n) { return n.nodeName; }),
        writer(&XmlNodeObject::nodeName));
    addGetter(vm, proto, "nodeValue", reader([](Vm&, XmlNodeObject& n) { return n.nodeValue; }),
        writer(&XmlNodeObject::nodeValue));
    addGetter(vm, proto, "childNodes", reader(childNodes));
    addGetter(vm, proto, "localName", reader([](Vm& vm, XmlNodeObject& n) { return namePart(vm, n, false); }));
    addGetter(vm, proto, "prefix", reader([](Vm& vm, XmlNodeObject& n) { return namePart(vm, n, true); }));
    addGetter(vm, proto, "attributes", reader([](Vm&, XmlNodeObject& n) { return Value(n.attributes); }));
    addGetter(vm, proto, "parentNode", reader([](Vm&, XmlNodeObject& n) { return nodeOrNull(n.parent); }));
    addGetter(vm, proto, "firstChild", reader([](Vm&, XmlNodeObject& n) {
        return n.children.empty() ? Value::null() : nodeOrNull(n.children.front());
    }));
    addGetter(vm, proto, "lastChild", reader([](Vm&, XmlNodeObject& n) {
        return n.children.empty() ? Value::null() : nodeOrNull(n.children.back());
    }));
    addGetter(vm, proto, "previousSibling", reader([](Vm&, XmlNodeObject& n) { return sibling(n, -1); }));
    addGetter(vm, proto, "nextSibling", reader([](Vm&, XmlNodeObject& n) { return sibling(n, 1); }));
    vm.method(proto, "appendChild", appendChild);
    vm.method(proto, "insertBefore", insertBefore);
    vm.method(proto, "removeNode", removeNode);
    vm.method(proto, "cloneNode", cloneNode);
    vm.method(proto, "hasChildNodes", hasChildNodes);
    vm.method(proto, "toString", nodeToString);
}

}  // namespace

void installXmlNode(Vm& vm)
{
    Object* proto = vm.newObject();
    FunctionObject* ctor = makeClass(vm, "XMLNode", proto, xmlNodeConstructor);
    ctor->makeInstance = [](Vm& vm) -> Object* { return newXmlNode(vm, xmltype::Element, Value::null()); };
    installNodeMembers(vm, proto);
}

}  // namespace swf::avm1
