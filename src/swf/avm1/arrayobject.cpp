// Arrays' elements: reading and writing them as properties, their flags, their order of creation and the length.
#include "swf/avm1/arrayobject.h"

#include "swf/avm1/vm.h"
#include "swf/limits.h"

#include <algorithm>

namespace swf::avm1 {

bool ArrayObject::getSpecial(Vm&, const std::string& name, Value& out)
{
    if (name == "length") {
        out = Value(double(length()));
        return true;
    }
    const long long index = arrayIndex(name);
    if (index >= 0 && has(std::size_t(index))) {
        out = elements[std::size_t(index)];
        return true;
    }
    return false;
}

bool ArrayObject::resize(double length)
{
    if (!(length >= 0) || length > double(limits::kAvm1MaxArrayLength)) {
        return false;
    }
    const std::size_t before = elements.size();
    const auto after = std::size_t(length);
    if (after > before) {
        present.resize(before, true);  // the elements there keep existing
        present.resize(after, false);  // the new slots are holes
    } else if (present.size() > after) {
        present.resize(after);
    }
    elements.resize(after);
    if (m_stamps.size() > after) {
        m_stamps.resize(after);
    }
    if (m_flags.size() > after) {
        m_flags.resize(after);
    }
    return true;
}

bool ArrayObject::setLength(std::int32_t length)
{
    if (length >= 0 && resize(double(length))) {
        m_detached = false;
        return true;
    }
    m_detached = true;
    m_length = length;
    if (length < 0) {
        // Every element lies at or past a negative length.
        elements.clear();
        present.clear();
        return true;
    }
    return false;
}

bool ArrayObject::setSpecial(Vm& vm, const std::string& name, const Value& value)
{
    if (name == "length") {
        if (!setLength(toInt32(vm.toNumber(value)))) {
            vm.warnOnce("array length over the engine's limit");
        }
        return true;
    }
    std::int32_t wrapped = 0;
    if (!wrappedIndex(name, wrapped)) {
        return false;
    }
    // Writing at or past the end moves the length to one past the index, in 32-bit arithmetic.
    if (wrapped >= length() && !setLength(std::int32_t(std::uint32_t(wrapped) + 1u))) {
        vm.warnOnce("array length over the engine's limit");
    }
    const long long index = arrayIndex(name);
    if (index < 0 || std::size_t(index) >= elements.size()) {
        return false;  // an ordinary property: negative, not written plainly, or past the stored slots
    }
    writeElement(std::size_t(index), value);
    return true;
}

bool ArrayObject::hasSpecial(const std::string& name) const
{
    if (name == "length") {
        return true;
    }
    const long long index = arrayIndex(name);
    return index >= 0 && has(std::size_t(index));
}

bool ArrayObject::deleteSpecial(const std::string& name)
{
    const long long index = arrayIndex(name);
    return index >= 0 && eraseElement(std::size_t(index));
}

void ArrayObject::specialKeys(std::vector<std::string>& keys) const
{
    // Oldest first, as for-in lists named properties; it visits them newest first.
    std::vector<std::size_t> indices;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        if (has(i) && !(elementFlags(i) & prop::DontEnum)) {
            indices.push_back(i);
        }
    }
    if (!m_stamps.empty()) {
        std::stable_sort(indices.begin(), indices.end(),
            [this](std::size_t a, std::size_t b) { return creationKey(a) < creationKey(b); });
    }
    for (std::size_t i : indices) {
        keys.push_back(std::to_string(i));
    }
}

void ArrayObject::shortenKeeping(std::size_t length)
{
    std::size_t slots = elements.size();
    while (slots > length && !has(slots - 1)) {
        --slots;
    }
    resize(double(slots));
    m_detached = slots != length;
    m_length = std::int32_t(length);
}

std::uint8_t ArrayObject::elementFlags(std::size_t index) const
{
    return index < m_flags.size() ? m_flags[index] : 0;
}

void ArrayObject::setElementFlags(std::size_t index, std::uint8_t flags)
{
    if (index >= elements.size() || (flags == 0 && index >= m_flags.size())) {
        return;
    }
    if (index >= m_flags.size()) {
        m_flags.resize(index + 1, 0);
    }
    m_flags[index] = flags;
}

bool ArrayObject::eraseElement(std::size_t index)
{
    if (!has(index) || (elementFlags(index) & prop::DontDelete)) {
        return false;
    }
    elements[index] = Value();
    present.resize(elements.size(), true);
    present[index] = false;
    setElementFlags(index, 0);
    return true;
}

void ArrayObject::writeElement(std::size_t index, const Value& value)
{
    if (index >= elements.size()) {
        if (!resize(double(index) + 1)) {
            return;
        }
        m_detached = false;
    }
    if (has(index)) {
        if (!(elementFlags(index) & prop::ReadOnly)) {
            elements[index] = value;
        }
        return;
    }
    elements[index] = value;
    present[index] = true;
    noteCreated(index);
}

void ArrayObject::resetElementBookkeeping()
{
    m_stamps.clear();
    m_flags.clear();
}

void ArrayObject::noteCreated(std::size_t index)
{
    // The last slot, made after everything recorded, is already the newest by its place.
    if (index + 1 == elements.size() && index >= m_stamps.size()) {
        return;
    }
    // Slots not recorded yet were made before this one, in index order.
    while (m_stamps.size() < elements.size()) {
        m_stamps.push_back(++m_lastStamp);
    }
    m_stamps[index] = ++m_lastStamp;
}

std::uint64_t ArrayObject::creationKey(std::size_t index) const
{
    return index < m_stamps.size() ? m_stamps[index] : m_lastStamp + 1 + index;
}

}  // namespace swf::avm1
