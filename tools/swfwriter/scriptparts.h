// Builders for interactive parts of demo and test movies: action blocks with a stack and buttons.
#pragma once

#include "swfwriter/movieparts.h"

#include <string>
#include <vector>

namespace kivamo::test {

// An action block written one action at a time; branches are given as labels resolved by bytes().
class ActionBuilder {
public:
    ActionBuilder& pushString(const std::string& s);
    ActionBuilder& pushNumber(double v);
    ActionBuilder& op(std::uint8_t code);  // an action without payload (Play 0x06, Stop 0x07, Less 0x0F, Not 0x12, ...)
    ActionBuilder& gotoFrame(std::uint16_t frame);  // 0-based
    ActionBuilder& getUrl(const std::string& url, const std::string& target);
    ActionBuilder& getProperty(const std::string& target, int index);  // pushes target and index, then GetProperty
    ActionBuilder& ifTrue(const std::string& label);
    ActionBuilder& jump(const std::string& label);
    ActionBuilder& label(const std::string& name);
    // Any action with its payload (GetURL2 0x9A takes one byte of flags).
    ActionBuilder& record(std::uint8_t code, const Bytes& payload);
    // The records with their End action; unknown labels throw std::logic_error.
    Bytes bytes() const;

private:
    struct Branch {
        std::size_t offsetField;  // where the signed 16-bit offset goes
        std::string label;
    };
    Bytes m_code;
    std::vector<Branch> m_branches;
    std::vector<std::pair<std::string, std::size_t>> m_labels;
};

// One character of a button: the states it shows in (bits: 1 up, 2 over, 4 down, 8 hit area).
struct ButtonPart {
    std::uint8_t states = 0x0F;
    std::uint16_t characterId = 0;
    std::uint16_t depth = 1;
    WriterMatrix matrix;
};

// Condition bits of a DefineButton2 action record.
enum ButtonCondition : std::uint16_t {
    kButtonRelease = 0x0800,  // over, down to over, up
    kButtonPress = 0x0400,    // over, up to over, down
};

// A DefineButton2 body: a push button with its parts and one action block per condition.
Bytes defineButton2(std::uint16_t id, const std::vector<ButtonPart>& parts,
                    const std::vector<std::pair<std::uint16_t, Bytes>>& conditionActions);

}  // namespace kivamo::test
