#include "swf/avm1/actions.h"

namespace swf::avm1 {

bool decodeAction(const std::uint8_t* block, std::size_t size, std::size_t offset, ActionRecord& out)
{
    if (offset >= size) {
        return false;
    }
    out = ActionRecord{};
    out.code = block[offset];
    out.offset = offset;
    if (out.code < 0x80) {
        out.body = block + offset + 1;
        out.next = offset + 1;
        return true;
    }
    std::size_t claimed = 0;
    if (offset + 3 <= size) {
        claimed = std::size_t(block[offset + 1]) | std::size_t(block[offset + 2]) << 8;
    } else {
        out.truncated = true;
    }
    const std::size_t bodyStart = offset + 3 <= size ? offset + 3 : size;
    const std::size_t available = size - bodyStart;
    out.body = block + bodyStart;
    out.length = claimed <= available ? claimed : available;
    out.truncated = out.truncated || claimed > available;
    out.next = bodyStart + out.length;
    return true;
}

const char* actionName(std::uint8_t code)
{
    switch (code) {
    case op::End: return "ActionEnd";
    case op::NextFrame: return "ActionNextFrame";
    case op::PrevFrame: return "ActionPrevFrame";
    case op::Play: return "ActionPlay";
    case op::Stop: return "ActionStop";
    case op::ToggleQuality: return "ActionToggleQuality";
    case op::StopSounds: return "ActionStopSounds";
    case op::Add: return "ActionAdd";
    case op::Subtract: return "ActionSubtract";
    case op::Multiply: return "ActionMultiply";
    case op::Divide: return "ActionDivide";
    case op::Equals: return "ActionEquals";
    case op::Less: return "ActionLess";
    case op::And: return "ActionAnd";
    case op::Or: return "ActionOr";
    case op::Not: return "ActionNot";
    case op::StringEquals: return "ActionStringEquals";
    case op::StringLength: return "ActionStringLength";
    case op::StringExtract: return "ActionStringExtract";
    case op::Pop: return "ActionPop";
    case op::ToInteger: return "ActionToInteger";
    case op::GetVariable: return "ActionGetVariable";
    case op::SetVariable: return "ActionSetVariable";
    case op::SetTarget2: return "ActionSetTarget2";
    case op::StringAdd: return "ActionStringAdd";
    case op::GetProperty: return "ActionGetProperty";
    case op::SetProperty: return "ActionSetProperty";
    case op::CloneSprite: return "ActionCloneSprite";
    case op::RemoveSprite: return "ActionRemoveSprite";
    case op::Trace: return "ActionTrace";
    case op::StartDrag: return "ActionStartDrag";
    case op::EndDrag: return "ActionEndDrag";
    case op::StringLess: return "ActionStringLess";
    case op::Throw: return "ActionThrow";
    case op::CastOp: return "ActionCastOp";
    case op::ImplementsOp: return "ActionImplementsOp";
    case op::RandomNumber: return "ActionRandomNumber";
    case op::MBStringLength: return "ActionMBStringLength";
    case op::CharToAscii: return "ActionCharToAscii";
    case op::AsciiToChar: return "ActionAsciiToChar";
    case op::GetTime: return "ActionGetTime";
    case op::MBStringExtract: return "ActionMBStringExtract";
    case op::MBCharToAscii: return "ActionMBCharToAscii";
    case op::MBAsciiToChar: return "ActionMBAsciiToChar";
    case op::Delete: return "ActionDelete";
    case op::Delete2: return "ActionDelete2";
    case op::DefineLocal: return "ActionDefineLocal";
    case op::CallFunction: return "ActionCallFunction";
    case op::Return: return "ActionReturn";
    case op::Modulo: return "ActionModulo";
    case op::NewObject: return "ActionNewObject";
    case op::DefineLocal2: return "ActionDefineLocal2";
    case op::InitArray: return "ActionInitArray";
    case op::InitObject: return "ActionInitObject";
    case op::TypeOf: return "ActionTypeOf";
    case op::TargetPath: return "ActionTargetPath";
    case op::Enumerate: return "ActionEnumerate";
    case op::Add2: return "ActionAdd2";
    case op::Less2: return "ActionLess2";
    case op::Equals2: return "ActionEquals2";
    case op::ToNumber: return "ActionToNumber";
    case op::ToString: return "ActionToString";
    case op::PushDuplicate: return "ActionPushDuplicate";
    case op::StackSwap: return "ActionStackSwap";
    case op::GetMember: return "ActionGetMember";
    case op::SetMember: return "ActionSetMember";
    case op::Increment: return "ActionIncrement";
    case op::Decrement: return "ActionDecrement";
    case op::CallMethod: return "ActionCallMethod";
    case op::NewMethod: return "ActionNewMethod";
    case op::InstanceOf: return "ActionInstanceOf";
    case op::Enumerate2: return "ActionEnumerate2";
    case op::BitAnd: return "ActionBitAnd";
    case op::BitOr: return "ActionBitOr";
    case op::BitXor: return "ActionBitXor";
    case op::BitLShift: return "ActionBitLShift";
    case op::BitRShift: return "ActionBitRShift";
    case op::BitURShift: return "ActionBitURShift";
    case op::StrictEquals: return "ActionStrictEquals";
    case op::Greater: return "ActionGreater";
    case op::StringGreater: return "ActionStringGreater";
    case op::Extends: return "ActionExtends";
    case op::GotoFrame: return "ActionGotoFrame";
    case op::GetURL: return "ActionGetURL";
    case op::StoreRegister: return "ActionStoreRegister";
    case op::ConstantPool: return "ActionConstantPool";
    case op::StrictMode: return "ActionStrictMode";
    case op::WaitForFrame: return "ActionWaitForFrame";
    case op::SetTarget: return "ActionSetTarget";
    case op::GotoLabel: return "ActionGoToLabel";
    case op::WaitForFrame2: return "ActionWaitForFrame2";
    case op::DefineFunction2: return "ActionDefineFunction2";
    case op::Try: return "ActionTry";
    case op::With: return "ActionWith";
    case op::Push: return "ActionPush";
    case op::Jump: return "ActionJump";
    case op::GetURL2: return "ActionGetURL2";
    case op::DefineFunction: return "ActionDefineFunction";
    case op::If: return "ActionIf";
    case op::Call: return "ActionCall";
    case op::GotoFrame2: return "ActionGotoFrame2";
    default: return "Unknown";
    }
}

}  // namespace swf::avm1
