// Error and Date. Dates are kept as milliseconds since 1970 and shown in the host's time zone offset.
#include "swf/avm1/builtins.h"

#include <cmath>
#include <cstdio>

namespace swf::avm1 {

namespace {

Value errorConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    Object* o = self.asObject();
    if (!vm.constructing() || !o) {
        return Value(vm.newError(args.empty() ? std::string("Error") : vm.toString(args[0])));
    }
    if (!args.empty() && !args[0].isUndefined()) {
        o->put("message", Value(vm.toString(args[0])));
    }
    return Value();
}

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(double days, double& year, double& month, double& day)
{
    const long long z = static_cast<long long>(days) + 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    day = double(doy - (153 * mp + 2) / 5 + 1);
    month = double(mp < 10 ? mp + 2 : mp - 10);
    year = double(yoe + era * 400 + (month <= 1 ? 1 : 0));
}

double daysFromCivil(double year, double month, double day)
{
    const double y = year + std::floor(month / 12);
    const double m = std::fmod(std::fmod(month, 12) + 12, 12);
    const long long yy = static_cast<long long>(m <= 1 ? y - 1 : y);
    const long long era = (yy >= 0 ? yy : yy - 399) / 400;
    const long long yoe = yy - era * 400;
    const long long mp = static_cast<long long>(m > 1 ? m - 2 : m + 10);
    const long long doy = (153 * mp + 2) / 5;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return double(era * 146097 + doe - 719468) + day - 1;
}

double makeTime(Vm& vm, const std::vector<Value>& args)
{
    double f[7] = {1970, 0, 1, 0, 0, 0, 0};
    for (std::size_t i = 0; i < args.size() && i < 7; ++i) {
        f[i] = vm.toNumber(args[i]);
        if (!std::isfinite(f[i])) {
            return NAN;
        }
        f[i] = toInteger(f[i]);
    }
    if (f[0] >= 0 && f[0] < 100) {
        f[0] += 1900;
    }
    return daysFromCivil(f[0], f[1], f[2]) * 86400000.0 + f[3] * 3600000.0 + f[4] * 60000.0 + f[5] * 1000.0 + f[6];
}

double timeOf(const Value& self)
{
    Object* o = self.asObject();
    return o && o->kind() == ObjectKind::Date && o->primitive().isNumber() ? o->primitive().asNumber() : NAN;
}

Value dateConstructor(Vm& vm, const Value& self, const std::vector<Value>& args)
{
    double t = vm.host().nowMs();
    if (args.size() == 1) {
        t = vm.toNumber(args[0]);
    } else if (args.size() > 1) {
        t = makeTime(vm, args);
    }
    Object* o = self.asObject();
    if (!vm.constructing() || !o) {
        return Value(numberToString(t));
    }
    o->setPrimitive(Value(t));
    return Value();
}

enum Field { Year, Month, Day, WeekDay, Hours, Minutes, Seconds, Milliseconds };

template <Field F>
Value getField(Vm&, const Value& self, const std::vector<Value>&)
{
    const double t = timeOf(self);
    if (std::isnan(t)) {
        return Value(NAN);
    }
    const double days = std::floor(t / 86400000.0);
    const double ms = t - days * 86400000.0;
    double year;
    double month;
    double day;
    civilFromDays(days, year, month, day);
    switch (F) {
    case Year: return Value(year);
    case Month: return Value(month);
    case Day: return Value(day);
    case WeekDay: return Value(std::fmod(std::fmod(days + 4, 7) + 7, 7));
    case Hours: return Value(std::floor(ms / 3600000.0));
    case Minutes: return Value(std::fmod(std::floor(ms / 60000.0), 60));
    case Seconds: return Value(std::fmod(std::floor(ms / 1000.0), 60));
    case Milliseconds: return Value(std::fmod(ms, 1000));
    }
    return Value();
}

Value dateToString(Vm& vm, const Value& self, const std::vector<Value>&)
{
    static const char* days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (std::isnan(timeOf(self))) {
        return Value("Invalid Date");
    }
    auto field = [&](auto getter) { return int(getter(vm, self, {}).asNumber()); };
    char buffer[96];
    std::snprintf(buffer, sizeof buffer, "%s %s %d %02d:%02d:%02d GMT+0000 %d", days[field(getField<WeekDay>)],
                  months[field(getField<Month>)], field(getField<Day>), field(getField<Hours>),
                  field(getField<Minutes>), field(getField<Seconds>), field(getField<Year>));
    return Value(buffer);
}

}  // namespace

void installErrorAndDate(Vm& vm)
{
    Builtins& b = vm.builtins();
    b.errorProto = vm.newObject();
    b.errorCtor = makeClass(vm, "Error", b.errorProto, errorConstructor);
    b.errorProto->put("name", Value("Error"), prop::DontEnum);
    b.errorProto->put("message", Value("Error"), prop::DontEnum);
    vm.method(b.errorProto, "toString", [](Vm& vm, const Value& self, const std::vector<Value>&) {
        return Value(vm.toString(vm.get(self, "message")));
    });

    b.dateProto = vm.newObject();
    FunctionObject* date = makeClass(vm, "Date", b.dateProto, dateConstructor);
    date->makeInstance = [](Vm& vm) -> Object* { return vm.newKind(ObjectKind::Date, vm.builtins().dateProto); };
    vm.method(date, "UTC", [](Vm& vm, const Value&, const std::vector<Value>& a) { return Value(makeTime(vm, a)); });
    Object* p = b.dateProto;
    auto both = [&](const std::string& name, NativeFunction f) {
        vm.method(p, "get" + name, f);
        vm.method(p, "getUTC" + name, f);
    };
    both("FullYear", getField<Year>);
    both("Month", getField<Month>);
    both("Date", getField<Day>);
    both("Day", getField<WeekDay>);
    both("Hours", getField<Hours>);
    both("Minutes", getField<Minutes>);
    both("Seconds", getField<Seconds>);
    both("Milliseconds", getField<Milliseconds>);
    vm.method(p, "getYear", [](Vm& vm, const Value& self, const std::vector<Value>& a) {
        return Value(getField<Year>(vm, self, a).asNumber() - 1900);
    });
    vm.method(p, "getTime", [](Vm&, const Value& self, const std::vector<Value>&) { return Value(timeOf(self)); });
    vm.method(p, "valueOf", [](Vm&, const Value& self, const std::vector<Value>&) { return Value(timeOf(self)); });
    vm.method(p, "getTimezoneOffset", [](Vm&, const Value&, const std::vector<Value>&) { return Value(0); });
    vm.method(p, "setTime", [](Vm& vm, const Value& self, const std::vector<Value>& a) {
        Object* o = self.asObject();
        const double t = vm.toNumber(arg(a, 0));
        if (o && o->kind() == ObjectKind::Date) {
            o->setPrimitive(Value(t));
        }
        return Value(t);
    });
    vm.method(p, "toString", dateToString);
}

}  // namespace swf::avm1
