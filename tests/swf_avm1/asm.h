// Test helpers for the machine: an assembler for action blocks and a machine on the headless host.
#pragma once

#include "swf/avm1/actions.h"
#include "swf/avm1/runner.h"
#include "swf/avm1/vm.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace avm1test {

using namespace swf::avm1;

// A small assembler for action blocks.
class Asm {
public:
    Asm& str(const std::string& s)
    {
        std::vector<std::uint8_t> body{0};
        body.insert(body.end(), s.begin(), s.end());
        body.push_back(0);
        return record(op::Push, body);
    }
    Asm& num(double d)
    {
        std::uint64_t bits;
        std::memcpy(&bits, &d, sizeof d);
        std::vector<std::uint8_t> body{6};
        for (int shift : {32, 40, 48, 56, 0, 8, 16, 24}) {
            body.push_back(std::uint8_t(bits >> shift));
        }
        return record(op::Push, body);
    }
    Asm& undef() { return record(op::Push, {3}); }
    Asm& null() { return record(op::Push, {2}); }
    Asm& boolean(bool b) { return record(op::Push, {5, std::uint8_t(b)}); }
    Asm& reg(std::uint8_t r) { return record(op::Push, {4, r}); }
    Asm& store(std::uint8_t r) { return record(op::StoreRegister, {r}); }
    Asm& append(const Asm& other)
    {
        bytes.insert(bytes.end(), other.bytes.begin(), other.bytes.end());
        return *this;
    }
    // callFunction with the arguments already pushed in reverse order.
    Asm& callFunction(const std::string& name, int argc) { return num(argc).str(name).a(op::CallFunction); }
    // obj.name(…) with the arguments already pushed in reverse order.
    Asm& callMethod(const Asm& object, const std::string& name, int argc)
    {
        return num(argc).append(object).str(name).a(op::CallMethod);
    }
    // DefineFunction2 with its register count, flags and (register, name) parameters.
    Asm& function2(const std::string& name, std::uint8_t registers, std::uint16_t flags,
                   const std::vector<std::pair<std::uint8_t, std::string>>& params, const Asm& body)
    {
        std::vector<std::uint8_t> b(name.begin(), name.end());
        b.push_back(0);
        b.push_back(std::uint8_t(params.size()));
        b.push_back(0);
        b.push_back(registers);
        b.push_back(std::uint8_t(flags));
        b.push_back(std::uint8_t(flags >> 8));
        for (const auto& p : params) {
            b.push_back(p.first);
            b.insert(b.end(), p.second.begin(), p.second.end());
            b.push_back(0);
        }
        b.push_back(std::uint8_t(body.bytes.size()));
        b.push_back(std::uint8_t(body.bytes.size() >> 8));
        record(op::DefineFunction2, b);
        return append(body);
    }
    Asm& a(std::uint8_t code) { return record(code, {}); }
    Asm& trace() { return a(op::Trace); }
    Asm& get(const std::string& name) { return str(name).a(op::GetVariable); }
    Asm& record(std::uint8_t code, const std::vector<std::uint8_t>& body)
    {
        bytes.push_back(code);
        if (code >= 0x80) {
            bytes.push_back(std::uint8_t(body.size()));
            bytes.push_back(std::uint8_t(body.size() >> 8));
            bytes.insert(bytes.end(), body.begin(), body.end());
        }
        return *this;
    }
    Asm& jump(std::uint8_t code, int offset)
    {
        return record(code, {std::uint8_t(offset), std::uint8_t(offset >> 8)});
    }
    // DefineFunction with a body given as its own block.
    Asm& function(const std::string& name, const std::vector<std::string>& params, const Asm& body)
    {
        std::vector<std::uint8_t> b(name.begin(), name.end());
        b.push_back(0);
        b.push_back(std::uint8_t(params.size()));
        b.push_back(0);
        for (const std::string& p : params) {
            b.insert(b.end(), p.begin(), p.end());
            b.push_back(0);
        }
        b.push_back(std::uint8_t(body.bytes.size()));
        b.push_back(std::uint8_t(body.bytes.size() >> 8));
        record(op::DefineFunction, b);
        bytes.insert(bytes.end(), body.bytes.begin(), body.bytes.end());
        return *this;
    }
    std::vector<std::uint8_t> bytes;
};

// A machine with the headless host; run() executes one block as a frame script and returns its trace lines.
struct Machine {
    explicit Machine(int version = 8) : host(1), vm(host, version) { host.attach(vm); }
    std::vector<std::string> run(const Asm& code)
    {
        host.lines.clear();
        vm.beginFrame();
        vm.runScript(std::make_shared<const std::vector<std::uint8_t>>(code.bytes), host.root());
        return host.lines;
    }
    HeadlessHost host;
    Vm vm;
};

using Lines = std::vector<std::string>;

}  // namespace avm1test
