#include "swfwriter/scriptparts.h"

#include <cstring>
#include <stdexcept>

namespace kivamo::test {

namespace {
constexpr std::uint8_t kPush = 0x96, kGotoFrame = 0x81, kGetUrl = 0x83, kIf = 0x9D, kJump = 0x99,
                       kGetProperty = 0x22;
}

ActionBuilder& ActionBuilder::record(std::uint8_t code, const Bytes& payload)
{
    m_code.push_back(code);
    if (code >= 0x80) {
        m_code.push_back(static_cast<std::uint8_t>(payload.size()));
        m_code.push_back(static_cast<std::uint8_t>(payload.size() >> 8));
        m_code.insert(m_code.end(), payload.begin(), payload.end());
    }
    return *this;
}

ActionBuilder& ActionBuilder::pushString(const std::string& s)
{
    ByteWriter w;
    w.u8(0).cstring(s);
    return record(kPush, w.data());
}

ActionBuilder& ActionBuilder::pushNumber(double v)
{
    // Type 6 is a double stored as two little-endian 32-bit halves, high half first.
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    ByteWriter w;
    w.u8(6).u32(static_cast<std::uint32_t>(bits >> 32)).u32(static_cast<std::uint32_t>(bits));
    return record(kPush, w.data());
}

ActionBuilder& ActionBuilder::op(std::uint8_t code)
{
    if (code >= 0x80)
        throw std::logic_error("actions with a payload have their own builder");
    return record(code, {});
}

ActionBuilder& ActionBuilder::gotoFrame(std::uint16_t frame)
{
    return record(kGotoFrame, ByteWriter().u16(frame).data());
}

ActionBuilder& ActionBuilder::getUrl(const std::string& url, const std::string& target)
{
    return record(kGetUrl, ByteWriter().cstring(url).cstring(target).data());
}

ActionBuilder& ActionBuilder::getProperty(const std::string& target, int index)
{
    return pushString(target).pushNumber(index).op(kGetProperty);
}

ActionBuilder& ActionBuilder::ifTrue(const std::string& label)
{
    record(kIf, {0, 0});
    m_branches.push_back({m_code.size() - 2, label});
    return *this;
}

ActionBuilder& ActionBuilder::jump(const std::string& label)
{
    record(kJump, {0, 0});
    m_branches.push_back({m_code.size() - 2, label});
    return *this;
}

ActionBuilder& ActionBuilder::label(const std::string& name)
{
    m_labels.emplace_back(name, m_code.size());
    return *this;
}

Bytes ActionBuilder::bytes() const
{
    Bytes out = m_code;
    for (const Branch& branch : m_branches) {
        std::size_t target = 0;
        bool found = false;
        for (const auto& [name, at] : m_labels)
            if (name == branch.label) {
                target = at;
                found = true;
            }
        if (!found)
            throw std::logic_error("unknown action label " + branch.label);
        // Offsets count from the end of the branch action, which ends right after its offset field.
        auto offset = static_cast<std::int16_t>(static_cast<long>(target) - static_cast<long>(branch.offsetField + 2));
        out[branch.offsetField] = static_cast<std::uint8_t>(offset);
        out[branch.offsetField + 1] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(offset) >> 8);
    }
    out.push_back(0);
    return out;
}

Bytes defineButton2(std::uint16_t id, const std::vector<ButtonPart>& parts,
                    const std::vector<std::pair<std::uint16_t, Bytes>>& conditionActions)
{
    ByteWriter records;
    for (const ButtonPart& part : parts) {
        records.u8(part.states & 0x0F).u16(part.characterId).u16(part.depth);
        records.bytes(matrixBytes(part.matrix));
        records.bytes(colourTransformBytes({}, true));
    }
    records.u8(0);

    ByteWriter body;
    body.u16(id).u8(0);  // a push button, not a menu item
    body.u16(conditionActions.empty() ? 0 : static_cast<std::uint16_t>(records.data().size() + 2));
    body.bytes(records.data());
    for (std::size_t i = 0; i < conditionActions.size(); ++i) {
        const auto& [condition, actions] = conditionActions[i];
        bool last = i + 1 == conditionActions.size();
        body.u16(last ? 0 : static_cast<std::uint16_t>(actions.size() + 4));
        // The conditions are stored high byte first: the transitions, then the key code and OverDownToIdle.
        body.u8(static_cast<std::uint8_t>(condition >> 8)).u8(static_cast<std::uint8_t>(condition));
        body.bytes(actions);
    }
    return body.data();
}

}  // namespace kivamo::test
