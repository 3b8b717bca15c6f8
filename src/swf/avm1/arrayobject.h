// Arrays: elements kept in slots beside the object's named properties, each with the flags and the place in the
// order of creation that Flash gives any property, and the 32-bit length scripts see.
#pragma once

#include "swf/avm1/object.h"

#include <cstdint>
#include <string>
#include <vector>

namespace swf::avm1 {

class ArrayObject : public Object {
public:
    using Object::Object;
    ObjectKind kind() const override { return ObjectKind::Array; }

    std::vector<Value> elements;
    // Which elements exist; an index past its end exists, so appending to elements needs no bookkeeping. A
    // missing element (a hole) reads as undefined but is no property: `in`, for-in and hasOwnProperty skip it.
    std::vector<bool> present;

    bool has(std::size_t index) const { return index < elements.size() && (index >= present.size() || present[index]); }
    // Makes every element a property, as the methods that move elements around leave them.
    void fillHoles() { present.clear(); }

    bool getSpecial(Vm& vm, const std::string& name, Value& out) override;
    bool setSpecial(Vm& vm, const std::string& name, const Value& value) override;
    bool hasSpecial(const std::string& name) const override;
    bool deleteSpecial(const std::string& name) override;
    void specialKeys(std::vector<std::string>& keys) const override;
    // Sets the stored slots, dropping elements or adding holes; false when it would pass the engine's limit.
    bool resize(double length);

    // The length scripts see: a signed 32-bit number. It follows the stored slots unless a script set it negative
    // or past the engine's limit, or a protected element outlived a shift; then the length is kept apart.
    std::int32_t length() const { return m_detached ? m_length : std::int32_t(elements.size()); }
    // Sets the length as a script does; false when it passes the engine's limit (the slots then stay as they are).
    bool setLength(std::int32_t length);
    // Makes the length follow the stored slots again, before a method works on them.
    void attachLength() { m_detached = false; }
    // Lowers the length without deleting: elements left past it (protected ones) stay, as after Flash's shift.
    void shortenKeeping(std::size_t length);

    // Element flags as ASSetPropFlags sets them; a deleted element loses its flags.
    std::uint8_t elementFlags(std::size_t index) const;
    void setElementFlags(std::size_t index, std::uint8_t flags);
    // Deletes an element as `delete` does: false when it is missing or protected.
    bool eraseElement(std::size_t index);
    // Writes an element as an assignment does: a read-only one keeps its value, a missing one is created and
    // becomes the newest property.
    void writeElement(std::size_t index, const Value& value);
    // Forgets the flags and the order of creation, for methods that renumber the elements.
    void resetElementBookkeeping();

private:
    void noteCreated(std::size_t index);
    // The creation order key of a slot; slots past the recorded ones came later, in index order.
    std::uint64_t creationKey(std::size_t index) const;

    bool m_detached = false;
    std::int32_t m_length = 0;
    // Creation stamps of the first slots, recorded once an element is created out of index order; empty while
    // the elements were made in index order.
    std::vector<std::uint64_t> m_stamps;
    std::uint64_t m_lastStamp = 0;
    std::vector<std::uint8_t> m_flags;  // as long as the last slot with flags
};

}  // namespace swf::avm1
